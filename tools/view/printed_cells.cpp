#include "tools/view/printed_cells.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>

namespace vantrel {

namespace {

// Decodes UTF-8 into code points; an invalid or cut sequence is one U+FFFD.
std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
        const std::uint8_t lead = byte(i);
        int length = 0;
        char32_t code = 0, least = 0;
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1Fu, least = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0Fu, least = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07u, least = 0x10000;
        int k = 1;
        for (; k < length && i + static_cast<std::size_t>(k) < text.size() && (byte(i + static_cast<std::size_t>(k)) & 0xC0u) == 0x80u; ++k) {
            code = (code << 6) | (byte(i + static_cast<std::size_t>(k)) & 0x3Fu);
        }
        if (length == 0 || k < length || code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out.push_back(U'\uFFFD');
            i += static_cast<std::size_t>(std::max(k, 1));
            continue;
        }
        out.push_back(code);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// The colour of a cell side as set: the default, an index of the 256, or RGB.
struct DefaultColour {};
using SetColour = std::variant<DefaultColour, int, Rgb>;

constexpr int defaultForeground = 7;
constexpr int defaultBackground = 0;

class Reader {
public:
    explicit Reader(const Palette& palette) : palette_(palette) {}

    void read(const std::u32string& text);
    std::string finish(PrintedCells& out);

private:
    Rgb indexed(int index) const {
        if (index < 16) return palette_.colours[static_cast<std::size_t>(index)];
        return shownColour({ColourMode::ansi256, static_cast<std::uint32_t>(index)});
    }
    Rgb resolve(const SetColour& colour, int fallback) const;
    ColouredCell blank() const { return {U' ', indexed(defaultForeground), indexed(defaultBackground)}; }
    bool put(char32_t character);
    void selectGraphics(const std::vector<long>& codes);
    std::size_t escape(const std::u32string& text, std::size_t at);

    const Palette& palette_;
    std::vector<std::vector<ColouredCell>> rows_;  // up to the last row written
    long row_ = 0;
    long column_ = 0;
    SetColour foreground_ = DefaultColour{}, background_ = DefaultColour{};
    bool basicForeground_ = false;  // set by 30-37: bold brightens it
    bool bold_ = false, reverse_ = false;
    char32_t last_ = U' ';
    std::string ignored_;
    bool tooWide_ = false, tooTall_ = false;
};

Rgb Reader::resolve(const SetColour& colour, int fallback) const {
    if (const Rgb* rgb = std::get_if<Rgb>(&colour)) return *rgb;
    if (const int* index = std::get_if<int>(&colour)) return indexed(*index);
    return indexed(fallback);
}

bool Reader::put(char32_t character) {
    if (column_ >= maxPrintedSide) return tooWide_ = true, false;
    if (row_ >= maxPrintedSide) return tooTall_ = true, false;
    if (rows_.size() <= static_cast<std::size_t>(row_)) rows_.resize(static_cast<std::size_t>(row_) + 1);
    std::vector<ColouredCell>& line = rows_[static_cast<std::size_t>(row_)];
    const auto at = static_cast<std::size_t>(column_);
    if (line.size() <= at) line.resize(at + 1, blank());
    SetColour fg = foreground_;
    if (bold_ && basicForeground_) {
        if (const int* index = std::get_if<int>(&fg); index != nullptr && *index < 8) fg = *index + 8;
    }
    Rgb front = resolve(fg, defaultForeground), back = resolve(background_, defaultBackground);
    if (reverse_) std::swap(front, back);
    line[at] = {character, front, back};
    ++column_;
    return true;
}

void Reader::selectGraphics(const std::vector<long>& p) {
    for (std::size_t i = 0; i < p.size();) {
        const long code = p[i++];
        if (code == 0) {
            foreground_ = background_ = DefaultColour{};
            basicForeground_ = bold_ = reverse_ = false;
        } else if (code == 1 || code == 22) {
            bold_ = code == 1;
        } else if (code == 7 || code == 27) {
            reverse_ = code == 7;
        } else if ((code >= 30 && code <= 37) || (code >= 90 && code <= 97)) {
            foreground_ = static_cast<int>(code < 90 ? code - 30 : code - 82);
            basicForeground_ = code < 90;
        } else if (code == 39) {
            foreground_ = DefaultColour{};
            basicForeground_ = false;
        } else if ((code >= 40 && code <= 47) || (code >= 100 && code <= 107)) {
            background_ = static_cast<int>(code < 100 ? code - 40 : code - 92);
        } else if (code == 49) {
            background_ = DefaultColour{};
        } else if (code == 38 || code == 48) {
            std::optional<SetColour> colour;
            if (i + 1 < p.size() && p[i] == 5) {
                colour = static_cast<int>(p[i + 1] & 255);
                i += 2;
            } else if (i + 3 < p.size() && p[i] == 2) {
                const auto level = [](long v) { return static_cast<std::uint8_t>(std::min(v, 255L)); };
                colour = Rgb{level(p[i + 1]), level(p[i + 2]), level(p[i + 3])};
                i += 4;
            } else {
                return;
            }
            if (code == 38) {
                foreground_ = *colour;
                basicForeground_ = false;
            } else {
                background_ = *colour;
            }
        }
    }
}

// Reads the escape sequence at text[at] (an ESC); returns where it ends.
std::size_t Reader::escape(const std::u32string& text, std::size_t at) {
    const std::size_t n = text.size();
    std::size_t i = at + 1;
    if (i < n && text[i] == U'[') {
        std::size_t k = i + 1;
        while (k < n && text[k] >= 0x30 && text[k] <= 0x3F) ++k;
        const std::size_t paramsEnd = k;
        while (k < n && text[k] >= 0x20 && text[k] <= 0x2F) ++k;
        if (k < n && text[k] >= 0x40 && text[k] <= 0x7E) {
            const std::u32string_view params(text.data() + i + 1, paramsEnd - i - 1);
            const char32_t final = text[k];
            const auto number = [](std::u32string_view digits, long fallback) {
                if (digits.empty()) return fallback;
                long value = 0;
                for (const char32_t d : digits) {
                    if (d < U'0' || d > U'9') return fallback;
                    value = std::min(value * 10 + static_cast<long>(d - U'0'), 1L << 30);
                }
                return value;
            };
            if (final == U'm' && (params.empty() || params.front() != U'?')) {
                std::vector<long> codes;
                std::size_t start = 0;
                for (std::size_t j = 0; j <= params.size(); ++j) {
                    if (j == params.size() || params[j] == U';' || params[j] == U':') {
                        codes.push_back(number(params.substr(start, j - start), 0));
                        start = j + 1;
                    }
                }
                selectGraphics(codes);
            } else if (final == U'b' || final == U'C') {
                const long count = number(params, 1);
                if (final == U'C') column_ = std::min<long>(column_ + count, maxPrintedSide);
                for (long c = 0; final == U'b' && c < count && put(last_); ++c) {
                }
            } else if (std::u32string_view(U"ABDEFGHJKdf").find(final) != std::u32string_view::npos &&
                       ignored_.find(static_cast<char>(final)) == std::string::npos) {
                ignored_.push_back(static_cast<char>(final));
            }
            return k + 1;
        }
    }
    if (i < n && text[i] == U']') {  // OSC, to BEL or ST
        std::size_t k = i + 1;
        while (k < n && text[k] != 0x07 && text[k] != 0x1B) ++k;
        if (k < n && text[k] == 0x07) return k + 1;
        if (k + 1 < n && text[k] == 0x1B && text[k + 1] == U'\\') return k + 2;
        return k;
    }
    if (i < n && (text[i] == U'P' || text[i] == U'X' || text[i] == U'^' || text[i] == U'_')) {  // to ST
        for (std::size_t k = i + 1; k + 1 < n; ++k) {
            if (text[k] == 0x1B && text[k + 1] == U'\\') return k + 2;
        }
        return n;
    }
    while (i < n && text[i] >= 0x20 && text[i] <= 0x2F) ++i;
    return std::min(i + 1, n);
}

void Reader::read(const std::u32string& text) {
    for (std::size_t i = 0; i < text.size() && !tooWide_ && !tooTall_;) {
        const char32_t c = text[i];
        if (c == 0x1B) {
            i = escape(text, i);
            continue;
        }
        ++i;
        if (c == U'\n') {
            row_ = std::min<long>(row_ + 1, maxPrintedSide);
            column_ = 0;
        } else if (c == U'\r') {
            column_ = 0;
        } else if (c == U'\t') {
            column_ = std::min<long>((column_ / 8 + 1) * 8, maxPrintedSide);
        } else if (c >= 0x20 && c != 0x7F) {
            put(c);
            last_ = c;
        }
    }
}

std::string Reader::finish(PrintedCells& out) {
    while (!rows_.empty() && rows_.back().empty()) rows_.pop_back();
    if (tooWide_) return "more than " + std::to_string(maxPrintedSide) + " columns";
    if (tooTall_) return "more than " + std::to_string(maxPrintedSide) + " rows";
    std::size_t width = 0;
    for (const auto& line : rows_) width = std::max(width, line.size());
    if (width == 0) return "no cells";
    PrintedCells result;
    result.columns = static_cast<int>(width);
    result.rows = static_cast<int>(rows_.size());
    result.cells.reserve(width * rows_.size());
    for (auto& line : rows_) {
        line.resize(width, blank());
        result.cells.insert(result.cells.end(), line.begin(), line.end());
    }
    result.ignoredSequences = ignored_;
    out = std::move(result);
    return {};
}

}  // namespace

std::string readPrintedCells(std::string_view text, const Palette& palette, PrintedCells& out) {
    Reader reader(palette);
    reader.read(decodeUtf8(text));
    return reader.finish(out);
}

}  // namespace vantrel
