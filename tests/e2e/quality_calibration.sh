#!/bin/sh
# End to end: vantrel-quality against the picture judge's calibration files
# (a 320x200 picture and four outputs printed for it at 80x50: half blocks
# in 24-bit and 256 colours, shades in 16 colours, random blocks and sextants
# in random colours). Every figure within 0.01 of the judge's own. Then the
# viewer path against the printed path: what vantrel-quality judges for the
# viewer's cells equals what it judges for the viewer's printed output. Then
# bad arguments: one line on stderr and status 2.
# Usage: quality_calibration.sh VANTREL-QUALITY VANTREL-VIEW DATA-DIR
set -u
quality="$1"
view="$2"
data="$3"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The four figures of a line of vantrel-quality's output, space-separated.
figures() {
    sed -n 's/.*cell error \([0-9.]*\), 2x2 error \([0-9.]*\), S-CIELAB \([0-9.]*\), structure \([0-9.]*\)$/\1 \2 \3 \4/p' "$1"
}

# Output, palette, then the judge's cell, 2x2, S-CIELAB and structure.
while read -r output palette cell blocks scielab structure; do
    if ! "$quality" --palette "$palette" --cells "$data/$output" "$data/picture.png" >"$dir/out" 2>"$dir/err"; then
        fail "$output under $palette: status $? ($(cat "$dir/err"))"
        continue
    fi
    got=$(figures "$dir/out")
    echo "$output $palette: judge $cell $blocks $scielab $structure, got $got"
    echo "$got $cell $blocks $scielab $structure" | awk '{
        for (i = 1; i <= 4; ++i) { d = $i - $(i + 4); if (NF != 8 || d > 0.01 || d < -0.01) exit 1 }
    }' || fail "$output under $palette: more than 0.01 from the judge"
done <<'TABLE'
blocks24.txt vga 0.09 0.07 2.156 0.899
blocks256.txt vga 5.09 4.21 6.361 0.823
shade16.txt vga 5.74 2.99 6.682 0.702
symbols24.txt vga 42.83 35.44 43.000 0.154
blocks24.txt xterm 0.09 0.07 2.156 0.899
blocks256.txt xterm 5.09 4.21 6.361 0.823
shade16.txt xterm 9.09 7.54 10.596 0.696
symbols24.txt xterm 42.83 35.44 43.000 0.154
TABLE

# The viewer's cells, judged directly and as printed (the viewer told the
# palette its cells are judged under, as a terminal's answer would tell it).
while read -r palette options; do
    # shellcheck disable=SC2086 # the options are a list
    "$view" --palette "$palette" --size 80x50 --stretch $options "$data/picture.png" >"$dir/printed" ||
        { fail "vantrel-view $options: status $?"; continue; }
    # shellcheck disable=SC2086
    "$quality" --palette "$palette" --size 80x50 --stretch $options "$data/picture.png" >"$dir/direct" &&
        "$quality" --palette "$palette" --cells "$dir/printed" "$data/picture.png" >"$dir/read" ||
        { fail "vantrel-quality $options: status $?"; continue; }
    [ -n "$(figures "$dir/direct")" ] && [ "$(figures "$dir/direct")" = "$(figures "$dir/read")" ] ||
        fail "$options under $palette: judged $(figures "$dir/direct") directly, $(figures "$dir/read") as printed"
done <<'CASES'
vga --renderer blocks --colours truecolor
xterm --renderer blocks --colours 256
xterm --renderer shade --colours 16
vga --renderer glyph --colours 16
vga --colours truecolor
vga --colours 256
vga --colours 16
xterm --renderer mosaic --colours 16
vga --colours 16/8
vga --symbols half,quad,eighths,sextant --colours truecolor
xterm --symbols sextant,shade --colours 256 --dither
CASES

printf 'x' >"$dir/not-cells"
printf '\033[2J' >"$dir/empty"
while read -r args; do
    # shellcheck disable=SC2086 # the arguments are a list
    "$quality" $args >"$dir/out" 2>"$dir/err"
    status=$?
    [ "$status" -eq 2 ] && [ "$(wc -l <"$dir/err")" -eq 1 ] && [ ! -s "$dir/out" ] ||
        fail "'$args': status $status, stderr: $(cat "$dir/err")"
done <<ARGS
--cells
--palette vga,xterm --cells $data/blocks24.txt $data/picture.png
--cells $data/blocks24.txt $data/picture.png $data/picture.png
--cells $data/blocks24.txt --size 80x50 $data/picture.png
--cells $dir/missing.txt $data/picture.png
--cells $dir/empty $data/picture.png
--cells $data/blocks24.txt $dir/not-cells
ARGS
"$quality" --cells "$data/shade16.txt" --help >"$dir/out" && grep -q -- '--palette' "$dir/out" || fail "--help"

[ "$failures" -eq 0 ] || exit 1
echo "all checks passed"
