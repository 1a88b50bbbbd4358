#!/bin/sh
# End to end: Ctrl-Z and `fg` when the program runs under a wrapper, in an
# interactive shell in a detached tmux pane. The shell waits only for the
# wrapper (`sh -c`, or a shell script), which stops first, so the shell may
# take the terminal back before the program has given it back: the program
# must still give it back (main screen, cursor shown, mouse off) and take
# it again on `fg`, ten times each for `lines` and `vantrel-view --raw`
# under each wrapper; at the end the termios is as before.
# Usage: suspend_wrappers.sh PATH-TO-LINES PATH-TO-VANTREL-VIEW   (exit 77: skipped)
set -u
lines="$1"
view="$2"
if ! command -v tmux >/dev/null 2>&1 || ! command -v bash >/dev/null 2>&1; then
    echo "SKIP: tmux or bash is not installed"
    exit 77
fi
dir=$(mktemp -d)
sock="vantrel-suspend-$$"
. "$(dirname "$0")/tmux_pane.sh"
printf '#!/bin/sh\n"$@"\necho wrapper done\n' >"$dir/wrapper"
chmod +x "$dir/wrapper"

t new-session -d -s e2e -x 80 -y 50 || fail "tmux would not start"
t set -s escape-time 0
type_line() { t send-keys -t e2e -l "$1" \; send-keys -t e2e Enter; }
modes='#{alternate_on}#{mouse_any_flag}#{cursor_flag}'

# $1: a name; $2: the command line; $3: the modes while it runs; $4: the
# key that quits it.
cycles() {
    rm -f "$dir/before" "$dir/after"
    t respawn-pane -k -t e2e "stty -g >'$dir/before'; exec bash --norc --noprofile -i"
    sleep 0.3
    type_line "$2"
    wait_for "$modes" 50 "$3" || fail "$1: did not take the terminal"
    i=1
    while [ "$i" -le 10 ]; do
        sleep 0.2
        t send-keys -t e2e C-z
        wait_for "$modes" 30 001 || fail "$1: Ctrl-Z $i: terminal not given back ($(pane "$modes"))"
        wait_for '#{pane_current_command}' 30 bash || fail "$1: Ctrl-Z $i: the shell did not get the terminal"
        type_line "fg"
        wait_for "$modes" 30 "$3" || fail "$1: fg $i: terminal not taken again ($(pane "$modes"))"
        i=$((i + 1))
    done
    t send-keys -t e2e "$4"
    wait_for "$modes" 30 001 || fail "$1: $4: terminal not restored"
    type_line "stty -g >'$dir/after'"
    n=0
    until [ -s "$dir/after" ]; do n=$((n + 1)); [ "$n" -gt 30 ] && fail "$1: the shell did not come back"; sleep 0.1; done
    cmp -s "$dir/before" "$dir/after" || fail "$1: termios not restored: $(cat "$dir/before") / $(cat "$dir/after")"
}

cycles "lines under sh -c" "sh -c \"'$lines'; :\"" 110 Escape
cycles "lines under a script" "'$dir/wrapper' '$lines'" 110 Escape
cycles "vantrel-view under sh -c" "sh -c \"'$view' --raw 8x8 /dev/zero; :\"" 100 q
cycles "vantrel-view under a script" "'$dir/wrapper' '$view' --raw 8x8 /dev/zero" 100 q
echo "suspend e2e: all checks passed"
