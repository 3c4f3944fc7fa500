#!/bin/sh
# Compares what a shared library exports (demangled, sorted) with its committed list, so that a
# change of the binary interface is a decision and never an accident: either the change is undone,
# or the list is written again with it (and KOR2_SOVERSION raised when a name went away or changed).
#   check-exports.sh LIBRARY LIST           compare; exit 1 and show the difference when they differ
#   check-exports.sh --write LIBRARY LIST   write LIST from LIBRARY
set -eu
write=""
if [ "$1" = "--write" ]; then
    write=1
    shift
fi
library=$1
list=$2
exports() {
    nm -DC --defined-only "$library" | sed 's/^[0-9a-f]* [A-Za-z] //' | LC_ALL=C sort -u
}
if [ -n "$write" ]; then
    exports > "$list"
    echo "$(wc -l < "$list") exported names written to $list"
    exit 0
fi
if ! exports | diff -u "$list" - ; then
    echo "$(basename "$library") exports other names than $list (- listed, + exported)." >&2
    echo "If the change is meant: cmake --build <build folder> --target update-exported-symbols," >&2
    echo "commit the list, and raise KOR2_SOVERSION (top CMakeLists.txt) when a listed name went away or changed." >&2
    exit 1
fi
echo "$(basename "$library"): $(wc -l < "$list") exported names, as listed"
