#!/bin/sh
# Reads every include under src/ (or the folder given) and checks it against the layer of the
# file that holds it; prints each breach and exits 1 when there is one.
#   frame               frame/ only
#   platform (the seam) frame/ and platform/X.h
#   script              frame/, platform/X.h and itself (no window system)
#   platform/headless   frame/, platform/X.h, script/ and itself
#   platform/qt         frame/, platform/X.h and itself
#   platform/linux      frame/, platform/X.h and itself
#   platform/windows    frame/, platform/X.h and itself
#   platform/win32      frame/, platform/X.h and itself
#   com/ScriptedWindows the component server's test mode: also script/, platform/headless/ and the subsystems
#   subsystems          anything but the backends (platform/qt/, platform/headless/, platform/linux/,
#                       platform/windows/, platform/win32/) and the scripts they play (script/)
# No quoted include climbs out with "../"; no Qt header outside platform/qt.
set -eu
src=${1:-$(dirname "$0")/../src}
cd "$src"

breaches=$(
    find . -type f \( -name '*.h' -o -name '*.cpp' \) | sed 's#^\./##' | sort | while IFS= read -r file; do
        deny='\.\./'
        case $file in
        frame/*) allow='^frame/' rule='the frame includes only itself' ;;
        script/*) allow='^(frame/|platform/[^/]+$|script/)' rule='window scripts see the seam, never a window system' ;;
        platform/headless/*) allow='^(frame/|platform/[^/]+$|script/|platform/headless/)' rule='the headless backend sees the seam, the scripts it plays and itself' ;;
        platform/qt/*) allow='^(frame/|platform/[^/]+$|platform/qt/)' rule='a backend sees the seam and itself' ;;
        platform/linux/*) allow='^(frame/|platform/[^/]+$|platform/linux/)' rule='a backend sees the seam and itself' ;;
        platform/windows/*) allow='^(frame/|platform/[^/]+$|platform/windows/)' rule='a backend sees the seam and itself' ;;
        platform/win32/*) allow='^(frame/|platform/[^/]+$|platform/win32/)' rule='a backend sees the seam and itself' ;;
        com/ScriptedWindows.cpp) allow='.' deny='\.\./|^platform/(qt|linux|windows|win32)/' rule='the test mode sees the headless window system, no other backend' ;;
        platform/*) allow='^(frame/|platform/[^/]+$)' rule='the seam sees the frame and itself' ;;
        *) allow='.' deny='\.\./|^(platform/(qt|headless|linux|windows|win32)|script)/' rule='subsystems know the platform through the seams only' ;;
        esac
        grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*"' "$file" | while IFS= read -r line; do
            header=$(printf '%s\n' "$line" | sed 's/^[^"]*"\([^"]*\)".*/\1/')
            if ! printf '%s\n' "$header" | grep -Eq "$allow" || printf '%s\n' "$header" | grep -Eq "$deny"; then
                echo "src/$file:${line%%:*}: \"$header\": $rule"
            fi
        done
        case $file in
        platform/qt/*) ;;
        *) grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file" | sed "s#^\([0-9]*\):.*#src/$file:\1: a Qt header outside the Qt module#" ;;
        esac
    done
)
if [ -n "$breaches" ]; then
    printf '%s\n' "$breaches"
    exit 1
fi
echo "layers: every include points down"
