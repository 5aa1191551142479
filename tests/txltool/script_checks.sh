# Sourced by the txltool scripts: a scratch folder to work in, `check` to
# compare, `run` to call txltool (CR LF from Windows read as LF) and
# `finish` to print the count and set the exit status.
# Arguments of the sourcing script: the command that runs txltool (under
# Wine for the Windows build, for example "wine-run.sh txltool.exe").
set -u
txltool=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
passed=0
failed=0

check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}

run() { "${txltool[@]}" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

finish() {  # finish NAME
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
