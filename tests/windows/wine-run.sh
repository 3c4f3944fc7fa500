#!/bin/sh
# Runs a Windows program under Wine in the test prefix: wine-run.sh WINE PREFIX [DECIMAL|DPIdpi] -- PROGRAM ARGS...
# A DECIMAL of "," or "." is written to the user's regional settings first; "192dpi" sets the
# screen's dots per inch for this run and puts back 96 afterwards.
wine="$1"; export WINEPREFIX="$2"; shift 2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A host's environment is the host's: the library reads none of it. Were these read, the settings
# the scripts read back from the registry would be elsewhere and every window would fail.
export KOR2_SETTINGS=":memory:" KOR2_ACTIONS='Z:\no\existe\acciones.json'
dpi=
case "$1" in
--) ;;
*dpi)
    dpi=${1%dpi}
    "$wine" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null || exit 1
    shift ;;
*)
    "$wine" reg add "HKCU\\Control Panel\\International" /v sDecimal /d "$1" /f >/dev/null || exit 1
    shift ;;
esac
shift
"$wine" "$@"
status=$?
[ -z "$dpi" ] || "$wine" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
exit $status
