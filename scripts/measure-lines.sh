#!/bin/sh
# Measures `lines` flying in a detached tmux pane of the given size (the
# default colours of tmux, TERM=tmux-256color), over 10 seconds after 2 of
# warming up:
# - its share of one processor core: utime + stime from /proc/PID/stat;
# - frames per second: the synchronized updates it writes to the pane,
#   each frame one, counted through tmux's pipe-pane;
# - then over 10 more seconds, where perf may trace system calls (as
#   root), how long after the millisecond of its 10 ms slot begins each
#   frame is written (the write calls' times on CLOCK_MONOTONIC, the
#   clock the program reads).
# Usage: scripts/measure-lines.sh [PATH-TO-LINES [COLUMNS ROWS]]
#        (default: build/default/lines 80 50)
set -eu
bin=$(realpath "${1:-build/default/lines}")
columns=${2:-80}
rows=${3:-50}
[ -x "$bin" ] || { echo "measure-lines: no program at $bin" >&2; exit 2; }
command -v tmux >/dev/null || { echo "measure-lines: needs tmux" >&2; exit 2; }

dir=$(mktemp -d)
t() { tmux -L "measure-lines-$$" -f /dev/null "$@"; }
trap 't kill-server >/dev/null 2>&1; rm -rf "$dir"' EXIT
ticks=$(getconf CLK_TCK)

t new-session -d -s m -x "$columns" -y "$rows" "exec '$bin'"
sleep 2
pid=$(t display-message -p -t m '#{pane_pid}')
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(cpu)
t pipe-pane -t m "cat >'$dir/output'"
sleep 10
t pipe-pane -t m
after=$(cpu)
frames=$(grep -o "$(printf '\033')\\[?2026h" "$dir/output" | wc -l)
echo "lines in ${columns}x${rows}: $(echo "$before $after $ticks" | awk '{printf "%.2f", ($2 - $1) / $3 / 10 * 100}')% of one core, $(echo "$frames" | awk '{printf "%.1f", $1 / 10}') frames per second (10 s)"

if ! command -v perf >/dev/null ||
    ! perf record -q -e syscalls:sys_enter_write -k CLOCK_MONOTONIC -p "$pid" -o "$dir/perf.data" -- sleep 10 \
        >/dev/null 2>&1; then
    echo "(perf cannot trace write calls here: slot timing not measured)"
    exit 0
fi
t send-keys -t m Escape
# Each frame's write, in milliseconds of the clock the program reads. The
# slots' millisecond is the commonest residue, modulo 10, of the writes'
# milliseconds; a frame is late by how far after that millisecond begins
# it is written.
perf script -i "$dir/perf.data" -F time 2>/dev/null | tr -d ' :' | awk 'NF { printf "%.3f\n", $1 * 1000 }' >"$dir/ms"
slot=$(awk '{ n[int($1) % 10]++ } END { for (r in n) if (n[r] > best) { best = n[r]; s = r } print s }' "$dir/ms")
awk -v slot="$slot" '{ d = $1 - slot; printf "%.3f\n", d - 10 * int(d / 10) }' "$dir/ms" | sort -n |
    awk '{ late[NR] = $1; if ($1 < 1) within++ }
         END { printf "frames written after the millisecond of their slot begins (10 s): median %.2f ms, ", late[int((NR + 1) / 2)]
               printf "99th percentile %.2f ms, most %.2f ms; within 1 ms: %d of %d\n", late[int(NR * 0.99)], late[NR], within, NR }'
