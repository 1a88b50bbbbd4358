#!/bin/sh
# Screenshots of vantrel-view in a real xterm, for the README: the same
# photograph in 24-bit colour, in 256 colours and in 16 colours under xterm's
# own palette, each drawn by xterm in DejaVu Sans Mono on a virtual X display.
#
#   scripts/xterm-screenshots.sh PHOTO [OUTDIR] [VANTREL_VIEW]
#
# OUTDIR defaults to docs/, VANTREL_VIEW to build/default/tools/view/vantrel-view.
# Needs Xvfb, xterm, ImageMagick's import and the DejaVu fonts:
# `scripts/install-deps.sh docs` installs them.
set -eu

[ $# -ge 1 ] || { echo "usage: $0 PHOTO [OUTDIR] [VANTREL_VIEW]" >&2; exit 2; }
photo=$1
outdir=${2:-docs}
view=${3:-build/default/tools/view/vantrel-view}
[ -r "$photo" ] || { echo "$0: cannot read '$photo'" >&2; exit 2; }
[ -x "$view" ] || { echo "$0: no vantrel-view at '$view' (build it first)" >&2; exit 2; }
for tool in Xvfb xterm import convert xwininfo; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/install-deps.sh docs)" >&2; exit 2; }
done
photo=$(cd "$(dirname "$photo")" && pwd)/$(basename "$photo")
view=$(cd "$(dirname "$view")" && pwd)/$(basename "$view")
mkdir -p "$outdir"

display=:$(( 90 + $$ % 9 ))
Xvfb "$display" -screen 0 1400x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT INT TERM
sleep 1

# shot NAME COLORTERM TERM ARGS...: the picture shown in an 80x30 xterm, then
# the window's pixels written to OUTDIR/NAME.png, cropped to the picture (the
# black border and rows below it trimmed; the cursor is hidden).
shot() {
    name=$1 colorterm=$2 term=$3
    shift 3
    DISPLAY=$display xterm -fa 'DejaVu Sans Mono' -fs 10 -geometry 80x30 -bg black -fg '#c0c0c0' \
        -xrm 'XTerm*directColor: true' -T "vantrel-$name" -tn "$term" \
        -e env COLORTERM="$colorterm" sh -c 'printf "\033[?25l"; "$0" "$@"; sleep 60' "$view" "$@" "$photo" &
    term_pid=$!
    tries=0
    until DISPLAY=$display xwininfo -name "vantrel-$name" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ $tries -lt 50 ] || { echo "$0: xterm did not start" >&2; kill $term_pid; exit 1; }
        sleep 0.2
    done
    sleep 2
    DISPLAY=$display import -window "vantrel-$name" "$outdir/$name.png"
    convert "$outdir/$name.png" -bordercolor black -border 1 -trim +repage "$outdir/$name.png"
    kill $term_pid 2>/dev/null || true
    wait $term_pid 2>/dev/null || true
    echo "$outdir/$name.png"
}

shot xterm-24bit truecolor xterm-256color
shot xterm-256 "" xterm-256color --colours 256
shot xterm-16 "" xterm --colours 16 --palette xterm
