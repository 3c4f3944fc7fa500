#!/bin/sh
# Starts the demo host on this screen; on a machine without one it runs the host under a virtual
# screen, saves what it shows to demo-host.png, and converts a few colours with kor2.
set -eu
build=${1:-build/default}
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/examples/demo-host"
fi
xvfb-run -a "$build/examples/demo-host" --screenshot demo-host.png
echo "Sin pantalla: el anfitrión de demostración se ha dibujado en demo-host.png"
"$(dirname "$0")/colours.sh" "$build/tools/kor2/kor2"
