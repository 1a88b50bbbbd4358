#!/bin/sh
# Builds the terminal input parser's libFuzzer target with clang and runs it
# for a bounded time (default 60 seconds): fuzz-input-parser.sh [SECONDS]
# Needs clang with its runtime libraries (Debian: clang, libclang-rt-dev).
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
out=build/fuzz
mkdir -p "$out/corpus"

clang++ -std=c++20 -g -O1 -I. -Iterminal/include -Irender/include -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    tests/fuzz/fuzz_input_parser.cpp terminal/input_parser.cpp console/terminal/input_state.cpp \
    -o "$out/fuzz_input_parser"

# Seeds: the kinds of input a terminal sends.
printf '\000\022\033[<0;10;5M\033[<0;10;5m' >"$out/corpus/mouse"
printf '\000\001\033\050\001\033' >"$out/corpus/escape"
printf '\000\014\033[A\033OP\033]0;x\007' >"$out/corpus/keys"
printf '\000\006\033[M !!' >"$out/corpus/x10"

status=0
"$out/fuzz_input_parser" -max_total_time="$seconds" -max_len=512 -print_final_stats=1 "$out/corpus" \
    >"$out/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    cat "$out/fuzz.log"
    echo "fuzz-input-parser: the fuzzer failed (status $status); the input that did it is in the log above" >&2
    exit "$status"
fi
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$out/fuzz.log"
