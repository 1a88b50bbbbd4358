#!/bin/sh
# Remakes the seed corpus of the picture fuzz targets, tests/fuzz/corpus/png,
# jpeg and webp, with tests/fuzz/picture_seeds.cpp (libpng, libjpeg-turbo and
# libwebp write the files). The files are committed; run this after changing
# the generator.
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"${CXX:-c++}" -std=c++20 -O1 -I. tests/fuzz/picture_seeds.cpp -lpng -ljpeg -lwebp -o "$work/picture_seeds"
rm -rf tests/fuzz/corpus/png tests/fuzz/corpus/jpeg tests/fuzz/corpus/webp
"$work/picture_seeds" tests/fuzz/corpus
for kind in png jpeg webp; do echo "$kind: $(cat tests/fuzz/corpus/$kind/* | wc -c) bytes"; done
