#!/bin/sh
# End to end: the real vantrel-view. Pictures: --help, bad arguments and bad
# files (one line each on stderr, status 2, the other files still shown).
# Raw video in a detached tmux pane, piped in as from ffmpeg: shown on the
# alternate screen, quit with q, Escape and Ctrl-C, ended by the end of the
# input and by a frame cut short; each time the exit status and the
# terminal restored (main screen, cursor shown, mouse off, termios as before).
# A damaged JPEG is shown and reported; --version gives the package version.
# --png through a named pipe, and onto outputs made to fail (a full disk, a
# failing close) when the fault library is given.
# Usage: vantrel_view.sh PATH-TO-VANTREL-VIEW VERSION [OUTPUT-FAULTS.so]    (exit 77: skipped)
set -u
bin="$1"
faults="${3:-}"
here=$(cd "$(dirname "$0")" && pwd)
dir=$(cd "$(mktemp -d)" && pwd -P)
sock="vantrel-view-e2e-$$"
. "$here/tmux_pane.sh"

# One 64x36 frame of orange (255, 128, 0): 9 pixels doubled 8 times.
printf '\377\200\000\377\200\000\377\200\000\377\200\000\377\200\000\377\200\000\377\200\000\377\200\000\377\200\000' >"$dir/frame"
for _ in 1 2 3 4 5 6 7 8; do cat "$dir/frame" "$dir/frame" >"$dir/twice" && mv "$dir/twice" "$dir/frame"; done
[ "$(wc -c <"$dir/frame")" -eq 6912 ] || fail "could not make a frame"
cat "$dir/frame" "$dir/frame" "$dir/frame" >"$dir/three"
cat "$dir/frame" >"$dir/short" && head -c 3000 "$dir/frame" >>"$dir/short"

# --- pictures, without a terminal
"$bin" --help >"$dir/out" 2>&1 || fail "--help: status $?"
grep -q -- "--raw WxH" "$dir/out" || fail "--help does not describe --raw"
"$bin" --raw 64x36 --size 20x10 --png "$dir/picture.png" <"$dir/frame" || fail "--png from a raw frame: status $?"
head -c $(($(wc -c <"$dir/picture.png") / 2)) "$dir/picture.png" >"$dir/cut.png"
for args in "" "--size 0x5 $dir/picture.png" "--renderer fancy $dir/picture.png" "--block 3 $dir/picture.png" \
    "--fps 30 $dir/picture.png" "--renderer blocks --block 2 $dir/picture.png" "--frobnicate $dir/picture.png"; do
    # shellcheck disable=SC2086 # the arguments are a list
    "$bin" $args >"$dir/out" 2>"$dir/err"
    status=$?
    [ "$status" -eq 2 ] || fail "'$args': status $status, not 2"
    [ "$(wc -l <"$dir/err")" -eq 1 ] || fail "'$args': stderr is not one line: $(cat "$dir/err")"
    [ -s "$dir/out" ] && fail "'$args': wrote to standard output"
done
"$bin" --size 20x10 "$dir/missing.png" "$dir/cut.png" "$dir/picture.png" "$dir/frame" >"$dir/out" 2>"$dir/err"
status=$?
[ "$status" -eq 2 ] || fail "bad files: status $status, not 2"
[ "$(wc -l <"$dir/err")" -eq 3 ] || fail "bad files: not one line each: $(cat "$dir/err")"
grep -q "missing.png': cannot open: No such file" "$dir/err" || fail "no reason for the missing file: $(cat "$dir/err")"
grep -q "cut.png': truncated PNG file" "$dir/err" || fail "no reason for the truncated file: $(cat "$dir/err")"
grep -q "frame': not a PNG, JPEG" "$dir/err" || fail "no reason for the raw file: $(cat "$dir/err")"
[ "$(wc -l <"$dir/out")" -ge 5 ] || fail "the good file between the bad ones was not shown"
# A JPEG cut short in its picture data: shown as far as it decoded, and reported.
jpeg="$(dirname "$0")/../fuzz/corpus/jpeg/baseline.jpg"
head -c $(($(wc -c <"$jpeg") - 60)) "$jpeg" >"$dir/cut.jpg"
"$bin" --size 8x3 --stretch "$dir/cut.jpg" >"$dir/out" 2>"$dir/err"
status=$?
[ "$status" -eq 2 ] || fail "damaged JPEG: status $status, not 2"
[ "$(wc -l <"$dir/err")" -eq 1 ] && grep -q "cut.jpg': damaged JPEG file (truncated)" "$dir/err" ||
    fail "damaged JPEG: not one line naming it: $(cat "$dir/err")"
[ "$(wc -l <"$dir/out")" -eq 3 ] || fail "damaged JPEG: not shown"
"$bin" --size 8x3 --png "$dir/cut-jpeg.png" "$dir/cut.jpg" 2>/dev/null
status=$?
[ "$status" -eq 2 ] && [ -s "$dir/cut-jpeg.png" ] || fail "damaged JPEG with --png: status $status, or nothing written"
[ "$("$bin" --version)" = "vantrel-view $2" ] || fail "--version: $("$bin" --version)"
"$bin" --raw 64x36 <"$dir/frame" >"$dir/out" 2>"$dir/err"
[ $? -eq 2 ] && grep -q "terminal" "$dir/err" || fail "video without a terminal: $(cat "$dir/err")"

# An input is opened once: a second open would take a named pipe's writer
# away or wait for another. With faults, every input opens only once; without,
# a real pipe (which a second open loses only now and then).
mkfifo "$dir/fifo"
once="$bin"
if [ -n "$faults" ]; then
    . "$here/output_faults.sh"
    once="with_fault reopen $dir/picture.png $bin"
fi
$once --size 20x10 --png "$dir/once.png" "$dir/picture.png" 2>"$dir/err" || fail "--png opens its input twice: $(cat "$dir/err")"
cat "$dir/picture.png" >"$dir/fifo" &
timeout 10 "$bin" --size 20x10 --png "$dir/from-fifo.png" "$dir/fifo" 2>"$dir/err"
status=$?
kill $! 2>/dev/null
[ "$status" -eq 0 ] && cmp -s "$dir/once.png" "$dir/from-fifo.png" || fail "--png from a named pipe: status $status $(cat "$dir/err")"

# Outputs that fail: status 1, one line naming the file, no file left.
if [ -n "$faults" ]; then
    mkdir "$dir/full"
    out="$dir/full/out.png"
    for fault in close:"Input/output error" write:"No space left on device"; do
        with_fault "${fault%%:*}" "$dir/full/" "$bin" --size 20x10 --png "$out" "$dir/picture.png" 2>"$dir/err"
        status=$?
        [ "$status" -eq 1 ] && [ "$(cat "$dir/err")" = "vantrel-view: cannot write '$out': ${fault#*:}" ] ||
            fail "--png with a failing ${fault%%:*}: status $status: $(cat "$dir/err")"
        [ -z "$(ls -A "$dir/full")" ] || fail "--png with a failing ${fault%%:*} left $(ls -A "$dir/full")"
    done
    with_fault write "$dir/full/" "$bin" --raw 64x36 --size 20x10 --png "$out" <"$dir/frame" 2>"$dir/err"
    status=$?
    [ "$status" -eq 1 ] && [ "$(cat "$dir/err")" = "vantrel-view: cannot write '$out': No space left on device" ] ||
        fail "video to --png on a full disk: status $status: $(cat "$dir/err")"
    [ -z "$(ls -A "$dir/full")" ] || fail "video to --png on a full disk left $(ls -A "$dir/full")"
fi

if ! command -v tmux >/dev/null 2>&1; then
    echo "SKIP: tmux is not installed (the picture checks passed)"
    exit 77
fi

# --- video in a tmux pane
t new-session -d -s e2e -x 80 -y 24 || fail "tmux would not start"
t set -s escape-time 0
# $1: the command that writes the frames; $2: whether to wait for the show;
# $3: more options.
start_view() {
    rm -f "$dir/status" "$dir/before" "$dir/after" "$dir/err"
    t respawn-pane -k -t e2e "trap : INT; echo main screen text; stty -g >'$dir/before'; $1 | '$bin' --raw 64x36 ${3:-} 2>'$dir/err'; echo \$? >'$dir/status'; stty -g >'$dir/after'; exec sleep 60"
    if [ "$2" = wait ]; then
        wait_for '#{alternate_on}#{cursor_flag}' 50 '10' || fail "no alternate screen with the cursor hidden"
    fi
}
# Frames every 50 ms until the viewer stops reading.
endless="while cat '$dir/frame'; do sleep 0.05; done"

start_view "$endless" wait
sleep 0.5
t capture-pane -e -p -t e2e >"$dir/shown"
grep -q "$(printf '\033')\\[" "$dir/shown" || fail "the video shows no colours"
grep -q "main screen text" "$dir/shown" && fail "the main screen showed through"
t send-keys -t e2e q
check_restored "q" 0

start_view "$endless" wait
t send-keys -t e2e Escape
check_restored "Escape" 0

# Half blocks in 24-bit colour: the frame's orange itself.
start_view "$endless" wait "--renderer blocks --colours truecolor"
sleep 0.5
t capture-pane -e -p -t e2e | grep -q "48;2;255;128;0" || fail "half blocks: the orange is not shown exactly"
t send-keys -t e2e q
check_restored "q after half blocks" 0

start_view "$endless" wait
t send-keys -t e2e C-c
check_restored "Ctrl-C" 130

start_view "cat '$dir/three'" nowait
check_restored "end of input" 0

start_view "cat '$dir/short'" nowait
check_restored "a frame cut short" 2
grep -q "ends in the middle of a frame (3000 of 6912 bytes)" "$dir/err" || fail "cut short: $(cat "$dir/err")"

echo "e2e: all checks passed"
