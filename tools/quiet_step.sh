# shellcheck shell=bash
# Sourced by the commands that show a step's output only when it fails (run.sh, release.sh,
# pictures.sh). step "what" command...: runs the command with its output kept aside; when it fails,
# shows that output, says which step it was, as the command named in step_name, and exits with 1.
step() {
    local what=$1 log
    shift
    log=$(mktemp)
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "${step_name:-$0}: $what failed (the output above is from: $*)" >&2
        exit 1
    fi
    rm -f "$log"
}
