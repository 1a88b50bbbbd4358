// Pictures in half blocks read back through an emulated terminal
// (libvterm): printed inline in every colour mode, and animated by the
// diffing encoder on terminals that fit, hold or cut them, with the screen
// checked after every frame against the colours the mode must give.
#include <gtest/gtest.h>
#include <unistd.h>

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
        c = v % 2 == 0 ? few[v / 2 % 5]
                       : Rgb{static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
                             static_cast<std::uint8_t>(v >> 24)};
    }
    return picture;
}

// Wrong cells of the emulated screen: the picture where the layout puts it,
// blank default margins elsewhere. Reports the first few.
int screenMismatches(const EmulatedTerminal& term, const std::vector<Rgb>& picture, int height, int pitch,
                     const FrameLayout& l, ColourMode mode) {
    return layoutMismatches(term, l, [&](const EmulatedCell& e, int column, int row) {
        const auto at = [&](int r) { return &picture[static_cast<std::size_t>(r * pitch + column)]; };
        return halfBlockProblem(e, *at(2 * row), 2 * row + 1 < height ? at(2 * row + 1) : nullptr, mode);
    });
}

TEST(HalfBlocks, InlinePictureInEveryMode) {
    constexpr int width = 23;
    constexpr int height = 9;  // an odd last row
    constexpr int pitch = 25;
    std::mt19937 rng(3);
    const std::vector<Rgb> picture = randomPicture(pitch, height, rng);
    for (ColourMode mode : modes) {
        SCOPED_TRACE(static_cast<int>(mode));
        const std::size_t size = halfBlocksInlineSize(picture.data(), width, height, pitch, mode);
        std::string out(size + 1, 'x');
        EXPECT_EQ(printHalfBlocksInline(picture.data(), width, height, pitch, mode, out.data(), size - 1), 0u)
            << "one byte short: nothing written";
        ASSERT_EQ(printHalfBlocksInline(picture.data(), width, height, pitch, mode, out.data(), size), size);
        EXPECT_EQ(out[size], 'x');
        out.resize(size);
        EXPECT_EQ(out.substr(size - 5), "\x1b[0m\n");

        // Printed after a line of text on a terminal of 6 rows: it scrolls
        // like any output; the line discipline makes each newline CR LF.
        EmulatedTerminal term(30, 6);
        term.feed("$ show picture\r\n");
        std::string crlf;
        for (char ch : out) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        term.feed(crlf);
        const FrameLayout shown = placeFrame(width, halfBlockRows(height), 30, 6, 0, 6 - 1 - halfBlockRows(height));
        // The cursor's empty last row is below the picture.
        EXPECT_EQ(screenMismatches(term, picture, height, pitch, shown, mode), 0);
        term.feed("after");
        const EmulatedCell after = term.cell(0, 5);
        EXPECT_TRUE(after.character == U'a' && after.foregroundDefault && after.backgroundDefault)
            << "colours left set after the picture";

        // The descriptor form writes the same bytes.
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        EXPECT_FALSE(printHalfBlocksInline(fds[1], picture.data(), width, height, pitch, mode));
        ::close(fds[1]);
        std::string received(size + 1, '\0');
        received.resize(static_cast<std::size_t>(::read(fds[0], received.data(), received.size())));
        ::close(fds[0]);
        EXPECT_EQ(received, out);
    }
    // Invalid pictures are refused; one of no columns is empty lines.
    char buffer[8];
    EXPECT_EQ(halfBlocksInlineSize(picture.data(), width, height, width - 1, ColourMode::ansi16), 0u);
    EXPECT_EQ(printHalfBlocksInline(nullptr, width, height, pitch, ColourMode::ansi16, buffer, sizeof buffer), 0u);
    EXPECT_EQ(printHalfBlocksInline(nullptr, 0, 5, 0, ColourMode::ansi16, buffer, sizeof buffer), 3u);
    EXPECT_EQ(std::string(buffer, 3), "\n\n\n");
    EXPECT_EQ(printHalfBlocksInline(1, picture.data(), -1, height, pitch, ColourMode::ansi16),
              std::make_error_code(std::errc::invalid_argument));
}

// Frames of a few percent changed colours, every fourth a new picture, on
// terminals that fit, hold or cut them, in every mode.
TEST(HalfBlocks, EncoderScreenHoldsEveryFrame) {
    struct Size {
        int width, height, pitch, terminalColumns, terminalRows;
    };
    const Size sizes[] = {{80, 50, 80, 80, 25}, {37, 11, 40, 50, 9}, {60, 40, 60, 45, 12}, {9, 7, 9, 3, 2}};
    std::mt19937 rng(11);
    for (const Size& s : sizes) {
        for (ColourMode mode : modes) {
            SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + " mode " +
                         std::to_string(static_cast<int>(mode)));
            const FrameLayout layout =
                centreFrame(s.width, halfBlockRows(s.height), s.terminalColumns, s.terminalRows);
            HalfBlockEncoder encoder(mode, layout);
            EmulatedTerminal term(s.terminalColumns, s.terminalRows);
            std::vector<Rgb> picture;
            for (int f = 0; f < 12; ++f) {
                if (f % 4 == 0) {
                    picture = randomPicture(s.pitch, s.height, rng);
                } else {
                    const std::vector<Rgb> fresh = randomPicture(s.pitch, s.height, rng);
                    for (std::size_t i = 0; i < picture.size(); i += 1 + rng() % 40) picture[i] = fresh[i];
                }
                const std::string_view out = encoder.encode(picture.data(), s.height, s.pitch);
                if (!out.empty() || f == 0) {  // small changes may all be outside a small terminal
                    ASSERT_EQ(out.substr(0, 8), "\x1b[?2026h");
                    ASSERT_EQ(out.substr(out.size() - 8), "\x1b[?2026l");
                }
                term.feed(out);
                ASSERT_EQ(screenMismatches(term, picture, s.height, s.pitch, encoder.layout(), mode), 0)
                    << "frame " << f;
            }
            EXPECT_TRUE(encoder.encode(picture.data(), s.height, s.pitch).empty()) << "no change, no bytes";
        }
    }
}

TEST(HalfBlocks, EncoderSendsOnlyWhatLooksDifferent) {
    std::mt19937 rng(5);
    for (ColourMode mode : modes) {
        HalfBlockEncoder encoder(mode, placeFrame(20, 5, 24, 8, 3, 2));
        std::vector<Rgb> picture = randomPicture(20, 10, rng);
        picture[47] = Rgb{0, 0, 0};
        EmulatedTerminal term(24, 8);
        term.feed(encoder.encode(picture.data(), 10, 20));
        // Black to near black: the same palette colour in 16 and 256 colours.
        picture[47] = Rgb{1, 1, 1};
        const std::string_view out = encoder.encode(picture.data(), 10, 20);
        EXPECT_EQ(out.empty(), mode != ColourMode::truecolor) << static_cast<int>(mode);
        term.feed(out);
        // Refused: nothing remembered, so the next frame still sends the change.
        picture[3] = Rgb{250, 10, 10};
        EXPECT_TRUE(encoder.encode(picture.data(), 11, 20).empty()) << "a height that does not fit the layout";
        EXPECT_TRUE(encoder.encode(picture.data(), 10, 19).empty()) << "a pitch below the width";
        EXPECT_TRUE(encoder.encode(nullptr, 10, 20).empty());
        term.feed(encoder.encode(picture.data(), 9, 20));  // the last row's lower halves become the default
        EXPECT_EQ(screenMismatches(term, picture, 9, 20, encoder.layout(), mode), 0);
        // Something else wrote on the screen: forgetScreen repaints it all.
        term.feed("\x1b[0m\x1b[3;3Hshell $ \x1b[44mblue");
        encoder.forgetScreen();
        term.feed(encoder.encode(picture.data(), 9, 20));
        EXPECT_EQ(screenMismatches(term, picture, 9, 20, encoder.layout(), mode), 0);
    }
}

}  // namespace
