# Shared by the project's scripts (sourced): short steps a person can follow, with the tools'
# own output kept in a log file whose path is shown when a step fails.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
logs=$root/build/logs

# Prints one step: "demo: building the module (x64)".
say() {
    echo "$(basename "$0" .sh): $*"
}

# Runs a command with its output in build/logs/<name>.log; on failure shows the end of the log
# and where the rest is, and stops the script.
quietly() {
    local name=$1
    shift
    mkdir -p "$logs"
    if ! "$@" >"$logs/$name.log" 2>&1; then
        tail -n 25 "$logs/$name.log" >&2
        echo "$(basename "$0" .sh): failed; the whole output is in $logs/$name.log" >&2
        exit 1
    fi
}

# Reads "--arch x64|x86" from the front of the arguments into `arch` (x64 when absent) and
# leaves the rest in `args`.
read_arch() {
    arch=x64
    args=("$@")
    if [ "${args[0]:-}" = --arch ]; then
        arch=${args[1]:-}
        args=("${args[@]:2}")
    fi
    if [ "$arch" != x64 ] && [ "$arch" != x86 ]; then
        echo "$(basename "$0" .sh): --arch is x64 or x86, not '$arch'" >&2
        exit 2
    fi
}
