#!/bin/bash
# Smoke test of the Windows console build under Wine.
#
#   tests/windows/wine_smoke.sh LINES_SMOKE_EXE LINES_CAPTURE FRAMES
#
# Runs the frame-limited Windows build (lines-smoke.exe, which ends by itself
# after FRAMES frames) in a detached 80x50 tmux pane, because Wine gives a
# console program a console only inside a terminal. Checks that it exits with
# status 0 and that the pane shows the demo's last frame: its characters must
# equal those of lines-capture's frame of the same number with the cursor at
# (0, 0), which is where Wine without a display reports it (in a 1024x768 clip
# rectangle; lines-capture's is 1000x1000, so both read the mouse as 0, 0).
# The highlighted edges pulse with the real clock (a 400 ms cycle), so a cell
# may show the character of any phase: the reference frames cover every
# millisecond of the cycle.
#
# Exits 0 on success, 1 on failure, 77 (skipped) where Wine or tmux is missing.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 LINES_SMOKE_EXE LINES_CAPTURE FRAMES" >&2
    exit 2
fi
exe=$(realpath "$1")
capture=$(realpath "$2")
frames=$3

for tool in wine tmux python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "wine smoke test SKIPPED: '$tool' is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
socket="vantrel-wine-$$"
cleanup() {
    tmux -L "$socket" kill-server 2>/dev/null || true
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# A new prefix takes a while to set up; do it before the clock matters.
wineboot -i >/dev/null 2>&1 || true

tmux -L "$socket" -f /dev/null new-session -d -x 80 -y 50 \
    "wine '$exe'; echo \$? > '$work/status'; sleep 600"
for _ in $(seq 1 180); do
    [ -s "$work/status" ] && break
    sleep 1
done
if [ ! -s "$work/status" ]; then
    echo "FAIL: lines-smoke.exe did not finish within 180 s"
    exit 1
fi
status=$(cat "$work/status")
tmux -L "$socket" capture-pane -p -t 0 > "$work/pane.txt"
if [ "$status" != 0 ]; then
    echo "FAIL: lines-smoke.exe exited with status $status"
    exit 1
fi

# Reference frames: one for each millisecond of the 400 ms highlight pulse.
printf '1 0 0 -\n' > "$work/input.txt"
for start in $(seq 1000 1 1399); do
    "$capture" --frames "$frames" --input "$work/input.txt" --start-tick "$start" \
        --cells "$work/cells-$start.bin"
done

python3 - "$work" "$frames" <<'PY'
import glob, sys

work, frames = sys.argv[1], int(sys.argv[2])
frame_bytes = 8000

def characters(path):
    data = open(path, 'rb').read()
    assert len(data) == frames * frame_bytes, f"{path}: {len(data)} bytes"
    last = data[-frame_bytes:]
    # The low byte of each little-endian cell is its code page 437 character.
    return bytes(last[0::2]).decode('cp437')

references = [characters(p) for p in sorted(glob.glob(f"{work}/cells-*.bin"))]
assert len(references) == 400, f"{len(references)} reference frames"
lines = open(f"{work}/pane.txt", encoding='utf-8', errors='replace').read().split('\n')
pane = ''.join((lines[row] if row < len(lines) else '').ljust(80)[:80] for row in range(50))

steady = [i for i in range(4000) if len({r[i] for r in references}) == 1]
bad = [i for i in range(4000) if pane[i] not in {r[i] for r in references}]
blank = sum(1 for c in pane if c in ' \u2588')
print(f"{len(steady)} cells independent of the clock, "
      f"{4000 - len(steady)} follow the highlight pulse; {len(bad)} cells differ")
for i in bad[:20]:
    print(f"  row {i // 80} column {i % 80}: pane {pane[i]!r}, expected one of "
          f"{sorted({r[i] for r in references})}")
if blank == 4000:
    print("FAIL: the pane shows no picture")
    sys.exit(1)
sys.exit(1 if bad else 0)
PY
echo "wine smoke test passed: exit status 0 and the pane shows frame $frames"
