#!/bin/sh
# Takes the Windows pictures of docs/: the Windows host of the demonstration opens each window of
# the library under Wine, on a virtual screen the size of Wine's own desktop window (which draws
# the windows' frames), and the screen is saved. Needs wine64, xvfb and imagemagick. For the x86
# DLL: WINE=/usr/lib/wine/wine scripts/windows-screenshots.sh build/windows-x86 OUT_DIR.
# Usage: scripts/windows-screenshots.sh [WINDOWS_BUILD_DIR] [OUT_DIR]
set -eu
build=${1:-build/windows}
out=${2:-docs}
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
for tool in "$wine" xvfb-run import; do
  command -v "$tool" >/dev/null || { echo "falta $tool (apt-get install wine64 xvfb imagemagick)" >&2; exit 2; }
done
export WINEPREFIX="$(mktemp -d)" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
# Wine's programs see this machine's root as drive Z.
dll="Z:$(realpath "$build/src/Kor2_Sys.dll" | sed 's#/#\\\\#g')"
host="$(realpath "$build/examples/win32-host/win32-host.exe")"
size=760x520
"$wine" wineboot --init >/dev/null 2>&1
# A 32-bit module is registered by the 32-bit tool.
case $(basename "$wine") in
wine) regsvr32='C:\windows\syswow64\regsvr32.exe' ;;
*) regsvr32=regsvr32 ;;
esac
"$wine" "$regsvr32" /s "$dll"

# Runs inside the virtual screen: the host on Wine's desktop, opening one window, then the picture.
shot() {
  name=$1 window=$2
  xvfb-run -a -s "-screen 0 ${size}x24" sh -c "
    '$wine' explorer /desktop=kor2,$size '$host' $window >/dev/null 2>&1 &
    sleep 8
    import -window root '$out/windows-$name.png'
    kill \$! 2>/dev/null
    '$wineserver' -k 2>/dev/null
    true"
}
shot colour color
shot prompt texto
shot message mensaje
shot open abrir
shot save guardar
shot login contraseña
shot utilities utilidades
shot menu-icons iconos
shot system-menu sistema
echo "$out/windows-*.png"
