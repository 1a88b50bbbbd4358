#!/bin/sh
# End to end: the real `lines` in a detached 80x50 tmux session. Sees the
# frame, moves the mouse and clicks with SGR reports, quits with Escape,
# signals and Ctrl-C, and checks each time the exit status and that the
# terminal is restored (main screen, cursor shown, mouse off, termios as
# before); a resize, the half-block form of an 80x24 terminal, a suspend
# and resume, a start in the background; no terminal at all, no usable
# terminal type, and --help.
# Usage: lines_terminal.sh PATH-TO-LINES     (exit 77: skipped)
set -u
bin="$1"
if ! command -v tmux >/dev/null 2>&1; then
    echo "SKIP: tmux is not installed"
    exit 77
fi

dir=$(mktemp -d)
sock="vantrel-e2e-$$"
. "$(dirname "$0")/tmux_pane.sh"

# --- no terminal: one line on stderr, status 1; --help: status 0
"$bin" </dev/null >"$dir/out" 2>"$dir/err"
status=$?
[ "$status" -eq 1 ] || fail "without a terminal: status $status, not 1"
[ "$(wc -l <"$dir/err")" -eq 1 ] || fail "without a terminal: stderr is not one line: $(cat "$dir/err")"
grep -q "interactive terminal" "$dir/err" || fail "without a terminal: unclear message: $(cat "$dir/err")"
[ -s "$dir/out" ] && fail "without a terminal: wrote to standard output"
"$bin" --help </dev/null >"$dir/out" 2>&1 || fail "--help: status $?"
grep -q "Escape" "$dir/out" || fail "--help does not mention Escape"

# --- a session whose pane runs `lines` between two readings of the termios
t new-session -d -s e2e -x 80 -y 50 || fail "tmux would not start"
t set -s escape-time 0
start_lines() {
    rm -f "$dir/status" "$dir/before" "$dir/after" "$dir/err"
    # The pane stays alive afterwards (sleep), so its modes can be read.
    # The shell ignores nothing but survives Ctrl-C (its trap), so it can
    # record how lines ended.
    t respawn-pane -k -t e2e "trap : INT; ulimit -c 0; echo main screen text; stty -g >'$dir/before'; '$bin'; echo \$? >'$dir/status'; stty -g >'$dir/after'; exec sleep 60"
    wait_for '#{alternate_on}#{mouse_any_flag}#{cursor_flag}' 50 '110' || fail "no alternate screen, mouse and hidden cursor"
}

# Escape, after flying a little.
start_lines
sleep 0.5
t capture-pane -p -t e2e >"$dir/frame1"
grep -q '[░▒▓█]' "$dir/frame1" || fail "the frame shows no shaded cells"
[ "$(wc -l <"$dir/frame1")" -ge 49 ] || fail "the frame is not 50 rows"
# Mouse to the right of centre and the left button held (SGR reports typed
# into the pane on row $1, 1-based) for 1.5 s, then released at the centre;
# the pane is captured into $2.
hold_left_button() {
    t send-keys -t e2e -l "$(printf '\033[<35;70;%dM\033[<0;70;%dM' "$1" "$1")"
    sleep 1.5
    t send-keys -t e2e -l "$(printf '\033[<0;70;%dm\033[<35;40;%dM' "$1" "$1")"
    sleep 0.2
    t capture-pane -p -t e2e >"$2"
}
# The camera rolls and speeds up, so the speed gauge grows in the top-left
# corner.
hold_left_button 25 "$dir/frame2"
head -n 1 "$dir/frame2" | cut -c1-3 | grep -q '[^ ]' || fail "no speed gauge after holding the left button"
cmp -s "$dir/frame1" "$dir/frame2" && fail "the picture did not change while flying"
# Middle button: stop.
t send-keys -t e2e -l "$(printf '\033[<1;40;25M\033[<1;40;25m')"
sleep 0.2
t capture-pane -p -t e2e >"$dir/frame3"
head -n 1 "$dir/frame3" | cut -c1-3 | grep -q '[^ ]' &&
    fail "the speed gauge stays after the middle button"
t send-keys -t e2e Escape
check_restored "Escape" 0
grep -q "main screen text" "$dir/frame3" && fail "the main screen showed through during the run"
t capture-pane -p -t e2e | grep -q "main screen text" || fail "the main screen's contents are not back"

# Signals end the program through the signal itself (status 128 + its
# number), with the terminal restored; crashes too. Under AddressSanitizer
# the handler the program had for SIGSEGV is the sanitizer's, which the
# session passes the signal on to once the terminal is restored: it reports
# the fault and exits with status 1.
segv=139
ldd "$bin" 2>/dev/null | grep -q 'libasan\.so' && segv=1
for sig in TERM:143 HUP:129 QUIT:131 SEGV:$segv ABRT:134 PIPE:141 USR1:138 XCPU:152; do
    start_lines
    sleep 0.3
    pid=$(ps -o pid= --ppid "$(pane '#{pane_pid}')" | tr -d ' ')
    [ -n "$pid" ] || fail "cannot find the lines process"
    kill -"${sig%:*}" "$pid"
    check_restored "SIG${sig%:*}" "${sig#*:}"
done

# A larger terminal: the frame is centred, the margins keep the default colours.
start_lines
t resize-window -t e2e -x 100 -y 60
sleep 0.4
t capture-pane -e -p -t e2e >"$dir/big"
sed -n '1,5p' "$dir/big" | grep -q "$(printf '\033')" && fail "colours in the top margin after growing"
sed -n '6p' "$dir/big" | grep -q "^          $(printf '\033')\\[" || fail "row 6 does not start the frame after 10 columns"
t resize-window -t e2e -x 80 -y 50

# Ctrl-C: the signal's own status (130), terminal restored.
t send-keys -t e2e C-c
check_restored "Ctrl-C" 130

# Fewer than 50 rows: the whole frame in half blocks, the gauge in the top
# row after holding the left button; back to cells at 50 rows.
t resize-window -t e2e -x 80 -y 24
start_lines
sleep 0.5
t capture-pane -p -t e2e >"$dir/half1"
grep -q '▀' "$dir/half1" || fail "80x24: no half blocks"
grep -q '[░▒▓█]' "$dir/half1" && fail "80x24: cells shown as shades, not half blocks"
hold_left_button 12 "$dir/half2"
head -n 1 "$dir/half2" | cut -c1-3 | grep -q '▀' || fail "80x24: no speed gauge in the top row"
t resize-window -t e2e -x 80 -y 50
sleep 0.4
t capture-pane -p -t e2e | grep -q '[░▒▓█]' || fail "back at 80x50: no shaded cells"
t send-keys -t e2e Escape
check_restored "Escape at 80x24" 0

# No usable terminal type (TERM unset, then dumb): one line on stderr each,
# status 1, nothing changed.
rm -f "$dir/after"
t respawn-pane -k -t e2e "stty -g >'$dir/before'; env -u TERM '$bin' 2>'$dir/err1'; echo \$? >'$dir/status'; \
    TERM=dumb '$bin' 2>'$dir/err2'; echo \$? >>'$dir/status'; stty -g >'$dir/after'; exec sleep 60"
n=0
while [ ! -s "$dir/after" ]; do
    n=$((n + 1))
    [ "$n" -gt 50 ] && fail "no usable TERM: lines did not end"
    sleep 0.1
done
[ "$(cat "$dir/status" | tr '\n' ' ')" = "1 1 " ] || fail "no usable TERM: status $(cat "$dir/status"), not 1"
for err in "$dir/err1" "$dir/err2"; do
    [ "$(wc -l <"$err")" -eq 1 ] && grep -q "TERM" "$err" || fail "no usable TERM: not one line on TERM: $(cat "$err")"
done
cmp -s "$dir/before" "$dir/after" || fail "no usable TERM: termios changed"

# Under an interactive shell's job control: a shell in the pane, with the
# termios from before it.
start_shell() {
    t respawn-pane -k -t e2e "stty -g >'$dir/before'; exec bash --norc --noprofile -i"
    sleep 0.3
}
type_line() { t send-keys -t e2e -l "$1" \; send-keys -t e2e Enter; }
# `fg`: lines takes the terminal and flies; Escape: all restored, status 0.
fg_then_escape() {
    type_line "fg"
    wait_for '#{alternate_on}#{mouse_any_flag}#{cursor_flag}' 30 '110' || fail "$1: fg: lines did not take the terminal"
    sleep 0.3
    t capture-pane -p -t e2e | grep -q '[░▒▓█]' || fail "$1: fg: no frame"
    t send-keys -t e2e Escape
    wait_for '#{alternate_on}#{mouse_any_flag}#{cursor_flag}' 30 '001' || fail "$1: Escape: terminal not restored"
    type_line "echo status=\$?; stty -g >'$dir/after'"
    sleep 0.3
    t capture-pane -p -t e2e | grep -q "^status=0" || fail "$1: Escape: status not 0"
    cmp -s "$dir/before" "$dir/after" || fail "$1: termios not restored"
}

# Suspend and resume.
start_shell
type_line "'$bin'"
wait_for '#{alternate_on}#{mouse_any_flag}#{cursor_flag}' 50 '110' || fail "job control: lines did not start"
t send-keys -t e2e C-z
wait_for '#{alternate_on}#{mouse_any_flag}#{cursor_flag}' 30 '001' || fail "Ctrl-Z: terminal not restored"
fg_then_escape "suspend and resume"

# In the background, lines waits stopped, and has changed nothing: sets $pid.
stopped_untouched() {
    sleep 1
    [ "$(pane '#{alternate_on}#{mouse_any_flag}#{cursor_flag}')" = 001 ] || fail "$1: the terminal's modes changed"
    pid=$(ps -o pid= --ppid "$(pane '#{pane_pid}')" | tr -d ' ')
    case "$(ps -o stat= -p "$pid")" in T*) ;; *) fail "$1: lines is not stopped" ;; esac
}

# Suspended, then continued in the background (`bg`): it stops again
# without touching the terminal, and `kill %1` still ends it.
start_shell
type_line "'$bin'"
wait_for '#{alternate_on}#{mouse_any_flag}#{cursor_flag}' 50 '110' || fail "bg: lines did not start"
t send-keys -t e2e C-z
wait_for '#{alternate_on}#{mouse_any_flag}#{cursor_flag}' 30 '001' || fail "Ctrl-Z before bg: terminal not restored"
type_line "bg"
stopped_untouched "bg"
type_line "kill %1"
# Ended means gone or a zombie: the shell may reap it only at its next prompt.
running() { case "$(ps -o stat= -p "$1")" in "" | Z*) false ;; *) true ;; esac; }
for i in 1 2 3 4 5 6 7 8 9 10; do running "$pid" && sleep 0.3; done
running "$pid" && fail "kill %1 after bg: lines did not end"

# Started in the background: it changes nothing on the terminal (only the
# shell's lines show: prompts, the job's number, perhaps its stop) and
# waits, stopped, until `fg`; then it flies, and Escape restores everything.
start_shell
type_line "'$bin' &"
stopped_untouched "lines &"
t capture-pane -p -t e2e | grep . >"$dir/background"
grep -v -e '^bash-' -e '^\[1\]' "$dir/background" && fail "lines &: wrote on the terminal"
tail -n 1 "$dir/background" | grep -q '^bash-' || fail "lines &: no prompt: $(cat "$dir/background")"
fg_then_escape "lines &"

echo "e2e: all checks passed"
