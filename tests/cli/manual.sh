#!/bin/bash
# The generated manual page: roff that groff reads without a warning, a page that man renders with
# its sections, and nothing missing from it: every command of the tool, every environment variable
# the sources read, every window-script verb, and the README's synopses and example commands.
# Skipped (exit 77) where neither man nor groff is installed.
# manual.sh PAGE README SOURCE_DIR KOR2
set -eu
page=$1 readme=$2 sources=$3 kor2=$4
if command -v groff > /dev/null; then
  warnings=$(groff -k -man -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "groff: $warnings"; exit 1; }
fi
if command -v man > /dev/null; then
  text=$(MANWIDTH=100 MAN_KEEP_FORMATTING=0 man -l "$page" 2> /dev/null | col -b)
elif command -v groff > /dev/null; then
  text=$(groff -k -man -Tutf8 "$page" | col -b)
else
  echo "ni man ni groff están instalados: no se comprueba la página" >&2
  exit 77
fi
echo "$text"
# Compared as typed: the typographer's hyphens and quotes back to ASCII, runs of blanks as one.
normal() { sed -e 's/[‐−]/-/g' -e "s/[‘’]/'/g" -e 's/[[:space:]]\+/ /g'; }
flat=" $(printf '%s' "$text" | normal | tr '\n' ' ') "
need() {
  local what=$1 word
  while IFS= read -r word; do
    [ -n "$word" ] || continue
    word=$(printf '%s' "$word" | normal)
    [[ $flat == *"$word"* ]] || echo "falta en la página ($what): $word"
  done
}
grep -q '^\.TH KOR2 1 "[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]"' "$page" || echo "falta en la página (fecha): $(grep '^\.TH' "$page")"
"$kor2" help | sed -n '/^Órdenes:/,/^$/p' | awk 'NR > 1 && NF { print "kor2 " $1 }' | need orden
# The variables read where the sources read the environment, and the locale category they follow.
grep -rlE 'getenv|newlocale' "$sources/src" "$sources/tools" | grep -v '/win32/\|/windows/' |
  xargs grep -ohE '"[A-Z][A-Z0-9_]+"|LC_[A-Z]+_MASK' | sed -e 's/"//g' -e 's/_MASK$//' | sort -u | need entorno
grep -oE '\{"[a-z]+", Action::Kind::' "$sources/src/script/WindowScript.h" | sed -E 's/\{("[a-z]+").*/{\1:/' | need guiones
grep -E '^ *\$ kor2 ' "$readme" | sed -e 's/^ *//' -e 's/  *#.*//' | need ejemplos
grep -E '^- `kor2 ' "$readme" | sed 's/ — .*//' | grep -oE '`kor2 [^`]*`' | tr -d '`' | need sinopsis
grep -E '^kor2 settings [a-z]+( \[?[A-ZÁÉÍÓÚÑ]+\]?)*( +#.*)?$' "$readme" | sed 's/  *#.*//' | need sinopsis
