#!/bin/sh
# Draws the programs' pictures anew into scanner/res and installer/res with
# the artwork tool (tools/artwork). The pictures are kept in the tree; run
# this only after changing the tool, then look at them and commit them.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build --target arv_artwork
build/tools/artwork/arv_artwork .
