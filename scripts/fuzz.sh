#!/bin/sh
# Builds one libFuzzer target with clang and runs it for a bounded time
# (default 60 seconds): fuzz.sh TARGET [SECONDS]
#   input-parser   the terminal input parser
#   terminal-replies  the terminal exchange's reply parser
#   input-script   the headless host's input script parser
#   cell-frames    the cell frame reader
#   png-picture    the PNG reader of vantrel-view
#   jpeg-picture   the JPEG reader of vantrel-view, and its Exif parser
#   webp-picture   the WebP reader of vantrel-view
#   printed-cells  vantrel-quality's reader of printed output
#   video          the video and animation decoders of vantrel-view
# Needs clang with its runtime libraries (Debian: clang, libclang-rt-dev), for
# the pictures libpng, libjpeg-turbo and libwebp, and for video FFmpeg's
# libraries. The picture targets start from the small files of every kind in
# tests/fuzz/corpus; the video target from clips the ffmpeg program makes.
set -eu
cd "$(dirname "$0")/.."
target="${1:-}"
seconds="${2:-60}"
case "$target" in
    input-parser | terminal-replies | input-script | cell-frames | png-picture | jpeg-picture | webp-picture | printed-cells | video) ;;
    *)
        echo "usage: fuzz.sh input-parser|terminal-replies|input-script|cell-frames|png-picture|jpeg-picture|webp-picture|printed-cells|video [SECONDS]" >&2
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
    terminal-replies)
        sources="terminal/terminal_replies.cpp"
        max_len=1024
        # Answers as terminals give them, whole and cut.
        printf '\030\033]4;1;rgb:cdcd/0000/0000\033\\\033[?64;1c' >"$out/corpus/colour"
        printf '\017\033]11;rgba:f/f/f/f\007\010\033[6;20;10t' >"$out/corpus/sizes"
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
    png-picture | jpeg-picture | webp-picture)
        sources="tools/view/picture_file.cpp tools/view/png_picture.cpp tools/view/jpeg_picture.cpp
                 tools/view/webp_picture.cpp tools/view/exif_orientation.cpp tools/view/alpha_blend.cpp
                 render/linear_light.cpp"
        libraries="-lpng -ljpeg -lwebp"
        max_len=4096
        # Small valid files of every kind (scripts/make-picture-seeds.sh makes them).
        cp "tests/fuzz/corpus/${target%-picture}"/* "$out/corpus/"
        ;;
    printed-cells)
        sources="tools/view/printed_cells.cpp render/colour_mode.cpp render/palette.cpp render/vga_colours.cpp"
        max_len=4096
        head -c 3000 tests/quality_calibration/shade16.txt >"$out/corpus/shade16"
        head -c 3000 tests/quality_calibration/symbols24.txt >"$out/corpus/symbols24"
        printf 'a\033[1;31;7mb\033[2bc\033[3C\t\r\033]0;t\007\033P\033\\\033(B\033[38;5;99;48;2;1;2;3m\377\n' >"$out/corpus/moves"
        ;;
    video)
        sources="tools/view/media/byte_reader.cpp tools/view/media/gif_facts.cpp tools/view/media/media_kind.cpp
                 tools/view/media/media_open.cpp tools/view/media/playback_timeline.cpp
                 tools/view/media/ffmpeg_source.cpp tools/view/media/ffmpeg_linked.cpp tools/view/media/webp_animation.cpp"
        libraries="-DVANTREL_HAS_FFMPEG=1 -DVANTREL_HAS_WEBP_ANIMATION=1
                   $(pkg-config --cflags --libs libavformat libavcodec libavutil libswscale libwebpdemux libwebp)"
        max_len=8192
        # A few tiny clips in the common containers and codecs, and animations.
        if command -v ffmpeg >/dev/null 2>&1; then
            for seed in mp4:libx264 webm:libvpx-vp9 mkv:mpeg4 gif:gif webp:libwebp_anim avi:mjpeg; do
                ffmpeg -loglevel error -nostdin -y -f lavfi -i testsrc2=size=16x16:rate=5 -t 0.6 \
                    -c:v "${seed#*:}" "$out/corpus/seed.${seed%:*}" || true
            done
        fi
        # FFmpeg's libraries are not instrumented: an input that takes too
        # long or too much memory in them is stopped as a finding.
        limit_options="-timeout=10 -rss_limit_mb=2048"
        ;;
esac

# shellcheck disable=SC2086 # $sources and $libraries are lists
clang++ -std=c++20 -g -O1 -I. -Irender/include -Iterminal/include -Ipicture/include -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "tests/fuzz/$name.cpp" $sources ${libraries:-} -o "$out/$name"

status=0
"$out/$name" ${limit_options:-} -artifact_prefix="$out/" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 "$out/corpus" \
    >"$out/fuzz.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    cat "$out/fuzz.log"
    echo "fuzz.sh $target: the fuzzer failed (status $status); the input that did it is in the log above" >&2
    exit "$status"
fi
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$out/fuzz.log"
