# The checks an end-to-end test counts, sourced by each: a failed one is said and counted,
# and the test goes on.   source checks.sh   ... then end with: exit $((failures != 0))
failures=0
check() { # description, then a command that must succeed
    local description=$1; shift
    if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
