#!/bin/sh
# Builds one libFuzzer target with clang and runs it for a bounded time
# (default 60 seconds): fuzz.sh TARGET [SECONDS]
#   input-parser   the terminal input parser
#   input-script   the headless host's input script parser
#   cell-frames    the cell frame reader
# Needs clang with its runtime libraries (Debian: clang, libclang-rt-dev).
set -eu
cd "$(dirname "$0")/.."
target="${1:-}"
seconds="${2:-60}"
case "$target" in
    input-parser | input-script | cell-frames) ;;
    *)
        echo "usage: fuzz.sh input-parser|input-script|cell-frames [SECONDS]" >&2
        exit 2
        ;;
esac
name="fuzz_$(echo "$target" | tr - _)"
out="build/fuzz/$target"
mkdir -p "$out/corpus"

# Per target: its sources, the largest input worth trying, and seeds.
case "$target" in
    input-parser)
        sources="terminal/input_parser.cpp console/terminal/input_state.cpp"
        max_len=512
        # The kinds of input a terminal sends.
        printf '\000\022\033[<0;10;5M\033[<0;10;5m' >"$out/corpus/mouse"
        printf '\000\001\033\050\001\033' >"$out/corpus/escape"
        printf '\000\014\033[A\033OP\033]0;x\007' >"$out/corpus/keys"
        printf '\000\006\033[M !!' >"$out/corpus/x10"
        ;;
    input-script)
        sources="console/headless/input_script.cpp"
        max_len=9000  # room for a line over the length limit
        cp tests/golden/flight.input "$out/corpus/flight"
        printf '# c\n1 -5 2147483647 LRM\r\n\n9 0 0 -' >"$out/corpus/edges"
        ;;
    cell-frames)
        sources="render/cell_frames.cpp"
        max_len=20000  # two frames and part of a third
        head -c 17000 tests/terminal_flight.cells >"$out/corpus/flight"
        ;;
esac

# shellcheck disable=SC2086 # $sources is a list
clang++ -std=c++20 -g -O1 -I. -Irender/include -Iterminal/include -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "tests/fuzz/$name.cpp" $sources -o "$out/$name"

status=0
"$out/$name" -artifact_prefix="$out/" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 "$out/corpus" \
    >"$out/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    cat "$out/fuzz.log"
    echo "fuzz.sh $target: the fuzzer failed (status $status); the input that did it is in the log above" >&2
    exit "$status"
fi
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$out/fuzz.log"
