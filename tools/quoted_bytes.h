// Bytes from files and command lines made safe to show in a one-line message:
// single-quoted, with everything a terminal could act on written as \xNN.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quoted_bytes_detail {

// The length of the UTF-8 sequence at the start of `s` when it is well formed
// and encodes a character from U+00A0 up (no C1 control); otherwise 0.
inline std::size_t printableUtf8Length(std::string_view s) {
    const auto first = static_cast<unsigned char>(s[0]);
    const std::size_t length = first >= 0xC2 && first < 0xE0   ? 2
                               : first >= 0xE0 && first < 0xF0 ? 3
                               : first >= 0xF0 && first < 0xF5 ? 4
                                                               : 0;
    if (length == 0 || s.size() < length) return 0;
    char32_t u = first & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s[i]);
        if ((next & 0xC0) != 0x80) return 0;
        u = (u << 6) | (next & 0x3Fu);
    }
    constexpr char32_t least[] = {0, 0, 0xA0, 0x800, 0x10000};
    if (u < least[length] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
    return length;
}

inline std::string quote(std::string_view bytes, std::size_t limit, bool keepUtf8) {
    constexpr char hex[] = "0123456789abcdef";
    std::string out = "'";
    std::size_t i = 0;
    while (i < bytes.size() && i < limit) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const std::size_t text = keepUtf8 && b >= 0x80 ? printableUtf8Length(bytes.substr(i)) : 0;
        if (text > 0 && i + text <= limit) {
            out.append(bytes.substr(i, text));
            i += text;
        } else if (b < 0x20 || b > 0x7E || b == '\\' || b == '\'') {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 0x0F];
            ++i;
        } else {
            out += static_cast<char>(b);
            ++i;
        }
    }
    out += '\'';
    if (i < bytes.size()) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

}  // namespace quoted_bytes_detail

// Input data: at most the first 40 bytes; every byte outside printable ASCII,
// and the backslash and quote, as \xNN. Longer text is marked and its length given.
inline std::string quotedInput(std::string_view bytes) {
    return quoted_bytes_detail::quote(bytes, 40, false);
}

// A file name or argument: whole, with well-formed UTF-8 text kept as it is.
inline std::string quotedName(std::string_view name) {
    return quoted_bytes_detail::quote(name, std::string_view::npos, true);
}
