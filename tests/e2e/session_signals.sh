#!/bin/sh
# End to end: the terminal session in someone else's program
# (session_program) in a detached tmux pane. Its options take effect (the
# mouse only when asked, the main screen when asked), and Ctrl-C reaches the
# program's own SIGINT handler after the terminal is restored: the handler
# runs, the program goes on to end by itself, and the terminal is as before
# (termios by `stty -g`, the screen's modes, the main screen's contents).
# Usage: session_signals.sh PATH-TO-SESSION-PROGRAM     (exit 77: skipped)
set -u
bin="$1"
if ! command -v tmux >/dev/null 2>&1; then
    echo "SKIP: tmux is not installed"
    exit 77
fi
dir=$(mktemp -d)
sock="vantrel-session-$$"
. "$(dirname "$0")/tmux_pane.sh"

t new-session -d -s e2e -x 80 -y 24 || fail "tmux would not start"
t set -s escape-time 0
# $1: the program's options; $2: the screen's modes expected while it runs.
start() {
    rm -f "$dir/status" "$dir/before" "$dir/after" "$dir/err"
    t respawn-pane -k -t e2e "trap : INT; echo main screen text; stty -g >'$dir/before'; '$bin' $1 2>'$dir/err'; echo \$? >'$dir/status'; stty -g >'$dir/after'; exec sleep 60"
    wait_for '#{alternate_on}#{mouse_any_flag}' 50 "$2" || fail "$1: modes $(pane '#{alternate_on}#{mouse_any_flag}'), not $2"
    n=0
    until t capture-pane -p -t e2e | grep -q running; do
        n=$((n + 1)); [ "$n" -gt 30 ] && fail "$1: the program did not start"; sleep 0.1
    done
}

# The defaults: alternate screen, no mouse. Ctrl-C: the program's handler.
start "" 10
t send-keys -t e2e C-c
check_restored "Ctrl-C to the program's own handler" 3
t capture-pane -p -t e2e | grep -q "own handler ran, session ended" || fail "Ctrl-C: the program's handler did not run"

# Mouse reporting asked for; the handler again.
start "mouse" 11
t send-keys -t e2e C-c
check_restored "Ctrl-C with the mouse on" 3

# On the main screen: Escape ends it, the terminal as before.
start "no-alternate mouse" 01
t send-keys -t e2e Escape
check_restored "Escape on the main screen" 0

# Signals not handled: the session leaves them alone, the handler still runs.
start "no-signals" 10
t send-keys -t e2e C-c
n=0
until [ -s "$dir/after" ]; do n=$((n + 1)); [ "$n" -gt 50 ] && fail "no-signals: did not end"; sleep 0.1; done
[ "$(cat "$dir/status")" = 3 ] || fail "no-signals: status $(cat "$dir/status")"
cmp -s "$dir/before" "$dir/after" || fail "no-signals: termios not restored by leave()"

# SIGTERM with no handler of the program's: the signal's own end (143).
start "" 10
pid=$(ps -o pid= --ppid "$(pane '#{pane_pid}')" | tr -d ' ')
kill -TERM "$pid"
check_restored "SIGTERM" 143
echo "session e2e: all checks passed"
