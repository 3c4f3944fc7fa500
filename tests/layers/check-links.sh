#!/bin/sh
# The layers as the linker sees them: a layer's objects may refer only to what they define
# themselves, to what the layers they see define, or to nothing of the library at all (the
# system's and the compiler's libraries). A reference to a definition of a layer above, which no
# include check sees (a declaration written out by hand is enough), is a breach.
#   check-links.sh NM RULES OBJECTS
#     RULES    lines "layer seen-layer..." (the layer itself first)
#     OBJECTS  lines "layer object-file"
set -eu
nm=$1
rules=$2
objects=$3
symbols=$(mktemp)
trap 'rm -f "$symbols"' EXIT
while read -r layer object; do
    [ -n "$object" ] || continue
    # Global definitions (upper-case types but U; u for unique globals) and plain undefined ones;
    # weak undefined references (w, v) may stay unresolved and bind nothing.
    "$nm" -P "$object" | awk -v layer="$layer" -v file="${object##*/}" '
        $2 == "U" { print layer, "U", $1, file; next }
        $2 ~ /^[A-TV-Zu]$/ { print layer, "D", $1, file }'
done < "$objects" > "$symbols"
[ -s "$symbols" ] || { echo "no symbols read from the layers' objects" >&2; exit 1; }

breaches=$(awk '
    FNR == NR { for (i = 1; i <= NF; i++) seen[$1, $i] = 1; next }
    $2 == "D" { if (!(($1, $3) in defines)) { defines[$1, $3] = 1; owners[$3] = owners[$3] " " $1 }; next }
    { refs[++n] = $0 }
    END {
        for (i = 1; i <= n; i++) {
            split(refs[i], r, " ")
            if ((r[1], r[3]) in defines || !(r[3] in owners))
                continue
            k = split(owners[r[3]], by, " ")
            ok = 0
            for (j = 1; j <= k; j++)
                if ((r[1], by[j]) in seen)
                    ok = 1
            if (!ok)
                print r[1] ": " r[4] " links " r[3] " of the" owners[r[3]] " layer"
        }
    }' "$rules" "$symbols" | sort -u)
if [ -n "$breaches" ]; then
    if command -v c++filt > /dev/null; then
        printf '%s\n' "$breaches" | c++filt
    else
        printf '%s\n' "$breaches"
    fi
    echo "layers: a lower layer links to a higher one (see src/Layers.cmake)" >&2
    exit 1
fi
echo "layers: every link of $(wc -l < "$objects") objects points down"
