#!/usr/bin/env bash
# The layer check passes on the checkout and on a tree that keeps to the order, and fails,
# naming the file, the line and the include, on each way of climbing.
set -uo pipefail

check=${1:?the path of check-layers.sh}
checkout=${2:?the checkout to check}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# expect <exit code> <case> [line the output must hold]...
expect() {
    local code=$1 name=$2
    shift 2
    local output status
    output=$("$check" "$tree" 2>&1)
    status=$?
    [ "$status" -eq "$code" ] || fail "$name: exit $status, expected $code; output: $output"
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$output" || fail "$name: no line '$line' in: $output"
    done
}

write() {
    mkdir -p "$tree/$(dirname "$1")"
    printf '%s\n' "${@:2}" >"$tree/$1"
}

"$check" "$checkout" || fail "the checkout climbs (see above)"

write src/settings/store.cpp '#include "settings/store.h"' '#include "platform/paths.h"'
write src/app/main.cpp '#include "settings/store.h"' '#include "ui_main.h"' '#include <QWidget>'
write tests/fixtures/helper.h '#include "app/main.h"'
write tests/settings/store_test.cpp '#include "settings/store.h"'
expect 0 "a tree in order"

write src/settings/store.cpp '#include "settings/store.h"' '#include "app/main_form.h"'
expect 1 "a quoted include from above" \
    "src/settings/store.cpp:2: includes app/main_form.h, but app is above settings"

write src/log/writer.cpp '#include <policy/url_filter.h>'
expect 1 "an include in angle brackets, from the folder just above" \
    "src/log/writer.cpp:1: includes policy/url_filter.h, but policy is above log"
rm "$tree/src/log/writer.cpp"

write src/settings/store.cpp '  #  include "../app/main_form.h"'
expect 1 "a relative include" \
    "src/settings/store.cpp:1: includes ../app/main_form.h, which climbs out of its folder"

write src/settings/store.cpp '#include "settings/store.h"'
write tests/policy/filter_test.cpp '#include "connect/accounting.h"'
expect 1 "a test of a lower folder" \
    "tests/policy/filter_test.cpp:1: includes connect/accounting.h, but connect is above policy"

rm "$tree/tests/policy/filter_test.cpp"
write src/extras/thing.h '#pragma once'
expect 1 "a folder outside the order" \
    "src/extras/thing.h: src/extras is not in the layer order of scripts/check-layers.sh"

[ "$failures" -eq 0 ] && echo "all cases passed"
exit $((failures > 0))
