// Every numeric option limit of lines-capture and vantrel-view (and
// vantrel-quality, which reads the same options), at its boundary: the
// limit itself accepted, one past it refused.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/capture_options.h"
#include "tools/view/view_options.h"

namespace {

enum class Tool { capture, view };

struct Limit {
    Tool tool;
    std::vector<const char*> arguments;
    bool accepted;
};

std::string parse(const Limit& limit) {
    std::vector<const char*> argv{"program"};
    argv.insert(argv.end(), limit.arguments.begin(), limit.arguments.end());
    const int argc = static_cast<int>(argv.size());
    if (limit.tool == Tool::capture) {
        CaptureOptions options;
        return parseCaptureOptions(argc, argv.data(), options);
    }
    vantrel::ViewOptions options;
    return vantrel::parseViewOptions(argc, argv.data(), options);
}

TEST(OptionLimits, EachLimitAcceptedAndOnePastItRefused) {
    const Tool capture = Tool::capture, view = Tool::view;
    const Limit limits[] = {
        {capture, {"--frames", "1"}, true},
        {capture, {"--frames", "0"}, false},
        {capture, {"--frames", "4294967295"}, true},
        {capture, {"--frames", "4294967296"}, false},
        {capture, {"--start-tick", "0"}, true},
        {capture, {"--start-tick", "-1"}, false},
        {capture, {"--start-tick", "4294967295"}, true},
        {capture, {"--start-tick", "4294967296"}, false},

        {view, {"--size", "1x1", "a.png"}, true},
        {view, {"--size", "0x1", "a.png"}, false},
        {view, {"--size", "1x0", "a.png"}, false},
        {view, {"--size", "1000x1000", "a.png"}, true},
        {view, {"--size", "1001x1000", "a.png"}, false},
        {view, {"--size", "1000x1001", "a.png"}, false},
        {view, {"--cell-aspect", "0.25", "a.png"}, true},
        {view, {"--cell-aspect", "0.2499", "a.png"}, false},
        {view, {"--cell-aspect", "8", "a.png"}, true},
        {view, {"--cell-aspect", "8.001", "a.png"}, false},
        {view, {"--fit", "window", "a.png"}, true},
        {view, {"--fit", "width", "a.png"}, true},
        {view, {"--fit", "height", "a.png"}, false},
        {view, {"--fit", "width", "--size", "80x24", "a.png"}, false},
        {view, {"--fit", "width", "--stretch", "a.png"}, false},
        {view, {"--raw", "1x1", "--fit", "window"}, false},
        {view, {"--background", "ffffff", "a.png"}, true},
        {view, {"--background=#00aAfF", "a.png"}, true},
        {view, {"--background", "#fffff", "a.png"}, false},
        {view, {"--background", "fffffff", "a.png"}, false},
        {view, {"--background", "gggggg", "a.png"}, false},
        {view, {"--background", "##ffffff", "a.png"}, false},
        {view, {"--raw", "1x1"}, true},
        {view, {"--raw", "0x1"}, false},
        {view, {"--raw", "16384x8192"}, true},  // 2^27 pixels, the most in all
        {view, {"--raw", "8192x16384"}, true},
        {view, {"--raw", "16384x8193"}, false},
        {view, {"--raw", "8193x16384"}, false},
        {view, {"--raw", "16385x1"}, false},
        {view, {"--raw", "1x16385"}, false},
        {view, {"--raw", "1x1", "--fps", "1"}, true},
        {view, {"--raw", "1x1", "--fps", "0"}, false},
        {view, {"--raw", "1x1", "--fps", "100"}, true},
        {view, {"--raw", "1x1", "--fps", "101"}, false},
        // The mosaic's symbol sets and colour modes, and where they apply.
        {view, {"--symbols", "half,quad,eighths,sextant,shade", "a.png"}, true},
        {view, {"--symbols", "sextant", "a.png"}, true},
        {view, {"--symbols", "", "a.png"}, false},
        {view, {"--symbols", "quad,", "a.png"}, false},
        {view, {"--symbols", "quads", "a.png"}, false},
        {view, {"--symbols", "half", "--renderer", "shade", "a.png"}, false},
        {view, {"--symbols", "half", "--renderer", "blocks", "a.png"}, false},
        {view, {"--renderer", "mosaic", "--block", "2", "a.png"}, false},
        {view, {"--renderer", "blocks", "--dither", "a.png"}, true},
        {view, {"--colours", "16/8", "a.png"}, true},
        {view, {"--colours", "8/16", "a.png"}, false},
        {view, {"--colours", "16/", "a.png"}, false},
    };
    for (const Limit& limit : limits) {
        std::string shown;
        for (const char* argument : limit.arguments) shown += std::string(" ") + argument;
        const std::string error = parse(limit);
        EXPECT_EQ(error.empty(), limit.accepted) << (limit.tool == capture ? "lines-capture" : "vantrel-view")
                                                 << shown << ": " << error;
    }
}

// What the renderer, colour and symbol options read as.
TEST(OptionLimits, MosaicChoicesReadAsGiven) {
    using vantrel::MosaicSymbols;
    const struct {
        std::vector<const char*> arguments;
        vantrel::RendererKind renderer;
        vantrel::ColourChoice colours;
        std::optional<MosaicSymbols> symbols;
    } rows[] = {
        {{"a.png"}, vantrel::RendererKind::mosaic, vantrel::ColourChoice::automatic, std::nullopt},
        {{"--colours=16/8", "a.png"}, vantrel::RendererKind::mosaic, vantrel::ColourChoice::ansi16Over8, std::nullopt},
        {{"--renderer", "blocks", "a.png"}, vantrel::RendererKind::blocks, vantrel::ColourChoice::automatic,
         std::nullopt},
        {{"--symbols", "shade,sextant", "--colours", "256", "a.png"}, vantrel::RendererKind::mosaic,
         vantrel::ColourChoice::ansi256, MosaicSymbols::sextant | MosaicSymbols::shade},
        {{"--symbols=quad,eighths,half", "a.png"}, vantrel::RendererKind::mosaic, vantrel::ColourChoice::automatic,
         MosaicSymbols::half | MosaicSymbols::quad | MosaicSymbols::eighths},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv{"program"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        vantrel::ViewOptions options;
        ASSERT_EQ(vantrel::parseViewOptions(static_cast<int>(argv.size()), argv.data(), options), "");
        EXPECT_EQ(options.renderer, row.renderer) << argv[1];
        EXPECT_EQ(options.colours, row.colours) << argv[1];
        EXPECT_EQ(options.symbols, row.symbols) << argv[1];
    }
}

}  // namespace
