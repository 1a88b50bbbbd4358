// A terminal emulated by libvterm, to check what encoded output shows.
#pragma once

#include <cstdint>
#include <string_view>

struct VTerm;
struct VTermScreen;

struct EmulatedCell {
    std::uint32_t character = 0;  // first code point; 0 for a cell never written
    // Colours: either a palette index (0-255) or an RGB value; default when neither.
    bool foregroundDefault = true;
    bool backgroundDefault = true;
    bool foregroundIndexed = false;
    bool backgroundIndexed = false;
    std::uint32_t foreground = 0;  // index, or 0xRRGGBB
    std::uint32_t background = 0;
};

class EmulatedTerminal {
public:
    EmulatedTerminal(int columns, int rows);
    ~EmulatedTerminal();
    EmulatedTerminal(const EmulatedTerminal&) = delete;
    EmulatedTerminal& operator=(const EmulatedTerminal&) = delete;

    void feed(std::string_view bytes);
    void resize(int columns, int rows);
    EmulatedCell cell(int column, int row) const;
    int cursorColumn() const;
    int cursorRow() const;

private:
    VTerm* vt;
    VTermScreen* screen;
};
