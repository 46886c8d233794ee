#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer. The layers, lowest first:
# rules <- sheet, richtext <- windows <- shell; tools <- rules; web <- rules, sheet.
#     tests/check-layers.sh [SOURCE_DIR]
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

# The folders each folder may include from (its own first).
declare -A allowed=(
    [rules]="rules"
    [sheet]="sheet rules"
    [richtext]="richtext rules"
    [windows]="windows sheet richtext rules"
    [shell]="shell windows sheet richtext rules"
    [tools]="tools rules"
    [web]="web rules sheet"
)
layers="rules sheet richtext windows shell tools web"

status=0
for folder in $layers; do
    [ -d "$folder" ] || continue
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^[^#]*#[[:space:]]*include[[:space:]]*["<]([^/">]+)\/.*/\1/' <<<"$text")
        case " $layers " in *" $target "*) ;; *) continue ;; esac
        case " ${allowed[$folder]} " in *" $target "*) continue ;; esac
        echo "$file:$line: $folder/ includes from $target/, a higher or unrelated layer"
        status=1
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^/">]+/' "$folder" \
                 --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc')
done
exit $status
