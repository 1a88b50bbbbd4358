#include "terminal/title_sequence.h"

namespace vantrel {

namespace {

constexpr std::string_view introducer = "\x1b]2;";
constexpr std::string_view terminator = "\x1b\\";

// Bytes of the UTF-8 character that starts with `lead`.
std::size_t utf8Length(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

}  // namespace

std::size_t writeTitleSequence(std::string_view utf8Title, char* out, std::size_t capacity) {
    std::size_t n = 0;
    for (char c : introducer) out[n++] = c;
    const std::size_t room = capacity - terminator.size();
    bool cut = false;
    for (char c : utf8Title) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) continue;
        if (n >= room) {
            cut = true;
            break;
        }
        out[n++] = c;
    }
    if (cut) {
        // Drop a last character that has fewer bytes than its lead announces.
        std::size_t lead = n;
        while (lead > introducer.size() && (static_cast<unsigned char>(out[lead - 1]) & 0xC0) == 0x80) --lead;
        if (lead > introducer.size()) {
            const std::size_t start = lead - 1;
            if (n - start < utf8Length(static_cast<unsigned char>(out[start]))) n = start;
        }
    }
    for (char c : terminator) out[n++] = c;
    return n;
}

}  // namespace vantrel
