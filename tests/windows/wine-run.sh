#!/bin/sh
# Runs a Windows program under Wine in the test prefix: wine-run.sh WINE PREFIX [DECIMAL] -- PROGRAM ARGS...
# A DECIMAL of "," or "." is written to the user's regional settings first.
wine="$1"; export WINEPREFIX="$2"; shift 2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$1" != "--" ]; then
    "$wine" reg add "HKCU\\Control Panel\\International" /v sDecimal /d "$1" /f >/dev/null || exit 1
    shift
fi
shift
exec "$wine" "$@"
