#!/bin/sh
# Installs the Debian packages that building and testing Vantrel needs, only
# those that are missing, without asking questions. Uses sudo when not root.
#
#   scripts/install-deps.sh            build and run the tests
#   scripts/install-deps.sh windows    also cross-build lines.exe and run it under Wine
set -eu

# libvterm-dev and tmux test the terminal host; clang and libclang-rt-dev
# build its input parser's fuzzer.
packages="cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev libpng-dev libvterm-dev tmux clang libclang-rt-dev"
for group in "$@"; do
    case "$group" in
        windows) packages="$packages binutils g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 tmux python3" ;;
        *) echo "install-deps: unknown group '$group' (known: windows)" >&2; exit 2 ;;
    esac
done

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
else
    echo "install-deps: missing packages:$missing (run as root or install sudo)" >&2
    exit 1
fi

echo "install-deps: installing$missing"
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
