# Sourced by the scripts that run in steps. `step TEXT` announces a step on standard error; when
# the script ends with a failure, it says which step failed and with which exit status, so that a
# failure never goes unexplained. `at_exit COMMAND` adds clean-up that runs at the end either
# way, latest first; the script must not set an EXIT trap of its own.
steps_current="getting ready"
steps_cleanups=()

step() {
    steps_current="$*"
    echo "== $*" >&2
}

at_exit() {
    steps_cleanups=("$1" "${steps_cleanups[@]}")
}

steps_on_exit() {
    local status=$?
    local cleanup
    for cleanup in "${steps_cleanups[@]}"; do
        eval "$cleanup" || true
    done
    if [ "$status" -ne 0 ]; then
        echo "${0##*/}: the step \"$steps_current\" failed (exit status $status)" >&2
    fi
    exit "$status"
}
trap steps_on_exit EXIT
