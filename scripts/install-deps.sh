#!/bin/sh
# Installs the Debian packages that building and testing Vantrel needs, only
# those that are missing, without asking questions. Uses sudo when not root.
# When another program holds the package manager's lock, waits for it (up to
# 5 minutes, saying so) instead of failing.
#
#   scripts/install-deps.sh            build and run the tests
#   scripts/install-deps.sh windows    also cross-build lines.exe and run it under Wine
#   scripts/install-deps.sh docs       also make the README's xterm screenshots
#
# "windows" also installs wine32:i386, which Wine needs to run the 32-bit
# build. On an amd64 system this changes the package manager's architectures:
# it adds i386 (dpkg --add-architecture i386), so that apt fetches the i386
# package lists from then on. Where this machine cannot run 32-bit x86 programs
# it is not installed, and where it cannot be installed the architecture is
# taken back off; either way the script says so on one line and still exits 0,
# since everything but the 32-bit run under Wine works without it.
set -eu

# libvterm-dev and tmux test the terminal host (tmux also hosts the Wine smoke
# test); clang builds the clang preset and, with libclang-rt-dev, the fuzzers
# (clang uses g++'s C++ standard library). libjpeg62-turbo-dev and
# libwebp-dev (with libpng-dev) read pictures for vantrel-view.
packages="cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev libpng-dev libjpeg62-turbo-dev libwebp-dev libvterm-dev tmux clang libclang-rt-dev"
wine32=""
for group in "$@"; do
    case "$group" in
        windows)
            packages="$packages binutils g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 python3"
            wine32="wine32:i386"
            ;;
        docs) packages="$packages xvfb xterm imagemagick fonts-dejavu-core x11-utils" ;;
        *) echo "install-deps: unknown group '$group' (known: windows, docs)" >&2; exit 2 ;;
    esac
done

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=""
for p in $packages; do
    is_installed "$p" || missing="$missing $p"
done

if [ -n "$wine32" ] && is_installed "$wine32"; then
    wine32=""
fi
if [ -n "$wine32" ] && ! "$(dirname "$0")/can-run-i386.sh"; then
    echo "install-deps: not installing $wine32: this machine cannot run 32-bit x86 programs"
    wine32=""
fi

if [ -z "$missing" ] && [ -z "$wine32" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
elif [ -z "$missing" ]; then
    echo "install-deps: not installing $wine32: run as root or install sudo"
    exit 0
else
    echo "install-deps: missing packages:$missing (run as root or install sudo)" >&2
    exit 1
fi

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

# Runs apt-get with these arguments. While another program holds one of the
# package manager's locks, says so once and tries again every 5 seconds, for
# 5 minutes at most. (apt-get's own DPkg::Lock::Timeout covers only the lock
# that "install" takes, not the package lists' lock that "update" takes.)
apt_get() {
    waited=0
    while :; do
        status=0
        $as_root env LC_ALL=C DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>"$errors" || status=$?
        if [ "$status" -eq 0 ] || [ "$waited" -ge 300 ] ||
            ! grep -q -e "Could not get lock" -e "Unable to acquire the dpkg frontend lock" "$errors"; then
            cat "$errors" >&2
            return "$status"
        fi
        if [ "$waited" -eq 0 ]; then
            holder=$(sed -n 's/.*It is held by \(process [0-9]* ([^)]*)\).*/\1/p' "$errors" | head -n 1)
            echo "install-deps: the package manager is locked by ${holder:-another program}; waiting up to 5 minutes"
        fi
        sleep 5
        waited=$((waited + 5))
    done
}

if [ -n "$missing" ]; then
    echo "install-deps: installing$missing"
    apt_get update -qq
    apt_get install -y -qq --no-install-recommends $missing
fi

if [ -n "$wine32" ]; then
    added_i386=""
    if [ "$(dpkg --print-architecture)" != i386 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "install-deps: adding the i386 architecture to the package manager (dpkg --add-architecture i386) for $wine32"
        $as_root dpkg --add-architecture i386
        added_i386=yes
    fi
    echo "install-deps: installing $wine32"
    # The package lists are fresh unless nothing else was missing or i386 is new.
    if ! { { [ -n "$missing" ] && [ -z "$added_i386" ] || apt_get update -qq; } &&
           apt_get install -y -qq --no-install-recommends "$wine32"; }; then
        if [ -n "$added_i386" ]; then
            # Leaves nothing half-done: without i386 packages to fetch, a later
            # "apt-get update" must not fail on the i386 lists.
            $as_root dpkg --remove-architecture i386 2>/dev/null || true
        fi
        echo "install-deps: could not install $wine32; only the 64-bit Windows build will run under Wine"
    fi
fi
