#include "terminal/mosaic_text.h"

namespace vantrel {

SgrWriter::SgrWriter(ColourMode m) : mode(m), decimals{} {
    for (unsigned n = 0; n < 256; ++n) {
        Decimal& d = decimals[n];
        unsigned size = n >= 100 ? 3 : n >= 10 ? 2 : 1;
        d.size = static_cast<std::uint8_t>(size);
        for (unsigned v = n; size > 0; v /= 10) d.text[--size] = static_cast<char>('0' + v % 10);
    }
}

const SgrWriter& sgrWriter(ColourMode mode) {
    static const SgrWriter writers[] = {SgrWriter(ColourMode::ansi16), SgrWriter(ColourMode::ansi256),
                                        SgrWriter(ColourMode::truecolor)};
    switch (mode) {
        case ColourMode::ansi16:
            return writers[0];
        case ColourMode::ansi256:
            return writers[1];
        case ColourMode::truecolor:
            break;
    }
    return writers[2];
}

}  // namespace vantrel
