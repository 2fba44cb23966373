# Sourced by the tests that run the programs from outside: each check counted, a failure
# shown with what was expected; `finish` ends with the counts and the test's status.
passes=0
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        echo "ok: $1"; passes=$((passes + 1))
    else
        echo "FAILED: $1"; echo "  expected: $2"; echo "  actual:   $3"; failures=$((failures + 1))
    fi
}
contains() {  # contains DESCRIPTION NEEDLE HAYSTACK
    if [[ "$3" == *"$2"* ]]; then
        echo "ok: $1"; passes=$((passes + 1))
    else
        echo "FAILED: $1"; echo "  missing: $2"; echo "  in: ${3:0:400}"; failures=$((failures + 1))
    fi
}
finish() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
}
