#!/bin/sh
# Builds one libFuzzer target with clang and runs it for a bounded time
# (default 60 seconds): fuzz.sh TARGET [SECONDS]
#   input-parser   the terminal input parser
#   input-script   the headless host's input script parser
#   cell-frames    the cell frame reader
#   png-picture    the PNG reader of vantrel-view
#   jpeg-picture   the JPEG reader of vantrel-view
# Needs clang with its runtime libraries (Debian: clang, libclang-rt-dev), and
# for the pictures libpng and libjpeg-turbo.
set -eu
cd "$(dirname "$0")/.."
target="${1:-}"
seconds="${2:-60}"
case "$target" in
    input-parser | input-script | cell-frames | png-picture | jpeg-picture) ;;
    *)
        echo "usage: fuzz.sh input-parser|input-script|cell-frames|png-picture|jpeg-picture [SECONDS]" >&2
        exit 2
        ;;
esac
name="fuzz_$(echo "$target" | tr - _)"
out="build/fuzz/$target"
mkdir -p "$out/corpus"

# Per target: its sources, the largest input worth trying, and seeds.
case "$target" in
    input-parser)
        sources="terminal/input_parser.cpp console/posix/input_state.cpp"
        max_len=512
        # The kinds of input a terminal sends.
        printf '\000\022\033[<0;10;5M\033[<0;10;5m' >"$out/corpus/mouse"
        printf '\000\001\033\050\001\033' >"$out/corpus/escape"
        printf '\000\014\033[A\033OP\033]0;x\007' >"$out/corpus/keys"
        printf '\000\040\033[1;5C\033[15;2~\033O5A\033[Z\033\033[B\033x\001' >"$out/corpus/modified-keys"
        printf '\000\006\033[M !!' >"$out/corpus/x10"
        ;;
    input-script)
        sources="console/headless/input_script.cpp"
        max_len=9000  # room for a line over the length limit
        cp tests/golden/flight.input "$out/corpus/flight"
        printf '# c\n1 -5 2147483647 LRM\r\n\n9 0 0 -' >"$out/corpus/edges"
        ;;
    cell-frames)
        sources="tools/cell_frames.cpp"
        max_len=20000  # two frames and part of a third
        head -c 17000 tests/terminal_flight.cells >"$out/corpus/flight"
        ;;
    png-picture | jpeg-picture)
        sources="tools/view/picture_file.cpp tools/view/png_picture.cpp tools/view/jpeg_picture.cpp"
        libraries="-lpng -ljpeg"
        max_len=4096
        # Small pictures of each kind, made by the libraries themselves.
        clang++ -std=c++20 -O1 tests/fuzz/picture_seeds.cpp -lpng -ljpeg -o "$out/picture_seeds"
        "$out/picture_seeds" "$out/corpus"
        ;;
esac

# shellcheck disable=SC2086 # $sources and $libraries are lists
clang++ -std=c++20 -g -O1 -I. -Irender/include -Iterminal/include -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "tests/fuzz/$name.cpp" $sources ${libraries:-} -o "$out/$name"

status=0
"$out/$name" -artifact_prefix="$out/" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 "$out/corpus" \
    >"$out/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    cat "$out/fuzz.log"
    echo "fuzz.sh $target: the fuzzer failed (status $status); the input that did it is in the log above" >&2
    exit "$status"
fi
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$out/fuzz.log"
