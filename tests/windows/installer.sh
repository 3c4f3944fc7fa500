#!/bin/sh
# The installer package under Wine, in a fresh prefix of its own: a quiet install per machine that
# the script host then uses, its removal leaving no file and no key of ours, the same per user, a
# newer version over the older leaving one installation, an older one over the newer refused; and,
# given the x64 package in the x86 tree, both packages side by side.
#   installer.sh WINE PREFIX BITS CSCRIPT SCRIPT IDS CLIENT WINDOW_SCRIPTS MSI NEXT_MSI DLL CLSID IID LIBID
#                [WINE64 MSI64]
# SCRIPT (installed.vbs after the shared checks), IDS, CLIENT (the compiled client, which also reads
# the registered type library) and WINDOW_SCRIPTS (its argument) are Windows paths; MSI, NEXT_MSI
# (the same files as a newer version) and DLL (the module the packages carry) are this machine's.
set -u
wine=$1 bits=$3 cscript=$4 script=$5 ids=$6 client=$7 window_scripts=$8 msi=$9 next=${10} dll=${11}
clsid=${12} iid=${13} lib=${14}
export WINEPREFIX="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ "$bits" = 32 ] && arch=x86 || arch=x64
checks=0 failures=0
. "$(dirname "$0")/checks.sh"

product="Kor2_Sys ($arch)"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
files="Kor2_Sys.dll Kor2_Sys.tlb Kor2_Sys.sxs.manifest README.md LICENSE"
drive="$WINEPREFIX/drive_c"
[ "$arch" = x64 ] && machine_folder="$drive/Program Files/Kor2_Sys" || machine_folder="$drive/Program Files (x86)/Kor2_Sys"

windows_path() { echo "Z:$1" | tr / '\\'; }
version_of() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p'; }

# versions WINE BITS PRODUCT: the versions of PRODUCT the installer lists per machine, one a line.
versions() {
    "$1" reg query "$uninstall" /s /reg:"$2" 2>/dev/null | tr -d '\r' | awk -v name="$3" '
        /^HKEY/ { if (shown) print version; shown = 0; version = "" }
        $1 == "DisplayName" { sub(/^ *DisplayName +REG_SZ +/, ""); shown = ($0 == name) }
        $1 == "DisplayVersion" { sub(/^ *DisplayVersion +REG_SZ +/, ""); version = $0 }
        END { if (shown) print version }'
}

expect_versions() { # WANTED: the versions listed, as one line
    checks=$((checks + 1))
    got=$(versions "$wine" "$bits" "$product" | tr '\n' ' ')
    [ "$got" = "$1" ] || fail "versiones instaladas: «$got» en vez de «$1»"
}

# installed_in FOLDER ROOT: every file in FOLDER, the module the one built, and the class's server
# in the registry under ROOT that module.
installed_in() {
    for file in $files; do
        checks=$((checks + 1))
        [ -f "$1/$file" ] || fail "falta $1/$file"
    done
    checks=$((checks + 2))
    cmp -s "$dll" "$1/Kor2_Sys.dll" || fail "el módulo instalado no es el construido"
    server=$("$wine" reg query "$2\\$classes\\CLSID\\{$clsid}\\InprocServer32" /ve /reg:"$bits" 2>/dev/null |
             tr -d '\r' | sed -n 's/.*REG_SZ *//p')
    [ -n "$server" ] && [ "$("$wine" winepath -u "$server" 2>/dev/null)" -ef "$1/Kor2_Sys.dll" ] ||
        fail "el servidor de la clase es «$server», no el módulo instalado"
}

classes_work() { # CSCRIPT WINE
    checks=$((checks + 1))
    "$2" "$1" //nologo "$script" "$ids" 2>&1 | grep -q "^OK " || fail "el intérprete no crea las clases instaladas"
}

nothing_left() {
    checks=$((checks + 1))
    left=$(find "$drive" -name '*Kor2_Sys*')
    [ -z "$left" ] || fail "quedan archivos: $left"
    expect absent "32 64" $(ours HKLM) $(ours HKCU)
    # Parents the per-user keys needed: a fresh prefix has none of them.
    expect absent "32 64" "HKCU\\$classes\\CLSID" "HKCU\\$classes\\Interface" "HKCU\\$classes\\TypeLib"
    expect_versions ""
}

fresh_prefix
version=$(version_of "$msi") newer=$(version_of "$next")

# What Wine's installer does not look at: the summary says that no elevation is needed (bit 3 of
# its word count), so that one user installs for themself without a prompt.
step="el paquete"
checks=$((checks + 1))
words=$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')
[ $((${words:-0} & 8)) -ne 0 ] || fail "el paquete pide permisos de administrador también para un usuario"

step="por máquina"
run 0 "$wine" msiexec /i "$(windows_path "$msi")" /qn
installed_in "$machine_folder" HKLM
expect absent "32 64" $(ours HKCU)
expect_versions "$version "
classes_work "$cscript" "$wine"
checks=$((checks + 1))
"$wine" "$client" "$ids" "$window_scripts" 2>&1 | grep -q "^OK " ||
    fail "el cliente compilado no usa la instalación (clases, biblioteca de tipos, versión)"

step="se quita por máquina"
run 0 "$wine" msiexec /x "$(windows_path "$msi")" /qn
nothing_left

# Wine's installer takes an empty ALLUSERS for one user, and needs it again to remove what it
# installed so: it neither knows MSIINSTALLPERUSER nor takes the context from the installed product.
step="por usuario"
run 0 "$wine" msiexec /i "$(windows_path "$msi")" /qn ALLUSERS=
user_folder=$(find "$drive/users" -path "*/AppData/Local/Programs/$product" -type d)
checks=$((checks + 1))
[ -n "$user_folder" ] || fail "no hay carpeta «$product» en los programas del usuario"
installed_in "$user_folder" HKCU
expect absent "32 64" $(ours HKLM)

step="se quita por usuario"
run 0 "$wine" msiexec /x "$(windows_path "$msi")" /qn ALLUSERS=
nothing_left

step="versión nueva sobre la anterior"
run 0 "$wine" msiexec /i "$(windows_path "$msi")" /qn
run 0 "$wine" msiexec /i "$(windows_path "$next")" /qn
expect_versions "$newer "
installed_in "$machine_folder" HKLM
classes_work "$cscript" "$wine"

step="versión anterior sobre la nueva"
run fails "$wine" msiexec /i "$(windows_path "$msi")" /qn
expect_versions "$newer "
installed_in "$machine_folder" HKLM
checks=$((checks + 1))
msiinfo export "$msi" LaunchCondition | grep -q "Ya está instalada una versión más reciente de $product" ||
    fail "el paquete no dice por qué no instala sobre una versión más reciente"

step="se quita la versión nueva"
run 0 "$wine" msiexec /x "$(windows_path "$next")" /qn
nothing_left

if [ $# -ge 16 ]; then
    wine64=${15} msi64=${16}
    step="los dos paquetes"
    [ -f "$msi64" ] || { fail "falta el paquete x64 $msi64: constrúyalo antes en su árbol (build/windows)"; exit 1; }
    run 0 "$wine64" msiexec /i "$(windows_path "$msi64")" /qn
    run 0 "$wine" msiexec /i "$(windows_path "$msi")" /qn
    installed_in "$machine_folder" HKLM
    checks=$((checks + 1))
    [ "$(versions "$wine64" 64 "Kor2_Sys (x64)")" = "$(version_of "$msi64")" ] || fail "el paquete x64 no está"
    classes_work "$cscript" "$wine"
    classes_work cscript "$wine64"

    step="se quita el de 32 bits"
    run 0 "$wine" msiexec /x "$(windows_path "$msi")" /qn
    expect_versions ""
    classes_work cscript "$wine64"

    step="se quita el de 64 bits"
    run 0 "$wine64" msiexec /x "$(windows_path "$msi64")" /qn
    nothing_left

    # The other order: what both share stays with the 32-bit package.
    step="los dos paquetes, se quita el de 64 bits"
    run 0 "$wine64" msiexec /i "$(windows_path "$msi64")" /qn
    run 0 "$wine" msiexec /i "$(windows_path "$msi")" /qn
    run 0 "$wine64" msiexec /x "$(windows_path "$msi64")" /qn
    classes_work "$cscript" "$wine"
    expect present 64 "HKLM\\$classes\\TypeLib\\{$lib}\\1.0\\0\\win32"
    expect absent 64 "HKLM\\$classes\\TypeLib\\{$lib}\\1.0\\0\\win64"

    step="se quita también el de 32 bits"
    run 0 "$wine" msiexec /x "$(windows_path "$msi")" /qn
    nothing_left
fi

[ $failures -eq 0 ] && echo "OK $checks comprobaciones"
exit $failures
