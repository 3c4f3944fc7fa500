#!/bin/sh
# Checks every include under src/ (or the folder given) against the layers of src/Layers.cmake;
# prints each breach and exits 1 when there is one. The rules themselves are in that table.
set -eu
src=$(cd "${1:-$(dirname "$0")/../src}" && pwd)
exec cmake -DSOURCE_DIR="$src" -P "$(dirname "$0")/check-layers.cmake"
