#!/bin/sh
# End to end: video files in the real vantrel-view, in a detached tmux pane,
# with clips made by ffmpeg: one played to its end (status 0, on time), one
# quit with q midway, one paused and resumed (the wall time grows by the
# pause), one refitted while paused, one sought, and a truncated one (one
# line naming it, status 2); each time the terminal restored. Then a GIF on
# standard input, looped twice; and a GIF of one frame printed inline like a
# picture.
# Usage: vantrel_view_media.sh PATH-TO-VANTREL-VIEW     (exit 77: skipped)
set -u
bin="$1"
dir=$(mktemp -d)
sock="vantrel-view-media-$$"
. "$(dirname "$0")/tmux_pane.sh"

for tool in tmux ffmpeg; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
clip() {  # $1: seconds, $2: file
    ffmpeg -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=160x90:rate=30" -t "$1" \
        -c:v libx264 -pix_fmt yuv420p -movflags +faststart "$2" || fail "ffmpeg could not make $2"
}
clip 2 "$dir/short.mp4"
clip 10 "$dir/long.mp4"
head -c $(($(wc -c <"$dir/long.mp4") / 2)) "$dir/long.mp4" >"$dir/cut.mp4"
ffmpeg -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=64x36:rate=5" -t 1 -loop 0 "$dir/anim.gif" ||
    fail "ffmpeg could not make a GIF"

# A GIF of one frame is a still picture: printed inline, with no terminal.
ffmpeg -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=64x36" -frames:v 1 "$dir/one.gif" ||
    fail "ffmpeg could not make a still GIF"
"$bin" --size 20x5 "$dir/one.gif" >"$dir/out" 2>"$dir/err" || fail "a still GIF: status $? $(cat "$dir/err")"
[ "$(wc -l <"$dir/out")" -eq 5 ] || fail "a still GIF: not five lines: $(cat "$dir/out")"
"$bin" "$dir/short.mp4" >"$dir/out" 2>"$dir/err"
[ $? -eq 2 ] && grep -q "short.mp4': video needs a terminal" "$dir/err" || fail "video without a terminal: $(cat "$dir/err")"

t new-session -d -s e2e -x 80 -y 24 || fail "tmux would not start"
t set -s escape-time 0
# $1: the arguments; $2 (optional): what feeds standard input. The pane
# records the wall time in milliseconds in $dir/ms.
start_view() {
    rm -f "$dir/status" "$dir/before" "$dir/after" "$dir/err" "$dir/ms"
    t respawn-pane -k -t e2e "echo main screen text; stty -g >'$dir/before'; start=\$(date +%s%N); ${2:-} '$bin' --stats $1 2>'$dir/err'; echo \$? >'$dir/status'; echo \$(( (\$(date +%s%N) - start) / 1000000 )) >'$dir/ms'; stty -g >'$dir/after'; exec sleep 60"
    wait_for '#{alternate_on}#{cursor_flag}' 50 '10' || fail "no alternate screen with the cursor hidden"
}
# $1: what; $2 and $3: the least and most wall time in milliseconds.
check_time() {
    ms=$(cat "$dir/ms")
    [ "$ms" -ge "$2" ] && [ "$ms" -le "$3" ] || fail "$1: took $ms ms, not $2 to $3"
}

start_view "'$dir/short.mp4'"
check_restored "played to its end" 0
check_time "a 2 s clip" 1900 4000
grep -q "60 frames decoded" "$dir/err" || fail "--stats: $(cat "$dir/err")"

start_view "'$dir/long.mp4'"
sleep 1
t send-keys -t e2e q
check_restored "q midway" 0
check_time "quit after a second of 10" 900 4000

start_view "'$dir/short.mp4'"
sleep 0.5
t send-keys -t e2e Space
sleep 2
t send-keys -t e2e Space
check_restored "paused and resumed" 0
check_time "a 2 s clip paused for 2 s" 3900 6500

# Paused, then the pane shrinks: the frame on screen is drawn again at once,
# fitted to the new size (a 16:9 clip in 40x12 cells: 40 columns, 11 rows).
start_view "'$dir/long.mp4'"
sleep 0.5
t send-keys -t e2e Space
sleep 0.3
t resize-window -t e2e -x 40 -y 12
sleep 0.5
rows=$(t capture-pane -p -t e2e | grep -c '[^ ]')
[ "$rows" -eq 11 ] || fail "a resize while paused: $rows rows drawn, not 11: $(t capture-pane -p -t e2e)"
t send-keys -t e2e q
check_restored "q after a resize while paused" 0
t resize-window -t e2e -x 80 -y 24

start_view "'$dir/long.mp4'"
sleep 0.5
t send-keys -t e2e Right
check_restored "sought 5 s on" 0
check_time "10 s less 5 s sought" 4500 8000

rm -f "$dir/status" "$dir/before" "$dir/after" "$dir/err"
t respawn-pane -k -t e2e "echo main screen text; stty -g >'$dir/before'; '$bin' '$dir/cut.mp4' 2>'$dir/err'; echo \$? >'$dir/status'; stty -g >'$dir/after'; exec sleep 60"
check_restored "truncated" 2
[ "$(wc -l <"$dir/err")" -eq 1 ] && grep -q "cut.mp4': the video is .*cut short" "$dir/err" ||
    fail "truncated: $(cat "$dir/err")"

start_view "--loop 2 -" "cat '$dir/anim.gif' |"
check_restored "a GIF on standard input" 0
check_time "five 200 ms frames twice" 1900 4000
grep -q "10 frames decoded, 10 shown" "$dir/err" || fail "GIF --stats: $(cat "$dir/err")"

echo "e2e: all media checks passed"
