#!/bin/sh
# The tools installed like any program: `cmake --install` puts vantrel-view
# and vantrel-quality in BINDIR and their manual pages in MANDIR/man1, and
# the installed viewer runs and gives the package version. With video
# support, the FFmpeg module goes to LIBDIR/vantrel: the installed viewer,
# moved elsewhere with its tree, still finds it for a GIF and, once it is
# gone, says so in one line (status 2) yet still shows pictures.
# Usage: installed_tools.sh BUILD-DIRECTORY BINDIR MANDIR VERSION LIBDIR MODULE
#   MODULE: the FFmpeg module's file name, empty in a build without video
set -eu
build="$1" bindir="$2" mandir="$3" version="$4" libdir="$5" module="${6:-}"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix/installed" >/dev/null
tree="$prefix/installed"
for file in "$bindir/vantrel-view" "$bindir/vantrel-quality" "$mandir/man1/vantrel-view.1" "$mandir/man1/vantrel-quality.1"; do
    [ -f "$tree/$file" ] || { echo "not installed: $file" >&2; exit 1; }
done
for tool in vantrel-view vantrel-quality; do
    shown=$("$tree/$bindir/$tool" --version)
    [ "$shown" = "$tool $version" ] || { echo "installed $tool --version gives '$shown'" >&2; exit 1; }
done
[ -n "$module" ] || exit 0

[ -f "$tree/$libdir/vantrel/$module" ] || { echo "not installed: $libdir/vantrel/$module" >&2; exit 1; }
mv "$tree" "$prefix/moved"
view="$prefix/moved/$bindir/vantrel-view"
# A GIF of one 2x1 frame, red then blue, printed inline: decoded by FFmpeg.
printf 'GIF89a\002\000\001\000\200\000\000\377\000\000\000\000\377,\000\000\000\000\002\000\001\000\000\002\002\104\012\000;' >"$prefix/two.gif"
"$view" --size 2x1 --colours truecolor --renderer blocks "$prefix/two.gif" >"$prefix/out" 2>"$prefix/err" ||
    { echo "the moved tree's viewer on a GIF: status $? $(cat "$prefix/err")" >&2; exit 1; }
grep -q '255;0;0' "$prefix/out" && grep -q '0;0;255' "$prefix/out" ||
    { echo "the moved tree's viewer on a GIF shows: $(od -c "$prefix/out")" >&2; exit 1; }
"$view" --png "$prefix/two.png" "$prefix/two.gif" || { echo "the moved tree's viewer: no PNG of the GIF" >&2; exit 1; }

rm "$prefix/moved/$libdir/vantrel/$module"
status=0
"$view" "$prefix/two.gif" >"$prefix/out" 2>"$prefix/err" || status=$?
expected="vantrel-view: '$prefix/two.gif': video support could not be loaded: $prefix/moved/$bindir/"
if [ "$status" -ne 2 ] || [ "$(wc -l <"$prefix/err")" -ne 1 ] || [ -s "$prefix/out" ] ||
    [ "$(head -c ${#expected} "$prefix/err")" != "$expected" ] || ! grep -q "$module: No such file" "$prefix/err"; then
    echo "without the module: status $status, stderr: $(cat "$prefix/err")" >&2
    exit 1
fi
# A picture needs no module.
"$view" --size 2x1 "$prefix/two.png" >"$prefix/out" && [ -s "$prefix/out" ] ||
    { echo "without the module, a PNG: status $?" >&2; exit 1; }
