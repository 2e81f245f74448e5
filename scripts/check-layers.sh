#!/usr/bin/env bash
# Fails when a folder of src/ includes a header from a folder above it. The folders are layered
# from the bottom up as listed below: each includes only from itself and the folders before it.
# The tests of a folder (tests/<folder>) keep to the same order. Prints every climbing include
# with its file and line.
#
#   scripts/check-layers.sh [checkout]     (default: the checkout this script is in)
set -euo pipefail

root=${1:-"$(dirname "$0")/.."}
layers=(platform ras settings log policy connect session engine favorites widgets admin config app)

if [ ! -d "$root/src" ]; then
    echo "check-layers: $root has no src folder" >&2
    exit 2
fi

cd "$root"
mapfile -d '' files < <(find src tests -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

awk -v order="${layers[*]}" '
    BEGIN {
        n = split(order, names, " ")
        for (i = 1; i <= n; i++) rank[names[i]] = i
        failed = 0
    }
    FNR == 1 {
        split(FILENAME, parts, "/")
        top = parts[1]; folder = parts[2]
        checked = (top == "src" || folder in rank)
        if (top == "src" && !(folder in rank)) {
            print FILENAME ": src/" folder " is not in the layer order of scripts/check-layers.sh"
            failed = 1
            nextfile
        }
    }
    checked && /^[ \t]*#[ \t]*include[ \t]*["<]/ {
        line = $0
        sub(/^[ \t]*#[ \t]*include[ \t]*["<]/, "", line)
        sub(/[">].*$/, "", line)
        if (line ~ /^\.\.\// || line ~ /\/\.\.\//) {
            print FILENAME ":" FNR ": includes " line ", which climbs out of its folder"
            failed = 1
            next
        }
        if (index(line, "/") == 0) next
        target = substr(line, 1, index(line, "/") - 1)
        if (!(target in rank)) next
        if (rank[target] > rank[folder]) {
            print FILENAME ":" FNR ": includes " line ", but " target " is above " folder
            failed = 1
        }
    }
    END { exit failed }
' "${files[@]}"
