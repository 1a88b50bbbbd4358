// libFuzzer target for the terminal exchange's reply parser. The input is cut
// into reads: each starts with one byte giving its length. Checks that
// nothing reads out of bounds, that feeding in pieces gives what feeding at
// once gives, and that every answer is sane.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/terminal_exchange.h"

using namespace vantrel;

namespace {

bool same(const TerminalAnswers& a, const TerminalAnswers& b) {
    for (std::size_t i = 0; i < 16; ++i) {
        if (a.colours[i].has_value() != b.colours[i].has_value()) return false;
        if (a.colours[i] && (a.colours[i]->red != b.colours[i]->red || a.colours[i]->green != b.colours[i]->green ||
                             a.colours[i]->blue != b.colours[i]->blue)) {
            return false;
        }
    }
    return a.background.has_value() == b.background.has_value() && a.cellPixels == b.cellPixels &&
           a.textAreaPixels == b.textAreaPixels && a.deviceAttributes == b.deviceAttributes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TerminalReplyParser pieces;
    std::string joined;
    std::size_t i = 0;
    while (i < size) {
        std::size_t length = data[i++];
        if (length > size - i) length = size - i;
        const std::string_view read(reinterpret_cast<const char*>(data + i), length);
        pieces.feed(read);
        joined.append(read);
        i += length;
    }
    TerminalReplyParser once;
    once.feed(joined);
    if (!same(pieces.answers(), once.answers())) std::abort();
    for (const auto& size : {pieces.answers().cellPixels, pieces.answers().textAreaPixels}) {
        if (size && (size->width <= 0 || size->height <= 0 || size->width > 65535 || size->height > 65535)) std::abort();
    }
    return 0;
}
