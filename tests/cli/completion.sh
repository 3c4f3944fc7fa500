#!/bin/bash
# The generated bash completion, sourced as bash-completion does and asked as bash asks it: one
# row per command line (the cursor at its end), with the words the reply must hold exactly, or
# (after "+") the words it must hold among others.
set -u
source "$1"
failures=0
check() {
  local line=$1 expected=$2
  read -ra COMP_WORDS <<< "$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _kor2
  local reply=" ${COMPREPLY[*]} " word
  if [[ $expected == +* ]]; then
    for word in ${expected#+}; do
      [[ $reply == *" $word "* ]] || { echo "«$line»: falta $word en:$reply"; failures=$((failures + 1)); }
    done
  elif [[ $reply != " $expected " ]]; then
    echo "«$line»: se esperaba « $expected », se obtuvo «$reply»"
    failures=$((failures + 1))
  fi
}
check "kor2 call CCol" "CColores"
check "kor2 call CColores Col_" "Col_NuVB_de_Nombre_o_inicial Col_NuTB_de_NuCad Col_NuyNomTB_de_NuTB Col_NombCad_de_NuVb Col_NombreCad_NuCad Col_NuVB_de_NuTB Col_NumVB_de_NumCad Col_NuCad_de_NuVB"
check "kor2 --settings :memory: --headless call cfrm_Col" "cfrm_Color"
check "kor2 call cRegistro R_Lee_tamaño_y_pos_Obj_en_Win_" "R_Lee_tamaño_y_pos_Obj_en_Win_O"
check "kor2 call CColores Col_NuCad_de_NuVB lo" "long:"
check "kor2 call CColores Col_NuCad_de_NuVB long:1 " "+byte: text: empty null"
check "kor2 desc" "describe"
check "kor2 settings " "get set list delete export import"
check "kor2 color --ti" "--title"
check "kor2 color --" "--headless --actions --settings --decimal --json --version --help --initial --title --layer"
check "kor2 call --help " "+CColores"
check "kor2 --decimal " ", ."
check "kor2 color --initial " ""
check "kor2 message --title t --file " "+$(basename "$1")"
check "kor2 --actions " "+$(basename "$1")"
check "kor2 open --dir " "+CMakeFiles"
echo "$failures fallos"
exit $((failures > 0))
