#include "tests/vterm_screen.h"

#include <vterm.h>

namespace {

void readColour(const VTermColor& c, bool isDefault, bool& defaultOut, bool& indexedOut, std::uint32_t& valueOut) {
    defaultOut = isDefault;
    indexedOut = VTERM_COLOR_IS_INDEXED(&c);
    valueOut = indexedOut ? c.indexed.idx
                          : (static_cast<std::uint32_t>(c.rgb.red) << 16) | (c.rgb.green << 8) | c.rgb.blue;
}

}  // namespace

EmulatedTerminal::EmulatedTerminal(int columns, int rows) : vt(vterm_new(rows, columns)) {
    vterm_set_utf8(vt, 1);
    screen = vterm_obtain_screen(vt);
    vterm_screen_enable_altscreen(screen, 1);
    vterm_screen_reset(screen, 1);
}

EmulatedTerminal::~EmulatedTerminal() { vterm_free(vt); }

void EmulatedTerminal::feed(std::string_view bytes) { vterm_input_write(vt, bytes.data(), bytes.size()); }

void EmulatedTerminal::resize(int columns, int rows) { vterm_set_size(vt, rows, columns); }

EmulatedCell EmulatedTerminal::cell(int column, int row) const {
    VTermScreenCell c{};
    vterm_screen_get_cell(screen, VTermPos{row, column}, &c);
    EmulatedCell e;
    e.character = c.chars[0];
    readColour(c.fg, VTERM_COLOR_IS_DEFAULT_FG(&c.fg), e.foregroundDefault, e.foregroundIndexed, e.foreground);
    readColour(c.bg, VTERM_COLOR_IS_DEFAULT_BG(&c.bg), e.backgroundDefault, e.backgroundIndexed, e.background);
    return e;
}

int EmulatedTerminal::cursorColumn() const {
    VTermPos p;
    vterm_state_get_cursorpos(vterm_obtain_state(vt), &p);
    return p.col;
}

int EmulatedTerminal::cursorRow() const {
    VTermPos p;
    vterm_state_get_cursorpos(vterm_obtain_state(vt), &p);
    return p.row;
}
