#!/usr/bin/env bash
# Checks that every include of the product's code points down the layers (README: Layout) and that
# no files, file pairs or folders include each other in a circle. A file pair is a header and its
# source (x.h and x.cpp): an interface whose source includes an implementation that includes the
# interface again is a circle, though no single file includes itself. Lists each offending include;
# exits 1 on any.
set -euo pipefail
cd "$(dirname "$0")/.."

# The layer of a folder: a folder may include its own files and those of lower layers only. Sets
# the variable named first (no subshell per include: the check runs before every test run).
layer() {
    local n
    case "$2" in
    platform) n=1 ;; support) n=2 ;; lang) n=3 ;; sources) n=4 ;; profiles) n=5 ;;
    engine) n=6 ;; probe) n=7 ;; media) n=8 ;; cli | lang/tools) n=9 ;;
    ui) n=10 ;; controls) n=11 ;;
    sources/ui | probe/ui | engine/ui | preview) n=12 ;;
    app) n=13 ;;
    *) n=0 ;;
    esac
    printf -v "$1" '%s' "$n"
}

# The folder of a path, as dirname gives it.
folder() {
    if [[ $2 == */* ]]; then printf -v "$1" '%s' "${2%/*}"; else printf -v "$1" '.'; fi
}

status=0
from="" to="" lf=0 lt=0 # set by folder and layer
edges_files=$(mktemp)
edges_pairs=$(mktemp)
edges_folders=$(mktemp)
trap 'rm -f "$edges_files" "$edges_pairs" "$edges_folders"' EXIT

while IFS= read -r file; do
    [ -e "$file" ] || continue # deleted, not yet committed
    folder from "$file"
    while IFS= read -r inc; do
        [ -e "$inc" ] || continue # a system or generated header
        folder to "$inc"
        echo "$file $inc" >>"$edges_files"
        [ "${file%.*}" = "${inc%.*}" ] || echo "${file%.*} ${inc%.*}" >>"$edges_pairs"
        [ "$from" = "$to" ] && continue
        echo "$from $to" >>"$edges_folders"
        if [ "$from" = kestrelvx ]; then
            # The encoder program shares only the contract header with the application.
            case "$inc" in engine/encoder_contract.h | engine/encoder_channel.h) continue ;; esac
            echo "upward include: $file includes $inc (the encoder shares only engine/encoder_contract.h and engine/encoder_channel.h)"
            status=1
            continue
        fi
        layer lf "$from"
        layer lt "$to"
        if [ "$lf" -eq 0 ] || [ "$lt" -eq 0 ] || [ "$lt" -ge "$lf" ]; then
            echo "upward include: $file includes $inc ($from may use only lower folders)"
            status=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h' | grep -vE '^(tests|bench|fuzz)/')

# Two file pairs that include each other, named with the includes that make the circle.
while read -r a b; do
    echo "file pairs include each other: $a.* and $b.*:"
    grep -E "^($a\.[a-z]+ $b|$b\.[a-z]+ $a)\.[a-z]+$" "$edges_files" | sed 's/ / includes /; s/^/  /'
    status=1
done < <(sort -u "$edges_pairs" | awk '{ seen[$1 " " $2] = 1 }
    END { for (e in seen) { split(e, p, " "); if (p[1] < p[2] && ((p[2] " " p[1]) in seen)) print p[1], p[2] } }')

for kind in files "file pairs" folders; do
    edges=$edges_files
    [ "$kind" = "file pairs" ] && edges=$edges_pairs
    [ "$kind" = folders ] && edges=$edges_folders
    if ! tsort "$edges" >/dev/null 2>"$edges.err"; then
        echo "include cycle among $kind:"
        grep -v "input contains a loop" "$edges.err" | sed "s/^tsort: /  /" | sort -u
        status=1
    fi
    rm -f "$edges.err"
done

[ $status -eq 0 ] && echo "check-layers: every include points down the layers; no include cycles among files, file pairs or folders"
exit $status
