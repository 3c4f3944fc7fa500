# Shared by the shell tests of the registry: each check counts, each failure prints FALLO with the
# step it happened in ($step). The caller sets $wine and starts with checks=0 failures=0; ours()
# needs the identifiers $clsid, $iid and $lib.

classes='Software\Classes'
progid=Kor2_Sys.CColores

fail() { failures=$((failures + 1)); printf 'FALLO %s: %s\n' "$step" "$*"; }

# expect present|absent VIEWS KEY...: each key in each view (32, 64 or "32 64").
expect() {
    wanted=$1 views=$2; shift 2
    for key in "$@"; do
        for view in $views; do
            checks=$((checks + 1))
            if "$wine" reg query "$key" /reg:"$view" >/dev/null 2>&1; then got=present; else got=absent; fi
            [ "$got" = "$wanted" ] || fail "$key (vista de $view bits): $got en vez de $wanted"
        done
    done
}

# run STATUS COMMAND...: STATUS is 0 or "fails".
run() {
    wanted=$1; shift
    checks=$((checks + 1))
    "$@" >/dev/null 2>&1
    status=$?
    if [ "$wanted" = 0 ] && [ $status -ne 0 ]; then fail "$* terminó con $status"; fi
    if [ "$wanted" = fails ] && [ $status -eq 0 ]; then fail "$* no falló"; fi
}

ours() { # ROOT: the keys of one class, its interface and the type library under ROOT
    echo "$1\\$classes\\CLSID\\{$clsid}" "$1\\$classes\\$progid" "$1\\$classes\\Interface\\{$iid}" \
         "$1\\$classes\\TypeLib\\{$lib}"
}

# A new prefix at $WINEPREFIX, and one server for the whole run (each query would otherwise start
# one), stopped when the script ends.
fresh_prefix() {
    rm -rf "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1 || { echo "FALLO no se crea el prefijo"; exit 1; }
    wineserver=$(dirname "$wine")/wineserver
    "$wineserver" -p
    trap '"$wineserver" -k' EXIT
}
