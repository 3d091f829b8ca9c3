#!/bin/sh
# The main job: builds, then runs the whole road on a fresh machine root:
# the install media in drive D:, the installer's wizard worked through its
# clicks (offscreen), the device stand-in found, a sample job printed
# through the installed printer and checked page by page, a sample document
# scanned where the scanner program is built, uninstalling from the install
# folder and the machine's restart; each stage is reported.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh normal
root=$(mktemp -d "$PWD/build/machine.XXXXXX")
export QT_QPA_PLATFORM=offscreen
exec build/outside/demo/arv_road "$root"
