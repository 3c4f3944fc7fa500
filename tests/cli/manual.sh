#!/bin/sh
# The generated manual page: roff that groff reads without a warning, and a page that man renders
# with its sections and every command. Skipped (exit 77) where neither program is installed.
set -eu
page=$1
if command -v groff > /dev/null; then
  warnings=$(groff -k -man -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "groff: $warnings"; exit 1; }
fi
if command -v man > /dev/null; then
  MANWIDTH=100 MAN_KEEP_FORMATTING=0 man -l "$page" 2> /dev/null | col -b
elif command -v groff > /dev/null; then
  groff -k -man -Tutf8 "$page" | col -b
else
  echo "ni man ni groff están instalados: no se comprueba la página" >&2
  exit 77
fi
