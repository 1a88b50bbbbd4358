#!/bin/sh
# The tools installed like any program: `cmake --install` puts vantrel-view
# and vantrel-quality in BINDIR and their manual pages in MANDIR/man1, and
# the installed viewer runs and gives the package version.
# Usage: installed_tools.sh BUILD-DIRECTORY BINDIR MANDIR VERSION
set -eu
build="$1" bindir="$2" mandir="$3" version="$4"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in "$bindir/vantrel-view" "$bindir/vantrel-quality" "$mandir/man1/vantrel-view.1" "$mandir/man1/vantrel-quality.1"; do
    [ -f "$prefix/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
for tool in vantrel-view vantrel-quality; do
    shown=$("$prefix/$bindir/$tool" --version)
    [ "$shown" = "$tool $version" ] || { echo "installed $tool --version gives '$shown'" >&2; exit 1; }
done
