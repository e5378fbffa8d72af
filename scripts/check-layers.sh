#!/usr/bin/env bash
# Checks that every include of the product's code points down the layers (README: Layout) and that
# no files or folders include each other in a circle. Lists each offending include; exits 1 on any.
set -euo pipefail
cd "$(dirname "$0")/.."

# The layer of a folder: a folder may include its own files and those of lower layers only.
layer() {
    case "$1" in
    platform) echo 1 ;; support) echo 2 ;; lang) echo 3 ;; sources) echo 4 ;; profiles) echo 5 ;;
    engine) echo 6 ;; probe) echo 7 ;; media) echo 8 ;; cli | lang/tools) echo 9 ;;
    ui) echo 10 ;; controls) echo 11 ;;
    sources/ui | probe/ui | engine/ui | preview) echo 12 ;;
    app) echo 13 ;;
    *) echo 0 ;;
    esac
}

status=0
edges_files=$(mktemp)
edges_folders=$(mktemp)
trap 'rm -f "$edges_files" "$edges_folders"' EXIT

while IFS= read -r file; do
    from=$(dirname "$file")
    while IFS= read -r inc; do
        [ -e "$inc" ] || continue # a system or generated header
        to=$(dirname "$inc")
        echo "$file $inc" >>"$edges_files"
        [ "$from" = "$to" ] && continue
        echo "$from $to" >>"$edges_folders"
        if [ "$from" = kestrelvx ]; then
            # The encoder program shares only the contract header with the application.
            case "$inc" in engine/encoder_contract.h | engine/encoder_channel.h) continue ;; esac
            echo "upward include: $file includes $inc (the encoder shares only engine/encoder_contract.h and engine/encoder_channel.h)"
            status=1
            continue
        fi
        lf=$(layer "$from")
        lt=$(layer "$to")
        if [ "$lf" -eq 0 ] || [ "$lt" -eq 0 ] || [ "$lt" -ge "$lf" ]; then
            echo "upward include: $file includes $inc ($from may use only lower folders)"
            status=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h' | grep -vE '^(tests|bench|fuzz)/')

for kind in files folders; do
    edges=$edges_files
    [ $kind = folders ] && edges=$edges_folders
    if ! tsort "$edges" >/dev/null 2>"$edges.err"; then
        echo "include cycle among $kind:"
        grep -v "input contains a loop" "$edges.err" | sed "s/^tsort: /  /" | sort -u
        status=1
    fi
    rm -f "$edges.err"
done

[ $status -eq 0 ] && echo "check-layers: every include points down the layers; no include cycles"
exit $status
