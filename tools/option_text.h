// Pieces of command lines that the tools share.
#pragma once

#include <charconv>
#include <string_view>

// The whole of `text` as a number (no sign other than '-', no spaces, no
// rest); false when it is not one or is out of range.
template <class Number>
bool parseWhole(std::string_view text, Number& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return !text.empty() && error == std::errc{} && end == last;
}

// "--name=value" or "--name" (whose value, if it takes one, is the next
// argument).
struct OptionArgument {
    std::string_view name;
    std::string_view value;
    bool hasValue = false;
};

inline OptionArgument splitOption(std::string_view arg) {
    const std::size_t equals = arg.find('=');
    if (equals == std::string_view::npos) return {arg, {}, false};
    return {arg.substr(0, equals), arg.substr(equals + 1), true};
}
