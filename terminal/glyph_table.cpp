#include "terminal/glyph_table.h"

#include "vantrel/cp437_unicode.h"

namespace vantrel {

namespace {

GlyphTable buildTable() {
    static_assert(cp437Utf8MaxBytes <= sizeof(GlyphBytes::bytes));
    GlyphTable table{};
    for (int code = 0; code < 256; ++code) {
        GlyphBytes& g = table[static_cast<std::size_t>(code)];
        std::size_t length = 0;
        appendCp437Utf8(static_cast<std::uint8_t>(code), g.bytes, sizeof g.bytes, length);
        g.size = static_cast<std::uint8_t>(length);
    }
    return table;
}

}  // namespace

const GlyphTable& cp437Glyphs() {
    static const GlyphTable table = buildTable();
    return table;
}

}  // namespace vantrel
