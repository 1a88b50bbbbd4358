// Colour modes: detection from the environment, and the colour a terminal
// is told for console colours and for any RGB colour, against a brute-force
// search of the palettes written here.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/terminal_expect.h"
#include "vantrel/terminal_colours.h"

using namespace vantrel;

namespace {

TEST(TerminalColours, DetectsTheModeFromColortermAndTerm) {
    struct Row {
        const char* colorterm;
        const char* term;
        ColourMode mode;
    };
    const Row rows[] = {
        {"truecolor", "xterm-256color", ColourMode::truecolor},
        {"24bit", nullptr, ColourMode::truecolor},
        {nullptr, "xterm-256color", ColourMode::ansi256},
        {"", "tmux-256color", ColourMode::ansi256},
        {"yes", "screen-256color-bce", ColourMode::ansi256},
        {"TRUECOLOR", "xterm", ColourMode::ansi16},
        {nullptr, "xterm", ColourMode::ansi16},
        {nullptr, nullptr, ColourMode::ansi16},
        {"truecolour", "linux", ColourMode::ansi16},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(detectColourMode(r.colorterm, r.term), r.mode)
            << (r.colorterm ? r.colorterm : "(unset)") << " / " << (r.term ? r.term : "(unset)");
    }
}

// Console colours as the libvterm tests expect them; in ansi16 and
// truecolor a terminal shows their exact VGA colour.
TEST(TerminalColours, ConsoleColoursInEveryMode) {
    for (ColourMode mode : {ColourMode::ansi16, ColourMode::ansi256, ColourMode::truecolor}) {
        for (int c = 0; c < 16; ++c) {
            bool indexed = false;
            const TerminalColour t = consoleColour(mode, c);
            EXPECT_EQ(t, (TerminalColour{mode, expectedColour(c, mode, indexed)})) << "console colour " << c;
            const Rgb shown = shownColour(t);
            const auto vga = static_cast<int>(expectedColour(c, ColourMode::truecolor, indexed));
            if (mode != ColourMode::ansi256) {
                EXPECT_EQ(shown.red << 16 | shown.green << 8 | shown.blue, vga);
            }
        }
    }
}

TEST(TerminalColours, NearestColourIsTheBruteForceNearest) {
    // Every grey, the corners and edges of the RGB cube, the levels of both
    // palettes and the ties between them, and random colours.
    std::vector<std::uint32_t> colours;
    for (std::uint32_t v = 0; v < 256; ++v) colours.push_back(v << 16 | v << 8 | v);
    const int levels[] = {0, 47, 48, 85, 95, 114, 115, 116, 135, 155, 170, 175, 195, 215, 235, 255};
    for (int r : levels)
        for (int g : levels)
            for (int b : levels) colours.push_back(static_cast<std::uint32_t>(r << 16 | g << 8 | b));
    std::mt19937 rng(12);
    for (int i = 0; i < 20000; ++i) colours.push_back(rng() & 0xFFFFFF);

    for (std::uint32_t c : colours) {
        const Rgb rgb{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                      static_cast<std::uint8_t>(c)};
        bool indexed = false;
        ASSERT_EQ(nearestColour(ColourMode::ansi16, rgb).value,
                  expectedColour(bruteNearestVga(c), ColourMode::ansi16, indexed))
            << std::hex << c;
        const TerminalColour x = nearestColour(ColourMode::ansi256, rgb);
        ASSERT_EQ(x.value, static_cast<std::uint32_t>(bruteNearestXterm(c))) << std::hex << c;
        const Rgb shown = shownColour(x);
        ASSERT_EQ(static_cast<std::uint32_t>(shown.red << 16 | shown.green << 8 | shown.blue),
                  xtermRgb(bruteNearestXterm(c)));
        ASSERT_EQ(nearestColour(ColourMode::truecolor, rgb).value, c);
    }
}

TEST(TerminalColours, SgrSequences) {
    char out[maxSgrBytes];
    const auto sgr = [&](std::optional<TerminalColour> fg, std::optional<TerminalColour> bg) {
        return std::string(out, writeSgr(fg, bg, out, sizeof out));
    };
    EXPECT_EQ(sgr(consoleColour(ColourMode::ansi16, 1), consoleColour(ColourMode::ansi16, 12)), "\x1b[34;101m");
    EXPECT_EQ(sgr(std::nullopt, consoleColour(ColourMode::ansi256, 6)), "\x1b[48;5;130m");
    const TerminalColour white{ColourMode::truecolor, 0xFFFFFF};
    EXPECT_EQ(sgr(white, white), "\x1b[38;2;255;255;255;48;2;255;255;255m");
    EXPECT_EQ(sgr(white, white).size(), maxSgrBytes);
    EXPECT_EQ(sgr(std::nullopt, std::nullopt), "");
    // Too small a buffer: the length, and nothing written.
    char small[8] = "unused";
    EXPECT_EQ(writeSgr(white, std::nullopt, small, sizeof small), 19u);
    EXPECT_STREQ(small, "unused");
}

}  // namespace
