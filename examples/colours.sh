#!/bin/sh
# A few conversions of the colour catalogue through the kor2 command, one line each.
set -eu
kor2=${1:-build/default/tools/kor2/kor2}
call() { "$kor2" call CColores "$@" | sed -e 's/.*"result": {"type": "[a-z]*", "value": \([^}]*\)}.*/\1/'; }
printf 'CAD index 1 (rojo)      -> colour number %s\n' "$(call Col_NumVB_de_NumCad int:1)"
printf 'colour 200 (0000C8)      -> CAD index %s\n' "$(call Col_NuCad_de_NuVB long:200)"
printf 'colour 13132800          -> CAD index %s (no palette key)\n' "$(call Col_NuCad_de_NuVB long:13132800)"
printf 'name " am "              -> colour number %s\n' "$(call Col_NuVB_de_Nombre_o_inicial 'text: am ')"
printf 'CAD index 0              -> name %s\n' "$(call Col_NombreCad_NuCad long:0)"
printf 'list number 9            -> label %s, CAD index %s\n' "$(call Col_NuyNomTB_de_NuTB int:9)" "$(call Col_NuTB_de_NuCad int:9)"
