#!/usr/bin/env bash
# Starts Tarnview (build/bin/tarnview), passing on this script's arguments.
#
# With a display ($DISPLAY set) it simply runs the program. Without one (a server, a container)
# it starts a virtual display with Xvfb, runs Tarnview there, saves a screenshot of the main
# window to build/tarnview-screenshot.png and keeps running until Tarnview exits or Ctrl-C.
#
# TARNVIEW_BIN names another program to start instead of build/bin/tarnview (for developers).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
program="${TARNVIEW_BIN:-$root/build/bin/tarnview}"
screenshot="$root/build/tarnview-screenshot.png"
window_timeout=60
settle_seconds=5

if [ ! -x "$program" ]; then
    echo "run.sh: $program not found; build first with scripts/build.sh" >&2
    exit 1
fi

if [ -n "${DISPLAY:-}" ]; then
    exec "$program" "$@"
fi

for tool in Xvfb xauth xwininfo import; do
    if ! command -v "$tool" >/dev/null; then
        echo "run.sh: $tool is missing; run scripts/install-deps.sh" >&2
        exit 1
    fi
done

# The engine's sandbox cannot run as root.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

xvfb_pid=""
program_pid=""
auth_file="$(mktemp "${TMPDIR:-/tmp}/tarnview-xauth.XXXXXX")"

# Run by the EXIT trap.
# shellcheck disable=SC2317
stop_all() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -f "$auth_file"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A cookie keeps other local users off the virtual display.
export XAUTHORITY="$auth_file"
cookie="$(mcookie 2>/dev/null || od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"

# Takes the first display number from :99 upward that is free and where Xvfb comes up.
start_xvfb() {
    local number
    for number in $(seq 99 199); do
        if [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; then
            continue
        fi
        xauth -q add ":$number" . "$cookie"
        Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp -auth "$auth_file" \
            >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 1 50); do
            if ! kill -0 "$xvfb_pid" 2>/dev/null; then
                break
            fi
            if xwininfo -root -display ":$number" >/dev/null 2>&1; then
                display_number=$number
                return 0
            fi
            sleep 0.2
        done
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
        xauth -q remove ":$number"
    done
    return 1
}

display_number=""
if ! start_xvfb; then
    echo "run.sh: could not start a virtual display (Xvfb) on :99 to :199" >&2
    exit 1
fi
export DISPLAY=":$display_number"

"$program" "$@" &
program_pid=$!

# Stops with the program's own exit code when it ends before it is meant to.
check_running() {
    if ! kill -0 "$program_pid" 2>/dev/null; then
        local code=0
        wait "$program_pid" || code=$?
        program_pid=""
        echo "run.sh: Tarnview exited early with exit code $code" >&2
        exit "$code"
    fi
}

window_id=""
deadline=$((SECONDS + window_timeout))
while [ -z "$window_id" ]; do
    check_running
    if [ "$SECONDS" -ge "$deadline" ]; then
        echo "run.sh: no window named \"Tarnview\" appeared within ${window_timeout} s" >&2
        exit 1
    fi
    sleep 0.5
    window_id="$(xwininfo -root -tree 2>/dev/null \
        | awk '$2 == "\"Tarnview\":" { print $1; exit }')"
done

# Give the panes time to show their pages before the picture is taken.
sleep "$settle_seconds"
check_running

mkdir -p "$(dirname "$screenshot")"
if import -window "$window_id" "$screenshot" 2>/dev/null; then
    echo "Tarnview is running on virtual display :$display_number; screenshot saved to" \
        "$screenshot. Press Ctrl-C to stop."
else
    echo "Tarnview is running on virtual display :$display_number; the screenshot could not" \
        "be saved. Press Ctrl-C to stop."
fi

code=0
wait "$program_pid" || code=$?
program_pid=""
exit "$code"
