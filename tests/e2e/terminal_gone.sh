#!/bin/sh
# End to end: the terminal goes away under `lines` and `vantrel-view --raw`
# (their tmux pane is killed). Each ends within a second and leaves no
# process behind: through SIGHUP, or, where SIGHUP is ignored, through the
# failed reads and writes, with status 1 and one line on stderr (here a
# file, which still works).
# (A hangup signals only the session's leader, the pane's shell; tmux sends
# SIGHUP to the pane's process group as well.)
# Usage: terminal_gone.sh PATH-TO-LINES PATH-TO-VANTREL-VIEW   (exit 77: skipped)
set -u
lines="$1"
view="$2"
if ! command -v tmux >/dev/null 2>&1; then
    echo "SKIP: tmux is not installed"
    exit 77
fi
dir=$(mktemp -d)
sock="vantrel-gone-$$"
. "$(dirname "$0")/tmux_pane.sh"
t new-session -d -s keep -x 80 -y 24 || fail "tmux would not start"

# $1: a name; $2: the shell's setup; $3: the command; then the status and
# the number of stderr lines expected ("" for any: the shell is gone too).
gone() {
    rm -f "$dir/status" "$dir/err"
    t new-session -d -s e2e -x 80 -y 50 "$2; $3 2>'$dir/err'; echo \$? >'$dir/status'; sleep 5"
    wait_for '#{alternate_on}' 50 1 || fail "$1: did not start"
    sleep 0.3
    pid=$(ps -o pid= --ppid "$(pane '#{pane_pid}')" | tr -d ' ')
    [ -n "$pid" ] || fail "$1: cannot find the process"
    t kill-session -t e2e
    # Ended within a second (a zombie until the pane's shell, which the
    # hangup ends too, is gone), and no process left soon after.
    n=0
    while case "$(ps -o stat= -p "$pid")" in "" | Z*) false ;; *) true ;; esac do
        n=$((n + 1))
        [ "$n" -gt 10 ] && fail "$1: still running a second after its terminal went away"
        sleep 0.1
    done
    n=0
    while kill -0 "$pid" 2>/dev/null; do
        n=$((n + 1))
        [ "$n" -gt 50 ] && fail "$1: the process is left"
        sleep 0.1
    done
    [ -z "$4" ] && return
    n=0
    until [ -s "$dir/status" ]; do n=$((n + 1)); [ "$n" -gt 20 ] && fail "$1: no status"; sleep 0.1; done
    [ "$(cat "$dir/status")" = "$4" ] || fail "$1: status $(cat "$dir/status"), not $4"
    [ "$(wc -l <"$dir/err")" -eq 1 ] || fail "$1: stderr is not one line: $(cat "$dir/err")"
}

gone "lines" ":" "'$lines'" ""
gone "lines, SIGHUP ignored" "trap '' HUP" "'$lines'" 1
gone "vantrel-view, SIGHUP ignored" "trap '' HUP" "'$view' --raw 8x8 /dev/zero" 1
echo "terminal gone e2e: all checks passed; $(cat "$dir/err")"
