// Internal to font8x12: how a glyph is written in the source, as art that can
// be reviewed and corrected by eye.
#pragma once

namespace vantrel {

// `rows` is twelve string literals of eight characters written one under the
// other (they join into one string of 96): '#' is ink, '.' is blank, the top
// row first, the leftmost column first.
struct GlyphArt {
    int code;
    const char* rows;
};

}  // namespace vantrel
