#!/bin/sh
# Takes the window pictures of docs/ the way a person sees them: each window under a virtual screen
# with a window manager (openbox) that draws the caption bar and the window's icon, cut from the
# screen with its frame. Needs xvfb, openbox, x11-utils, xdotool and imagemagick.
# Usage: scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]
set -eu
build=${1:-build/default}
out=${2:-docs}
kor2="$build/tools/kor2/kor2"
demo="$build/examples/demo-host"
for tool in xvfb-run openbox xwininfo xprop xdotool import; do
  command -v "$tool" >/dev/null || { echo "falta $tool (apt-get install xvfb openbox x11-utils xdotool imagemagick)" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs inside the virtual screen: the window manager, the window, then the picture of the window
# titled $TITLE with its frame.
cat > "$work/shot.sh" <<'SHOT'
#!/bin/sh
set -u
openbox >/dev/null 2>&1 &
sleep 1
"$@" >/dev/null 2>&1 &
sleep 3
# By id: xprop finds a window by a name only in Latin-1, and titles may be UTF-8 ("Contraseña:").
id=$(xwininfo -name "$TITLE" | awk '/Window id:/ {print $4}')
# Keys a person presses before the picture is taken (keys="Tab Tab Right" around a shot).
if [ -n "${KEYS:-}" ]; then
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  xdotool key --delay 100 $KEYS
  sleep 1
fi
extents=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -e 's/.*= //' -e 's/,//g')
geometry=$(xwininfo -id "$id" | awk -v e="$extents" 'BEGIN {split(e, f, " ")}
  /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2}
  END {printf "%dx%d+%d+%d", w + f[1] + f[2], h + f[3] + f[4], x - f[1], y - f[3]}')
import -window root -crop "$geometry" +repage "$OUT"
kill %2 %1 2>/dev/null || true
SHOT
chmod +x "$work/shot.sh"

# The demo host saves its own picture (the screen under its window, frame included) while the
# library's progress bar shows in its status bar, while its menu with the library's pictures is
# open, or while a label of its drawing is dragged; the window manager only has to frame it.
cat > "$work/progress.sh" <<'PROGRESS'
#!/bin/sh
set -u
openbox >/dev/null 2>&1 &
sleep 1
"$@" >/dev/null 2>&1
kill %1 2>/dev/null || true
PROGRESS
chmod +x "$work/progress.sh"

shot() {  # OUT TITLE DPI COMMAND...
  file=$1 title=$2 dpi=$3
  shift 3
  TITLE=$title OUT=$file KEYS=${keys:-} QT_FONT_DPI=$dpi QT_QPA_PLATFORM=xcb KOR2_SETTINGS=:memory: \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$work/shot.sh" "$@"
}

# A short folder name reads better in the file dialog's picture than a scratch folder's.
project=/tmp/proyecto
[ -e "$project" ] && project="$work/proyecto"
mkdir -p "$project"
trap 'rm -rf "$work"; [ "$project" = /tmp/proyecto ] && rm -rf /tmp/proyecto' EXIT
touch "$project/parcela-12.dxf" "$project/parcela-13.dxf" "$project/replanteo.dwg"
awk 'BEGIN {
  printf "Informe de replanteo — proyecto «Vía de servicio norte»\r\n\r\n"
  for (i = 0; i < 12; i++)
    printf "Punto %3d   X = %.3f   Y = %.3f   Cota = %.3f m\r\n", i + 1, 431262.625 + 12.5 * i, 4581227.5 - 3.25 * i, 612.437 + 0.125 * i
}' > "$work/listado.txt"

shot "$out/colour-window.png" "Elige Color:" 96 "$kor2" color --initial 255 --layer 65280 --title "Elige Color:"
shot "$out/colour-window-144dpi.png" "Elige Color:" 144 "$kor2" color --initial 255 --layer 65280 --title "Elige Color:"
# The focus ring on "verde" of the normal palette: the box, three buttons, then the palette.
keys="Tab Tab Tab Tab Right Right"
shot "$out/colour-focus-96dpi.png" "Elige Color:" 96 "$kor2" color --initial 255 --title "Elige Color:"
shot "$out/colour-focus-144dpi.png" "Elige Color:" 144 "$kor2" color --initial 255 --title "Elige Color:"
keys=""
shot "$out/input-prompt.png" "Cota del punto" 96 "$kor2" input --title "Cota del punto" --text "612,437"
shot "$out/message-window.png" "Replanteo" 96 "$kor2" message --title "Replanteo" --file "$work/listado.txt"
shot "$out/open-chooser.png" "Abrir plano" 96 "$kor2" open --title "Abrir plano" --filter "Dibujos|*.dxf;*.dwg|Todos|*" \
  --dir "$project"
shot "$out/login.png" "Contraseña:" 96 "$kor2" login
demo_shot() {  # OPTION FILE: the demo host saves its own picture
  rm -f "$2"
  QT_FONT_DPI=96 QT_QPA_PLATFORM=xcb KOR2_SETTINGS=:memory: xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$work/progress.sh" "$demo" "$1" "$2"
  [ -s "$2" ] || { echo "el anfitrión de demostración no dejó $2" >&2; exit 1; }
}
demo_shot --screenshot-progress "$out/status-progress.png"
demo_shot --screenshot-menu "$out/menu-icons.png"
demo_shot --screenshot-mover "$out/control-mover.png"
echo "Imágenes en $out"
