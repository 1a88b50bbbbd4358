// The terminal's answers read from bytes (TerminalReplyParser), and what
// they say about the palette and the cell size.
#include <algorithm>
#include <cstdint>

#include "vantrel/terminal_exchange.h"

namespace vantrel {

namespace {

constexpr unsigned char esc = 0x1B;
constexpr unsigned char bel = 0x07;
constexpr unsigned char can = 0x18;
constexpr unsigned char sub = 0x1A;
constexpr unsigned maxParameter = 65535;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One channel of 1 to 4 hex digits, scaled to 0..255 (rounded).
std::optional<std::uint8_t> channel(std::string_view digits) {
    if (digits.empty() || digits.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(d);
    }
    const unsigned max = (1u << (4 * digits.size())) - 1;
    return static_cast<std::uint8_t>((value * 255 * 2 + max) / (2 * max));
}

// "rgb:R/G/B" or "rgba:R/G/B/A" (the alpha read and ignored).
std::optional<Rgb> colourSpec(std::string_view text) {
    std::size_t channels = 0;
    if (text.starts_with("rgb:")) {
        channels = 3;
        text.remove_prefix(4);
    } else if (text.starts_with("rgba:")) {
        channels = 4;
        text.remove_prefix(5);
    } else {
        return std::nullopt;
    }
    std::array<std::uint8_t, 4> values{};
    for (std::size_t i = 0; i < channels; ++i) {
        const std::size_t slash = text.find('/');
        if ((slash == std::string_view::npos) != (i + 1 == channels)) return std::nullopt;
        const auto v = channel(text.substr(0, slash));
        if (!v) return std::nullopt;
        values[i] = *v;
        text.remove_prefix(slash == std::string_view::npos ? text.size() : slash + 1);
    }
    return Rgb{values[0], values[1], values[2]};
}

// A decimal number of at most three digits.
std::optional<unsigned> smallNumber(std::string_view s) {
    if (s.empty() || s.size() > 3) return std::nullopt;
    unsigned n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    return n;
}

// The text up to the next ';' (or the end), taken off `s`.
std::string_view field(std::string_view& s) {
    const std::size_t semicolon = s.find(';');
    const std::string_view f = s.substr(0, semicolon);
    s.remove_prefix(semicolon == std::string_view::npos ? s.size() : semicolon + 1);
    return f;
}

}  // namespace

void TerminalReplyParser::feed(std::string_view bytes) {
    for (char c : bytes) byte(static_cast<unsigned char>(c));
}

void TerminalReplyParser::byte(unsigned char c) {
    // CAN and SUB cancel any sequence; ESC starts a new one, except where it
    // may begin the ST that ends a string.
    if (c == can || c == sub) {
        state = State::ground;
        return;
    }
    switch (state) {
        case State::ground:
            if (c == esc) state = State::escape;
            return;
        case State::escape:
            if (c == '[') {
                state = State::csi;
                marker = 0;
                intermediate = false;
                parameters.fill(0);
                parameterCount = 0;
            } else if (c == ']') {
                state = State::osc;
                textSize = 0;
                textOverflow = false;
            } else if (c != esc) {
                state = State::ground;
            }
            return;
        case State::csi:
            if (c == esc) {
                state = State::escape;
            } else if (c >= '0' && c <= '9') {
                if (parameterCount == 0) parameterCount = 1;
                if (parameterCount <= maxParameters) {
                    unsigned& p = parameters[parameterCount - 1];
                    p = std::min(p * 10 + (c - '0'), maxParameter);
                }
            } else if (c == ';' || c == ':') {
                if (parameterCount == 0) parameterCount = 1;
                ++parameterCount;
            } else if (c >= '<' && c <= '?') {
                marker = static_cast<char>(c);
            } else if (c >= 0x20 && c <= 0x2F) {
                intermediate = true;
            } else if (c >= 0x40 && c <= 0x7E) {
                state = State::ground;
                endCsi(static_cast<char>(c));
            }
            // Other control bytes inside a sequence are ignored.
            return;
        case State::osc:
            if (c == bel) {
                state = State::ground;
                endOsc();
            } else if (c == esc) {
                state = State::oscEscape;
            } else if (textSize < text.size()) {
                text[textSize++] = static_cast<char>(c);
            } else {
                textOverflow = true;
            }
            return;
        case State::oscEscape:
            if (c == '\\') {
                state = State::ground;
                endOsc();
            } else {
                // Not an ST: the string is cut off, and this ESC starts
                // something else.
                state = State::escape;
                byte(c);
            }
            return;
    }
}

void TerminalReplyParser::endCsi(char final) {
    // DA1 answers list any number of attributes; the size answers have three
    // numbers.
    if (intermediate) return;
    if (final == 'c' && marker == '?') {
        answers_.deviceAttributes = true;
    } else if (final == 't' && marker == 0 && parameterCount == 3 && parameters[1] > 0 && parameters[2] > 0) {
        const PixelSize size{static_cast<int>(parameters[2]), static_cast<int>(parameters[1])};
        if (parameters[0] == 6) answers_.cellPixels = size;
        if (parameters[0] == 4) answers_.textAreaPixels = size;
    }
}

void TerminalReplyParser::endOsc() {
    if (textOverflow) return;
    std::string_view s(text.data(), textSize);
    const auto command = smallNumber(field(s));
    if (command == 4u) {
        // Pairs of a colour number and its colour.
        while (!s.empty()) {
            const auto index = smallNumber(field(s));
            const auto colour = colourSpec(field(s));
            if (index && colour && *index < 16) answers_.colours[*index] = colour;
        }
    } else if (command == 11u) {
        if (const auto colour = colourSpec(s)) answers_.background = colour;
    }
}

std::optional<Palette> answeredPalette(const TerminalAnswers& answers) {
    Palette p;
    for (std::size_t i = 0; i < 16; ++i) {
        if (!answers.colours[i]) return std::nullopt;
        p.colours[i] = *answers.colours[i];
    }
    return p;
}

std::optional<PixelSize> cellPixelSize(const TerminalAnswers& a) {
    const auto perCell = [&](PixelSize area) -> std::optional<PixelSize> {
        if (a.columns <= 0 || a.rows <= 0 || area.width < a.columns || area.height < a.rows) return std::nullopt;
        return PixelSize{area.width / a.columns, area.height / a.rows};
    };
    if (const auto fromDriver = perCell(a.windowPixels)) return fromDriver;
    if (a.cellPixels) return a.cellPixels;
    if (a.textAreaPixels) return perCell(*a.textAreaPixels);
    return std::nullopt;
}

}  // namespace vantrel
