#!/bin/sh
# The main job: builds, then prints a sample multi-page job end to end in a
# fresh machine root: device stand-in, print command, orvel_printer.exe.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh normal
root=$(mktemp -d "$PWD/build/machine.XXXXXX")
export QT_QPA_PLATFORM=offscreen
exec build/outside/demo/arv_demo "$root"
