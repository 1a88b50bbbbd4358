// Pictures in half blocks read back through an emulated terminal
// (libvterm): printed inline in every colour mode, and animated by the
// diffing encoder on terminals that fit, hold or cut them, with the screen
// checked after every frame against the colours the mode must give.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/terminal_expect.h"
#include "tests/vterm_screen.h"
#include "vantrel/half_blocks.h"

using namespace vantrel;

namespace {

constexpr ColourMode modes[] = {ColourMode::ansi16, ColourMode::ansi256, ColourMode::truecolor};

// Half the colours from a few (so that both halves of a cell often match,
// and neighbours share colour codes), half anything.
std::vector<Rgb> randomPicture(int pitch, int height, std::mt19937& rng) {
    static constexpr Rgb few[] = {{0, 0, 0}, {255, 255, 255}, {170, 0, 0}, {0, 95, 135}, {12, 200, 40}};
    std::vector<Rgb> picture(static_cast<std::size_t>(pitch * height));
    for (Rgb& c : picture) {
        const unsigned v = rng();
        c = v % 2 == 0 ? few[v / 2 % 5] : Rgb{std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
    }
    return picture;
}

// The picture where the layout puts it, blank default margins elsewhere.
int screenMismatches(const EmulatedTerminal& term, const std::vector<Rgb>& picture, int height, int pitch,
                     const FrameLayout& l, ColourMode mode) {
    return layoutMismatches(term, l, [&](const EmulatedCell& e, int column, int row) {
        const auto at = [&](int r) { return &picture[static_cast<std::size_t>(r * pitch + column)]; };
        return halfBlockProblem(e, *at(2 * row), 2 * row + 1 < height ? at(2 * row + 1) : nullptr, mode);
    });
}

TEST(HalfBlocks, InlinePictureInEveryMode) {
    constexpr int width = 23, height = 9, pitch = 25;  // an odd last row
    std::mt19937 rng(3);
    const std::vector<Rgb> picture = randomPicture(pitch, height, rng);
    for (ColourMode mode : modes) {
        const std::size_t size = halfBlocksInlineSize(picture.data(), width, height, pitch, mode);
        std::string out(size, 'x');
        EXPECT_EQ(printHalfBlocksInline(picture.data(), width, height, pitch, mode, out.data(), size - 1), 0u);
        ASSERT_EQ(printHalfBlocksInline(picture.data(), width, height, pitch, mode, out.data(), size), size);
        // After a line of text on a terminal of 6 rows, the picture scrolls
        // like any output (the line discipline makes each newline CR LF),
        // and leaves nothing set: the cursor's row below it is default.
        EmulatedTerminal term(30, 6);
        term.feed("$ show picture\r\n");
        for (char ch : out) term.feed(ch == '\n' ? std::string_view("\r\n") : std::string_view(&ch, 1));
        term.feed("after");
        EXPECT_EQ(screenMismatches(term, picture, height, pitch, placeFrame(width, 5, 30, 5, 0, 0), mode), 0);
        const EmulatedCell after = term.cell(0, 5);
        EXPECT_TRUE(after.character == U'a' && after.foregroundDefault && after.backgroundDefault);
    }
    EXPECT_EQ(halfBlocksInlineSize(picture.data(), width, height, width - 1, ColourMode::ansi16), 0u);
    EXPECT_EQ(printHalfBlocksInline(1, nullptr, width, height, pitch, ColourMode::ansi16),
              std::make_error_code(std::errc::invalid_argument));
}

// Frames of a few percent changed colours, every fourth a new picture, on
// terminals that fit, hold or cut them (odd heights, a pitch wider than
// the picture), in every mode; then what the encoder sends and refuses.
TEST(HalfBlocks, EncoderScreenHoldsEveryFrame) {
    struct Size {
        int width, height, pitch, terminalColumns, terminalRows;
    };
    const Size sizes[] = {{80, 50, 80, 80, 25}, {37, 11, 40, 50, 9}, {60, 40, 60, 45, 12}, {9, 7, 9, 3, 2}};
    std::mt19937 rng(11);
    for (ColourMode mode : modes) {
        for (const Size& s : sizes) {
            SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + " mode " +
                         std::to_string(static_cast<int>(mode)));
            HalfBlockEncoder encoder(mode, centreFrame(s.width, halfBlockRows(s.height), s.terminalColumns,
                                                       s.terminalRows));
            EmulatedTerminal term(s.terminalColumns, s.terminalRows);
            std::vector<Rgb> picture;
            for (int f = 0; f < 12; ++f) {
                const std::vector<Rgb> fresh = randomPicture(s.pitch, s.height, rng);
                if (f % 4 == 0) picture = fresh;
                for (std::size_t i = 0; i < picture.size(); i += 1 + rng() % 40) picture[i] = fresh[i];
                const std::string_view out = encoder.encode(picture.data(), s.height, s.pitch);
                EXPECT_TRUE(out.empty() || (out.starts_with("\x1b[?2026h") && out.ends_with("\x1b[?2026l")));
                term.feed(out);
                ASSERT_EQ(screenMismatches(term, picture, s.height, s.pitch, encoder.layout(), mode), 0) << f;
            }
            EXPECT_TRUE(encoder.encode(picture.data(), s.height, s.pitch).empty()) << "no change, no bytes";

            // Black to near black: the same colour in 16 and 256 colours.
            const std::size_t centre = static_cast<std::size_t>(s.height / 2 * s.pitch + s.width / 2);
            picture[centre] = Rgb{0, 0, 0};
            term.feed(encoder.encode(picture.data(), s.height, s.pitch));
            picture[centre] = Rgb{1, 1, 1};
            const std::string_view out = encoder.encode(picture.data(), s.height, s.pitch);
            EXPECT_EQ(out.empty(), mode != ColourMode::truecolor);
            term.feed(out);
            // Refused, nothing remembered; then something else writes on the
            // screen, and forgetScreen repaints it all.
            picture[0] = Rgb{250, 10, 10};
            EXPECT_TRUE(encoder.encode(picture.data(), s.height + 2, s.pitch).empty());
            EXPECT_TRUE(encoder.encode(picture.data(), s.height, s.width - 1).empty());
            EXPECT_TRUE(encoder.encode(nullptr, s.height, s.pitch).empty());
            term.feed("\x1b[0m\x1b[1;1Hshell $ \x1b[44mblue");
            encoder.forgetScreen();
            term.feed(encoder.encode(picture.data(), s.height, s.pitch));
            EXPECT_EQ(screenMismatches(term, picture, s.height, s.pitch, encoder.layout(), mode), 0);
        }
    }
}

}  // namespace
