# Shared by the end-to-end scripts that run a program in a detached tmux
# pane and check that it gives the terminal back. Sourced (`.`) after the
# caller has set $sock (the tmux socket name) and $dir (a scratch folder).
# The program's pane records the termios before and after it in
# $dir/before and $dir/after, its exit status in $dir/status and its
# stderr, where kept, in $dir/err.

t() { tmux -L "$sock" -f /dev/null "$@"; }
cleanup() {
    command -v tmux >/dev/null 2>&1 && t kill-server >/dev/null 2>&1
    rm -rf "$dir"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    if command -v tmux >/dev/null 2>&1 && t has-session -t e2e 2>/dev/null; then
        echo "--- pane:"
        t capture-pane -p -t e2e | head -n 50
    fi
    exit 1
}

pane() { t display-message -p -t e2e "$1"; }

# Waits up to $2 tenths of a second for format $1 to read $3.
wait_for() {
    n=0
    while [ "$(pane "$1")" != "$3" ]; do
        n=$((n + 1))
        [ "$n" -gt "$2" ] && return 1
        sleep 0.1
    done
    return 0
}

# After the way out $1, waits (up to 10 s) for the program to end with
# status $2, then checks that the terminal is as it was: main screen and its
# contents ("main screen text", which the pane prints first), cursor shown,
# mouse reporting off, autowrap on, the termios unchanged.
check_restored() {
    n=0
    while [ ! -s "$dir/after" ]; do
        n=$((n + 1))
        [ "$n" -gt 100 ] && fail "$1: the program did not end"
        sleep 0.1
    done
    [ "$(cat "$dir/status")" = "$2" ] ||
        fail "$1: exit status $(cat "$dir/status"), not $2 $(cat "$dir/err" 2>/dev/null)"
    [ "$(pane '#{alternate_on}')" = 0 ] || fail "$1: still on the alternate screen"
    [ "$(pane '#{cursor_flag}')" = 1 ] || fail "$1: cursor still hidden"
    [ "$(pane '#{mouse_any_flag}')" = 0 ] || fail "$1: mouse reporting still on"
    [ "$(pane '#{wrap_flag}')" = 1 ] || fail "$1: autowrap still off"
    cmp -s "$dir/before" "$dir/after" || fail "$1: termios not restored: $(cat "$dir/before") / $(cat "$dir/after")"
    t capture-pane -p -t e2e | grep -q "main screen text" || fail "$1: the main screen's contents are not back"
}
