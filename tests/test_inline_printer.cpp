// Inline printing read back through an emulated terminal (libvterm): a whole
// grid of varied cells in each colour mode, scrolling like any output, with
// nothing left set afterwards; the buffer and descriptor forms agree.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "tests/terminal_expect.h"
#include "tests/vterm_screen.h"
#include "vantrel/inline_printer.h"

using namespace vantrel;

namespace {

constexpr int columns = 37;
constexpr int rows = 11;
constexpr int pitch = 40;

// Every character code and attribute turns up, blank cells included.
std::vector<Cell> variedGrid() {
    std::vector<Cell> cells(static_cast<std::size_t>(pitch * rows), makeCell('#', 0x4F));  // the pitch's spare cells
    std::mt19937 rng(5);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int i = r * columns + c;
            const auto character = static_cast<std::uint8_t>(i < 256 ? i : rng());
            const auto attribute = static_cast<std::uint8_t>(i < 256 ? 255 - i : rng());
            cells[static_cast<std::size_t>(r * pitch + c)] = makeCell(character, attribute);
        }
    }
    return cells;
}

// True when every escape sequence in `out` is a complete SGR sequence
// ("ESC [ digits and semicolons m"): no cursor addressing, no modes.
bool onlyColourCodes(const std::string& out) {
    for (std::size_t p = out.find('\x1b'); p != std::string::npos; p = out.find('\x1b', p + 1)) {
        std::size_t q = p + 1;
        if (q >= out.size() || out[q] != '[') return false;
        while (++q < out.size() && (std::isdigit(static_cast<unsigned char>(out[q])) || out[q] == ';')) {
        }
        if (q >= out.size() || out[q] != 'm') return false;
    }
    return true;
}

TEST(InlinePrinter, TerminalShowsTheGridInEveryMode) {
    const std::vector<Cell> cells = variedGrid();
    for (ColourMode mode : {ColourMode::ansi16, ColourMode::ansi256, ColourMode::truecolor}) {
        SCOPED_TRACE(static_cast<int>(mode));
        const CellView<Cell> view{cells.data(), columns, rows, pitch};
        std::string out(inlineSize(view, mode), '\0');
        ASSERT_EQ(printInline(view, mode, out.data(), out.size()), out.size());
        EXPECT_TRUE(onlyColourCodes(out)) << "colour codes only, each one complete";
        EXPECT_EQ(out.substr(out.size() - 5), "\x1b[0m\n") << "the colours are reset before the last newline";

        // A terminal shorter than the grid, after some text: the grid scrolls
        // up like any output and ends with the cursor below it.
        constexpr int termRows = 8;
        EmulatedTerminal term(50, termRows);
        term.feed("$ cat picture\r\n");
        // The terminal's line discipline turns each newline into CR LF.
        std::string crlf;
        for (char ch : out) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        term.feed(crlf);
        EXPECT_EQ(term.cursorRow(), termRows - 1);
        EXPECT_EQ(term.cursorColumn(), 0);
        int wrong = 0;
        for (int screenRow = 0; screenRow < termRows; ++screenRow) {
            const int gridRow = rows - (termRows - 1) + screenRow;  // the last line is the cursor's, empty
            for (int column = 0; column < 50; ++column) {
                const EmulatedCell e = term.cell(column, screenRow);
                std::string problem;
                if (gridRow < rows && column < columns) {
                    problem = cellProblem(e, cells[static_cast<std::size_t>(gridRow * pitch + column)], mode);
                } else if (!e.backgroundDefault || (e.character != 0 && e.character != U' ')) {
                    problem = "not blank in the default colours";
                }
                if (!problem.empty() && ++wrong <= 5) ADD_FAILURE() << column << "," << screenRow << ": " << problem;
            }
        }
        EXPECT_EQ(wrong, 0);
        // Nothing left set: text written afterwards has the default colours.
        term.feed("after");
        const EmulatedCell after = term.cell(0, termRows - 1);
        EXPECT_EQ(after.character, U'a');
        EXPECT_TRUE(after.foregroundDefault && after.backgroundDefault);
    }
}

TEST(InlinePrinter, BufferSizesAndRefusals) {
    const std::vector<Cell> cells = variedGrid();
    const ColourMode mode = ColourMode::truecolor;
    const CellView<Cell> view{cells.data(), columns, rows, pitch};
    const std::size_t size = inlineSize(view, mode);
    std::string out(size + 1, 'x');
    // One byte short: nothing written, never a cut sequence.
    EXPECT_EQ(printInline(view, mode, out.data(), size - 1), 0u);
    EXPECT_EQ(out, std::string(size + 1, 'x'));
    EXPECT_EQ(printInline(view, mode, out.data(), size), size);
    EXPECT_EQ(out[size], 'x');
    // Invalid grids are refused; a grid of no columns is empty lines.
    EXPECT_EQ(printInline(CellView<Cell>{cells.data(), columns, rows, columns - 1}, mode, out.data(), out.size()), 0u);
    EXPECT_EQ(inlineSize(CellView<Cell>{nullptr, columns, rows, pitch}, mode) +
                  inlineSize(CellView<Cell>{cells.data(), -1, rows, pitch}, mode),
              0u);
    EXPECT_EQ(printInline(CellView<Cell>{nullptr, 0, 3, 0}, mode, out.data(), 3), 3u);
    EXPECT_EQ(out.substr(0, 3), "\n\n\n");
}

TEST(InlinePrinter, DescriptorGetsTheSameBytes) {
    // Forty copies of the grid, far more than a pipe holds, through a
    // non-blocking pipe that a child reads: the writer waits for room.
    const std::vector<Cell> grid = variedGrid();
    std::vector<Cell> cells;
    for (int i = 0; i < 40; ++i) cells.insert(cells.end(), grid.begin(), grid.end());
    const CellView<Cell> view{cells.data(), columns, rows * 40, pitch};
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::fcntl(fds[1], F_SETFL, O_NONBLOCK), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        ::_exit(printInline(fds[1], view, ColourMode::ansi256) ? 1 : 0);
    }
    ::close(fds[1]);
    std::string received;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) != 0;) {
        ASSERT_TRUE(n > 0 || errno == EINTR);
        if (n > 0) received.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::string expected(inlineSize(view, ColourMode::ansi256), '\0');
    printInline(view, ColourMode::ansi256, expected.data(), expected.size());
    EXPECT_GT(expected.size(), 65536u * 2);
    EXPECT_EQ(received, expected);
    // Errors are reported, not swallowed.
    EXPECT_EQ(printInline(-1, CellView<Cell>{cells.data(), columns, rows, pitch}, ColourMode::ansi16),
              std::error_code(EBADF, std::system_category()));
    EXPECT_EQ(printInline(1, CellView<Cell>{cells.data(), columns, rows, 2}, ColourMode::ansi16),
              std::make_error_code(std::errc::invalid_argument));
}

}  // namespace
