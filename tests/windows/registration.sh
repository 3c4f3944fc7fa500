#!/bin/sh
# What registration writes and what unregistration leaves, read back with the platform's own
# registry tool in both registry views, in a fresh prefix of its own: per user, per machine, both
# at once, a refused scope; and, given the other architecture's DLL, both servers side by side.
#   registration.sh WINE PREFIX BITS REGSVR32 DLL CLSID IID LIBID [WINE64 DLL64 CSCRIPT SCRIPT]
# BITS is the DLL's (32 or 64). With the last four, BITS is 32 and the 64-bit server is
# registered beside it; CSCRIPT is the 32-bit script host and SCRIPT a test that prints OK.
set -u
wine=$1 bits=$3 regsvr32=$4 dll=$5 clsid=$6 iid=$7 lib=$8
export WINEPREFIX="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "$bits" = 32 ] && other=64 || other=32
platform=win$bits
checks=0 failures=0

. "$(dirname "$0")/checks.sh"
fresh_prefix

# Parents under the user's classes that exist before any registration stay; the others are ours.
parents_before=""
for parent in CLSID Interface TypeLib; do
    "$wine" reg query "HKCU\\$classes\\$parent" >/dev/null 2>&1 && parents_before="$parents_before $parent"
done

step="por usuario"
run 0 "$wine" "$regsvr32" /s /n /i:user "$dll"
expect present "$bits" "HKCU\\$classes\\CLSID\\{$clsid}\\InprocServer32" "HKCU\\$classes\\$progid\\CLSID" \
    "HKCU\\$classes\\Interface\\{$iid}\\TypeLib" "HKCU\\$classes\\TypeLib\\{$lib}\\1.0\\0\\$platform"
expect absent "32 64" $(ours HKLM)

step="se quita por usuario"
run 0 "$wine" "$regsvr32" /s /u /n /i:user "$dll"
expect absent "32 64" $(ours HKCU)
for parent in CLSID Interface TypeLib; do
    case " $parents_before " in *" $parent "*) ;; *) expect absent "32 64" "HKCU\\$classes\\$parent" ;; esac
done

step="por máquina"
run 0 "$wine" "$regsvr32" /s "$dll"
expect present "$bits" "HKLM\\$classes\\CLSID\\{$clsid}\\InprocServer32" "HKLM\\$classes\\$progid\\CLSID" \
    "HKLM\\$classes\\TypeLib\\{$lib}\\1.0\\0\\$platform"
expect absent "$other" "HKLM\\$classes\\CLSID\\{$clsid}"
expect absent "32 64" $(ours HKCU)

step="por máquina y por usuario, se quita con /u"
run 0 "$wine" "$regsvr32" /s /n /i:user "$dll"
run 0 "$wine" "$regsvr32" /s /u "$dll"
expect absent "32 64" $(ours HKLM) $(ours HKCU)

step="ámbito desconocido"
run fails "$wine" "$regsvr32" /s /n /i:todos "$dll"
expect absent "32 64" $(ours HKLM) $(ours HKCU)

if [ $# -ge 12 ]; then
    wine64=$9 dll64=${10} cscript32=${11} script=${12}
    both() { # the same script through each architecture's script host
        checks=$((checks + 2))
        "$wine64" cscript //nologo "$script" 2>&1 | grep -q "^OK " || fail "el intérprete de 64 bits no crea las clases"
        "$wine" "$cscript32" //nologo "$script" 2>&1 | grep -q "^OK " || fail "el intérprete de 32 bits no crea las clases"
    }
    step="las dos arquitecturas"
    run 0 "$wine64" regsvr32 /s "$dll64"
    run 0 "$wine" "$regsvr32" /s "$dll"
    expect present "32 64" "HKLM\\$classes\\CLSID\\{$clsid}\\InprocServer32"
    expect present 64 "HKLM\\$classes\\TypeLib\\{$lib}\\1.0\\0\\win32" "HKLM\\$classes\\TypeLib\\{$lib}\\1.0\\0\\win64"
    both

    step="se quita la de 32 bits"
    run 0 "$wine" "$regsvr32" /s /u "$dll"
    expect absent 32 "HKLM\\$classes\\CLSID\\{$clsid}" "HKLM\\$classes\\TypeLib\\{$lib}\\1.0\\0\\win32"
    expect present 64 "HKLM\\$classes\\CLSID\\{$clsid}\\InprocServer32" "HKLM\\$classes\\$progid\\CLSID" \
        "HKLM\\$classes\\Interface\\{$iid}\\TypeLib" "HKLM\\$classes\\TypeLib\\{$lib}\\1.0\\0\\win64"
    checks=$((checks + 1))
    "$wine64" cscript //nologo "$script" 2>&1 | grep -q "^OK " || fail "el intérprete de 64 bits ya no crea las clases"

    step="se quita la de 64 bits"
    run 0 "$wine64" regsvr32 /s /u "$dll64"
    expect absent "32 64" $(ours HKLM)
fi

[ $failures -eq 0 ] && echo "OK $checks comprobaciones"
exit $failures
