#include "tools/view/view_options.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "vantrel/picture_fit.h"
#include "tools/option_text.h"
#include "tools/quoted_bytes.h"

namespace vantrel {

const char* const viewUsage =
    "Usage: vantrel-view [OPTION]... FILE...\n"
    "       vantrel-view --raw WxH [OPTION]... [FILE]\n"
    "Show PNG, JPEG and WebP pictures in the terminal, inline like text, one\n"
    "after another; play videos and animations (MP4, WebM, MKV, GIF, animated\n"
    "WebP, ...) full-screen; or, with --raw, video of raw RGB frames. FILE '-'\n"
    "is standard input. Files are told apart by their content.\n"
    "\n"
    "  --size COLSxROWS    fit into this many cells (default: the terminal's\n"
    "                      window, less one row for the prompt; a picture is\n"
    "                      not enlarged past one pixel a cell column unless\n"
    "                      --size is given)\n"
    "  --fit window|width  without --size, fit the whole window (the default)\n"
    "                      or its width only, for tall pictures to scroll\n"
    "  --stretch           fill the size exactly instead of keeping the aspect\n"
    "                      (the terminal's window without --size)\n"
    "  --cell-aspect R     cell height over width (default: the terminal's own\n"
    "                      cell shape when it tells it, else 2)\n"
    "  --background RRGGBB the colour transparent pixels are laid over, in hex,\n"
    "                      with or without '#' (default: the terminal's own\n"
    "                      background when it tells it, else black)\n"
    "  --renderer NAME     mosaic (default): a block symbol and two colours a\n"
    "                      cell, chosen to draw the picture's shapes; shade:\n"
    "                      16 console colours through shade characters; glyph:\n"
    "                      brightness by character shape; blocks: the mosaic\n"
    "                      with the half blocks only\n"
    "  --symbols SETS      the mosaic's symbols, comma-separated: half (the half\n"
    "                      blocks), quad (quadrants and side halves), eighths,\n"
    "                      sextant (2x3 blocks; not every font has them), shade\n"
    "                      (light, medium, dark shade); space and the full block\n"
    "                      always (default: half,quad,eighths, and shade at 16\n"
    "                      colours; at 16/8, the halves and shades)\n"
    "  --block 1|2|4       pixels a cell, across and down, for shade and glyph\n"
    "                      (default 1 for shade, 2 for glyph)\n"
    "  --colours MODE      16, 16/8, 256, truecolor or auto (default): auto reads\n"
    "                      COLORTERM and TERM when standard output is a\n"
    "                      terminal (16/8 when TERM is linux), and is 16\n"
    "                      otherwise; 16/8 is 16 foregrounds over the 8 dark\n"
    "                      backgrounds, as the Linux console shows them\n"
    "  --palette NAME      the terminal's sixteen colours, which cells are\n"
    "                      chosen by at 16 colours: vga, xterm, campbell\n"
    "                      (Windows), or sixteen RRGGBB hex colours,\n"
    "                      comma-separated, in ANSI order (black, red, green,\n"
    "                      yellow, blue, magenta, cyan, white, then bright);\n"
    "                      default: the terminal's answer, else vga\n"
    "  --dither            carry each cell's colour error on to its neighbours\n"
    "                      (the default for shade; the mosaic's at 16 and 256\n"
    "                      colours only)\n"
    "  --no-dither         map each cell on its own (the default for the\n"
    "                      others)\n"
    "  --raw WxH           read raw video, W x H pixels of 3 bytes (red, green,\n"
    "                      blue) a frame, from FILE or standard input; show it\n"
    "                      full-screen until it ends, or Escape, q or Ctrl-C\n"
    "  --fps N             raw video frames a second, 1 to 100 (default 30);\n"
    "                      when behind, frames are dropped to keep the time\n"
    "  --loop N            play an animation N times, 0 forever (default: as its\n"
    "                      file says)\n"
    "  --stats             at the end of a video, print the frames decoded,\n"
    "                      shown, dropped and late, and the largest lateness\n"
    "  --png OUT           write what would be shown as a PNG picture, 8x12\n"
    "                      pixels a cell, instead of showing it (one FILE; for\n"
    "                      video, its last frame); '-' is standard output\n"
    "  --help              show this text and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Keys while a video plays: Space pauses and resumes; Left and Right seek\n"
    "5 s, Up and Down 60 s; q, Escape or Ctrl-C quits.\n"
    "\n"
    "For example: ffmpeg -v quiet -nostdin -i in.mp4 -f rawvideo -pix_fmt rgb24 \\\n"
    "                    -vf scale=640:360 - |\n"
    "             vantrel-view --raw 640x360\n"
    "\n"
    "Exit status: 0 when everything was shown; 2 for a bad argument, or when a\n"
    "file could not be read or decoded (one line on stderr each; the other files\n"
    "are still shown, and so is what decoded of a damaged JPEG), or a video ends\n"
    "in the middle of a frame; 1 when the output cannot be written.\n";

namespace {

// "WxH" with both whole numbers in 1..limit.
bool parseExtent(std::string_view text, int limit, Extent& extent) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    return parseWhole(text.substr(0, x), extent.width) && parseWhole(text.substr(x + 1), extent.height) &&
           extent.width >= 1 && extent.height >= 1 && extent.width <= limit && extent.height <= limit;
}

// "RRGGBB" or "#RRGGBB", hex digits of either case.
bool parseHexColour(std::string_view text, Rgb& colour) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return false;
    std::uint8_t channels[3]{};
    for (std::size_t i = 0; i < 6; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return false;
        channels[i / 2] = static_cast<std::uint8_t>(channels[i / 2] * 16 + digit);
    }
    colour = Rgb{channels[0], channels[1], channels[2]};
    return true;
}

std::string needs(std::string_view name, const char* what, std::string_view value) {
    return std::string(name) + " needs " + what + ", not " + quotedInput(value);
}

}  // namespace

std::string parseViewOptions(int argc, const char* const* argv, ViewOptions& options) {
    bool seenBlock = false;
    std::vector<std::string_view> seen;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnd || arg == "-" || arg.substr(0, 1) != "-") {
            options.files.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg.substr(0, 2) != "--") return "unknown option " + quotedInput(arg) + " (see --help)";

        auto [name, value, hasValue] = splitOption(arg);
        const bool isFlag = name == "--stretch" || name == "--dither" || name == "--no-dither" || name == "--stats";
        const bool known = isFlag || name == "--size" || name == "--cell-aspect" || name == "--renderer" ||
                           name == "--block" || name == "--symbols" || name == "--colours" || name == "--colors" ||
                           name == "--palette" || name == "--raw" || name == "--fps" || name == "--png" ||
                           name == "--loop" || name == "--fit" || name == "--background";
        if (!known) return "unknown option " + quotedInput(name) + " (see --help)";
        const std::string_view key = name == "--colors" ? "--colours" : name == "--no-dither" ? "--dither" : name;
        for (std::string_view s : seen) {
            if (s == key) return std::string(key) + " is given more than once";
        }
        seen.push_back(key);
        if (isFlag) {
            if (hasValue) return std::string(name) + " takes no value";
            if (name == "--stretch") {
                options.stretch = true;
            } else if (name == "--stats") {
                options.stats = true;
            } else {
                options.dither = name == "--dither";
            }
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= argc) return std::string(name) + " needs a value";
            value = argv[++i];
        }

        if (name == "--size") {
            Extent e;
            if (!parseExtent(value, maxCellSide, e)) return needs(name, "COLSxROWS, each 1 to 1000", value);
            options.size = e;
        } else if (name == "--raw") {
            Extent e;
            if (!parseExtent(value, maxRawSide, e) || static_cast<long long>(e.width) * e.height > maxRawPixels) {
                return needs(name, "WxH in pixels, each 1 to 16384, at most 134217728 in all", value);
            }
            options.raw = e;
        } else if (name == "--cell-aspect") {
            double r = 0;
            if (!parseWhole(value, r) || !std::isfinite(r) || r < minCellAspect || r > maxCellAspect) {
                return needs(name, "a number from 0.25 to 8", value);
            }
            options.cellAspect = r;
            options.cellAspectGiven = true;
        } else if (name == "--fit") {
            if (value == "window") {
                options.fit = FitKind::window;
            } else if (value == "width") {
                options.fit = FitKind::width;
            } else {
                return needs(name, "window or width", value);
            }
        } else if (name == "--background") {
            Rgb colour;
            if (!parseHexColour(value, colour)) return needs(name, "a colour RRGGBB in hex", value);
            options.background = colour;
        } else if (name == "--renderer") {
            if (value == "mosaic") {
                options.renderer = RendererKind::mosaic;
            } else if (value == "shade") {
                options.renderer = RendererKind::shade;
            } else if (value == "glyph") {
                options.renderer = RendererKind::glyph;
            } else if (value == "blocks") {
                options.renderer = RendererKind::blocks;
            } else {
                return needs(name, "mosaic, shade, glyph or blocks", value);
            }
        } else if (name == "--block") {
            int b = 0;
            if (!parseWhole(value, b) || (b != 1 && b != 2 && b != 4)) return needs(name, "1, 2 or 4", value);
            options.block = static_cast<BlockSize>(b);
            seenBlock = true;
        } else if (name == "--symbols") {
            MosaicSymbols symbols{};
            if (!parseMosaicSymbols(value, symbols)) {
                return needs(name, "half, quad, eighths, sextant or shade, comma-separated", value);
            }
            options.symbols = symbols;
        } else if (name == "--colours" || name == "--colors") {
            if (value == "16") {
                options.colours = ColourChoice::ansi16;
            } else if (value == "16/8") {
                options.colours = ColourChoice::ansi16Over8;
            } else if (value == "256") {
                options.colours = ColourChoice::ansi256;
            } else if (value == "truecolor" || value == "24bit") {
                options.colours = ColourChoice::truecolor;
            } else if (value == "auto") {
                options.colours = ColourChoice::automatic;
            } else {
                return needs(name, "16, 16/8, 256, truecolor or auto", value);
            }
        } else if (name == "--palette") {
            Palette palette;
            if (!parsePalette(value, palette)) {
                return needs(name, "vga, xterm, campbell or sixteen RRGGBB colours separated by commas", value);
            }
            options.palette = palette;
        } else if (name == "--fps") {
            if (!parseWhole(value, options.fps) || options.fps < 1 || options.fps > maxFramesPerSecond) {
                return needs(name, "a whole number from 1 to 100", value);
            }
        } else if (name == "--loop") {
            int plays = 0;
            if (!parseWhole(value, plays) || plays < 0 || plays > maxLoops) {
                return needs(name, "a whole number from 0 (forever) to 1000000", value);
            }
            options.loop = plays;
        } else {  // --png
            if (value.empty()) return "--png needs a file name";
            options.pngPath = value;
        }
    }
    if (options.help || options.version) return {};

    const bool mosaic = options.renderer == RendererKind::mosaic || options.renderer == RendererKind::blocks;
    if (seenBlock && mosaic) return "--block applies to shade and glyph, not the mosaic";
    if (options.symbols && options.renderer != RendererKind::mosaic) {
        return "--symbols applies to the mosaic renderer (blocks is the mosaic with --symbols half)";
    }
    const bool fitGiven = std::find(seen.begin(), seen.end(), "--fit") != seen.end();
    if (fitGiven && options.size) return "--fit applies without --size";
    if (options.fit == FitKind::width && options.stretch) return "--stretch fills the window: not with --fit width";
    if (options.raw) {
        if (fitGiven) return "--fit applies to pictures, not --raw video";
        if (options.files.size() > 1) return "--raw reads one FILE (or standard input)";
    } else {
        if (options.fps != 0) return "--fps applies to --raw video";
        if (options.files.empty()) return "no FILE given (see --help)";
        if (!options.pngPath.empty() && options.files.size() > 1) return "--png writes one picture: give one FILE";
    }
    return {};
}

}  // namespace vantrel
