# shellcheck shell=bash
# Sourced by the test scripts: runs a preset's tests and prints how many of them passed, and
# how many were skipped (a skipped test has not passed). A label before the preset's name
# tells apart the runs of one preset on other systems ("debian13 linux: ...").
#   TestPreset PRESET [LABEL]
TestPreset() {
    local preset=$1 name="${2:+$2 }$1" log code=0 total passed skipped
    echo "=== test $name"
    log=$(mktemp)
    ctest --preset "$preset" -j"$(nproc)" | tee "$log" || code=$?
    total=$(grep -Ec '^ *[0-9]+/[0-9]+ Test +#' "$log" || true)
    passed=$(grep -Ec '^ *[0-9]+/[0-9]+ Test +#.* Passed ' "$log" || true)
    skipped=$(grep -Ec '^ *[0-9]+/[0-9]+ Test +#.*\*\*\*Skipped' "$log" || true)
    rm -f "$log"
    if [ "$skipped" -eq 0 ]; then
        echo "$name: $passed of $total passed"
    else
        echo "$name: $passed of $total passed, $skipped skipped"
    fi
    return "$code"
}
