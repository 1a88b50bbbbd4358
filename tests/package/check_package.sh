#!/bin/bash
# The toolkit as another program sees it, from a build directory:
#   tests/package/check_package.sh BUILD_DIR
# 1. `cmake --install` into a fresh prefix; every installed header compiles
#    on its own, with nothing but the prefix on the include path.
# 2. The examples build against the prefix twice, through find_package(Vantrel)
#    and through pkg-config: show_png, a consumer of Vantrel::picture and
#    Vantrel::terminal, shows a PNG alike in both builds, and plasma refuses
#    to run without a terminal.
# 3. The source tree added with add_subdirectory, every optional part off,
#    builds the examples too, without the project's warning flags.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null
headers=("$prefix"/include/vantrel/*.h)
for header in "${headers[@]}"; do
    echo "#include <vantrel/$(basename "$header")>" |
        c++ -std=c++20 -Wall -Wextra -Wpedantic -Werror -fsyntax-only -I"$prefix/include" -x c++ - ||
        { echo "FAIL: $header does not compile on its own"; exit 1; }
done
echo "${#headers[@]} installed headers compile on their own"

cmake -S examples -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
# shellcheck disable=SC2046 # the flags are words
c++ examples/show_png.cpp $(pkg-config --cflags --libs vantrel libpng) -o "$work/show_png_pc"
# shellcheck disable=SC2046
c++ examples/plasma.cpp $(pkg-config --cflags --libs vantrel) -o "$work/plasma_pc"
for plasma in "$work/cmake/plasma" "$work/plasma_pc"; do
    status=0
    "$plasma" </dev/null >"$work/plasma.out" 2>"$work/plasma.err" || status=$?
    if [ "$status" -ne 1 ] || [ "$(wc -l <"$work/plasma.err")" -ne 1 ] || [ -s "$work/plasma.out" ]; then
        echo "FAIL: $plasma without a terminal: status $status, stderr: $(cat "$work/plasma.err")"
        exit 1
    fi
done

mkdir "$work/sub"
cat >"$work/sub/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(consumer LANGUAGES CXX)
add_subdirectory("$PWD" vantrel)
find_package(PNG REQUIRED)
add_executable(show_png "$PWD/examples/show_png.cpp")
target_link_libraries(show_png PRIVATE Vantrel::picture Vantrel::terminal PNG::PNG)
add_executable(plasma "$PWD/examples/plasma.cpp")
target_link_libraries(plasma PRIVATE Vantrel::terminal)
CMAKE
cmake -S "$work/sub" -B "$work/sub/build" -G Ninja >/dev/null
if grep -q -- '-Werror' "$work/sub/build/build.ninja"; then
    echo "FAIL: the project's warning flags reach a consumer of add_subdirectory"
    exit 1
fi
cmake --build "$work/sub/build" >/dev/null

picture=docs/demo.png
"$work/cmake/show_png" "$picture" 60 >"$work/cmake.txt"
"$work/show_png_pc" "$picture" 60 >"$work/pc.txt"
"$work/sub/build/show_png" "$picture" 60 >"$work/sub.txt"
lines=$(wc -l <"$work/cmake.txt")
if [ "$lines" -lt 10 ] || ! cmp -s "$work/cmake.txt" "$work/pc.txt" || ! cmp -s "$work/cmake.txt" "$work/sub.txt"; then
    echo "FAIL: the three builds of show_png do not show the picture alike ($lines lines)"
    exit 1
fi
echo "show_png built through find_package, pkg-config and add_subdirectory: $lines rows each, the same bytes; plasma too"
