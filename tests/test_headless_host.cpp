#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/headless/headless_host.h"
#include "console/headless/input_script.h"
#include "console/win32.h"

using namespace vantrel;

namespace {

TEST(InputScript, ReadsEntriesCommentsAndButtonSets) {
    std::vector<ScriptedInput> inputs;
    const std::string error = parseInputScript(
        "# a comment line\n"
        "1 500 500 -\n"
        "\n"
        "  7\t-20 1000 LR   # roll while the buttons cancel\r\n"
        "8 0 0 MRL\n"
        "4294967295 -2147483648 2147483647 M",
        inputs);
    ASSERT_EQ(error, "");
    ASSERT_EQ(inputs.size(), 4u);
    EXPECT_EQ(inputs[0].frame, 1u);
    EXPECT_FALSE(inputs[0].left || inputs[0].right || inputs[0].middle);
    EXPECT_EQ(inputs[1].frame, 7u);
    EXPECT_EQ(inputs[1].x, -20);
    EXPECT_EQ(inputs[1].y, 1000);
    EXPECT_TRUE(inputs[1].left && inputs[1].right && !inputs[1].middle);
    EXPECT_TRUE(inputs[2].left && inputs[2].right && inputs[2].middle);
    EXPECT_EQ(inputs[3].frame, 4294967295u);
    EXPECT_EQ(inputs[3].x, -2147483647 - 1);
    EXPECT_TRUE(!inputs[3].left && inputs[3].middle);
}

TEST(InputScript, NamesTheLineAndTheProblemOfAMalformedEntry) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"1 2 3\n", "line 1: expected FRAME X Y BUTTONS, found 3 fields"},
        {"# ok\n1 2 3 L extra\n", "line 2: expected FRAME X Y BUTTONS, found 5 fields"},
        {"0 1 1 L", "line 1: FRAME must be a whole number from 1 to 4294967295, not '0'"},
        {"-3 1 1 L", "line 1: FRAME must be a whole number from 1 to 4294967295, not '-3'"},
        {"4294967296 1 1 L", "line 1: FRAME must be a whole number from 1 to 4294967295, not '4294967296'"},
        {"1 1.5 1 L", "line 1: X and Y must be 32-bit integers, not '1.5' and '1'"},
        {"1 1 2147483648 L", "line 1: X and Y must be 32-bit integers, not '1' and '2147483648'"},
        {"1 1 1 LX", "line 1: BUTTONS must be '-' or letters from L, R and M, each at most once, not 'LX'"},
        {"1 1 1 LL", "line 1: BUTTONS must be '-' or letters from L, R and M, each at most once, not 'LL'"},
        {"1 1 1 l", "line 1: BUTTONS must be '-' or letters from L, R and M, each at most once, not 'l'"},
        {"5 1 1 L\n\n5 2 2 R\n", "line 3: frame 5 does not come after frame 5"},
        {"5 1 1 L\n3 2 2 R\n", "line 2: frame 3 does not come after frame 5"},
        {"1 \x1b]0;x\x07 \xc3\xa9 L", "line 1: X and Y must be 32-bit integers, not '\\x1b]0;x\\x07' and '\\xc3\\xa9'"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptedInput> inputs;
        EXPECT_EQ(parseInputScript(c.text, inputs), c.error) << c.text;
    }
}

TEST(InputScript, LinesAreBoundedAndEntriesAfterTheLastFrameAreCheckedNotKept) {
    const std::string longest = "1 1 1 L #" + std::string(InputScriptParser::maxLineBytes - 9, 'x');
    std::vector<ScriptedInput> inputs;
    EXPECT_EQ(parseInputScript(longest + "\n2 2 2 R\n" + std::string(5000, '#'), inputs),
              "line 3: longer than 4096 bytes");
    EXPECT_EQ(inputs.size(), 2u);

    InputScriptParser parser(inputs, 1);
    inputs.clear();
    const std::string rest = "\n2 2 2 R\n2 3 3 M\n";
    EXPECT_TRUE(parser.feed(longest.data(), longest.size()));
    EXPECT_FALSE(parser.feed(rest.data(), rest.size()));
    EXPECT_EQ(parser.error(), "line 3: frame 2 does not come after frame 2");
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].frame, 1u);
}

TEST(HeadlessHost, ClockCursorButtonsAndEscapeFollowTheScript) {
    const ScriptedInput script[] = {
        {2, 100, 200, true, false, false},
        {4, 300, 400, false, true, true},
    };
    HeadlessConfig config;
    config.startTick = 0xFFFFFFFEu;
    config.frames = 3;
    config.inputs = script;
    config.inputCount = 2;
    startHeadlessHost(config);

    EXPECT_EQ(GetTickCount(), 0xFFFFFFFEu);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFFFu);
    EXPECT_EQ(GetTickCount(), 0u);

    RECT clip{};
    ASSERT_TRUE(GetClipCursor(&clip));
    EXPECT_TRUE(clip.left == 0 && clip.top == 0 && clip.right == 1000 && clip.bottom == 1000);

    struct Expected {
        LONG x, y;
        bool left, right, middle;
    } frames[] = {{500, 500, false, false, false},
                  {100, 200, true, false, false},
                  {100, 200, true, false, false},
                  {300, 400, false, true, true}};
    for (const Expected& e : frames) {
        POINT p{};
        ASSERT_TRUE(GetCursorPos(&p));
        EXPECT_EQ(p.x, e.x);
        EXPECT_EQ(p.y, e.y);
        EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) != 0, e.left);
        EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON) != 0, e.right);
        EXPECT_EQ(GetAsyncKeyState(VK_MBUTTON) != 0, e.middle);
    }
    // Escape stays up for three queries and reads pressed from the fourth on.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0) << i;
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE), 0);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE), 0);
}

struct Captured {
    int frames = 0;
    CellBuffer last{};
};
// Asks the host to stop after the first frame.
bool capture(const CellBuffer& screen, void* context) {
    auto& captured = *static_cast<Captured*>(context);
    ++captured.frames;
    captured.last = screen;
    return false;
}

TEST(HeadlessHost, ConsoleKeepsTitleWindowAndWrittenCells) {
    Captured captured;
    HeadlessConfig config;
    config.frames = 10;
    config.sink = capture;
    config.sinkContext = &captured;
    startHeadlessHost(config);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);

    const HANDLE screen = CreateConsoleScreenBuffer(GENERIC_WRITE, 0, nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(SetConsoleActiveScreenBuffer(screen));
    EXPECT_TRUE(headlessConsoleState().bufferActive);
    SetConsoleTitleA("probe");
    EXPECT_EQ(FindWindowA(nullptr, "other"), nullptr);
    const HWND window = FindWindowA(nullptr, "probe");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(ShowWindow(nullptr, SW_SHOWMAXIMIZED));
    EXPECT_FALSE(headlessConsoleState().windowMaximised);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(headlessConsoleState().windowMaximised);
    SetConsoleTitleA("Lines");
    EXPECT_STREQ(headlessConsoleState().title, "Lines");

    // A 2x2 block placed at column 78, row 48 of the screen, clipped to it.
    CHAR_INFO block[2 * 3]{};
    for (int i = 0; i < 6; ++i) {
        block[i].Char.AsciiChar = static_cast<CHAR>('a' + i);
        block[i].Attributes = static_cast<WORD>(0xF0 + i);
    }
    SMALL_RECT region{78, 48, 80, 50};
    EXPECT_TRUE(WriteConsoleOutputA(screen, block, COORD{3, 2}, COORD{1, 0}, &region));
    EXPECT_EQ(region.Right, 79);
    EXPECT_EQ(region.Bottom, 49);
    ASSERT_EQ(captured.frames, 1);
    EXPECT_EQ(captured.last[48 * 80 + 78], makeCell('b', 0xF1));
    EXPECT_EQ(captured.last[48 * 80 + 79], makeCell('c', 0xF2));
    EXPECT_EQ(captured.last[49 * 80 + 78], makeCell('e', 0xF4));
    EXPECT_EQ(captured.last[49 * 80 + 79], makeCell('f', 0xF5));
    EXPECT_EQ(captured.last[48 * 80 + 77], 0);
    EXPECT_EQ(headlessConsoleState().framesPresented, 1u);
    // The sink refused the frame: Escape reads pressed long before frame 10.
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE), 0);
    // Only the buffer the host handed out can be written.
    EXPECT_FALSE(WriteConsoleOutputA(reinterpret_cast<HANDLE>(&captured), block, COORD{3, 2}, COORD{0, 0}, &region));
}

}  // namespace
