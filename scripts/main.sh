#!/bin/sh
# The main job: builds, then in a fresh machine root with the device
# stand-in prints a sample multi-page job end to end (print command,
# orvel_printer.exe) and scans a sample document through the scanner
# program (its window offscreen, Scan pressed as a user would) into a
# Group 3 TIFF that is checked against the document.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh normal
root=$(mktemp -d "$PWD/build/machine.XXXXXX")
export QT_QPA_PLATFORM=offscreen
build/outside/demo/arv_demo "$root"
exec build/outside/demo/arv_scan_demo "$root"
