#!/bin/sh
# Out of memory, under an address-space limit: a session line there is no memory for is answered
# with error 7 and the session goes on with the next line; an import that does not fit is error 7
# in Spanish and leaves the store as it was.
#   memory.sh KOR2 FOLDER
kor2=$1 folder=$2
failures=0
fail() { failures=$((failures + 1)); printf 'FALLO %s\n' "$*"; }

# The tool's address space before any request, measured on a session that waits for its input.
sleep 2 | KOR2_SETTINGS=:memory: "$kor2" session > /dev/null &
waiting=$!
sleep 1
base=$(awk '/^VmSize/ {print $2}' "/proc/$waiting/status")
wait
[ -n "$base" ] || { echo "FALLO no se mide la memoria de kor2"; exit 1; }

# Room for a line of 32 MiB but not for the 64 MiB its growth asks for next.
answers=$( (ulimit -v $((base + 80 * 1024)) &&
            { head -c 62914560 /dev/zero | tr '\0' x; printf '\n{"op":"new","class":"CColores","id":"c"}\n'; } |
            KOR2_SETTINGS=:memory: "$kor2" session) 2>&1)
first=$(printf '%s\n' "$answers" | sed -n 1p) second=$(printf '%s\n' "$answers" | sed -n 2p)
case "$first" in *'"error": {"number": 7, "description": "Memoria insuficiente"}'*) ;;
    *) fail "la línea sin memoria: $(printf '%s' "$answers" | head -c 300)" ;; esac
case "$second" in *'"value": "CColores"'*'"error": null'*) ;;
    *) fail "la sesión no sigue tras la línea sin memoria: $second" ;; esac

# An import of 60 MiB with room for less.
store="$folder/memory.db" import="$folder/memory-import.json"
rm -f "$store" "$import"
"$kor2" --settings "$store" settings set S K V || fail "no se guarda el valor de partida"
head -c 62914560 /dev/zero | tr '\0' x > "$import"
said=$( (ulimit -v $((base + 40 * 1024)) && "$kor2" --settings "$store" settings import "$import") 2>&1)
status=$?
[ $status -eq 3 ] || fail "la importación sin memoria termina con $status"
[ "$said" = "kor2: error 7: Memoria insuficiente" ] || fail "la importación sin memoria dice: $(printf '%s' "$said" | head -c 300)"
[ "$("$kor2" --settings "$store" settings get S K)" = V ] || fail "el almacén cambió"
rm -f "$store" "$import"

[ $failures -eq 0 ] && echo "OK memoria"
exit $failures
