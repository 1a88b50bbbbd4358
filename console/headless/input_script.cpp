#include "console/headless/input_script.h"

#include <charconv>

namespace vantrel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits a line into blank-separated fields; returns the field count, which
// may exceed the room in `fields`.
int splitFields(std::string_view line, std::string_view* fields, int room) {
    int count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i == line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (count < room) fields[count] = line.substr(start, i - start);
        ++count;
    }
    return count;
}

template <class Int>
bool parseInteger(std::string_view text, Int& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc{} && end == last;
}

bool parseButtons(std::string_view text, ScriptedInput& input) {
    input.left = input.right = input.middle = false;
    if (text == "-") return true;
    for (const char c : text) {
        bool* button = c == 'L' ? &input.left : c == 'R' ? &input.right : c == 'M' ? &input.middle : nullptr;
        if (button == nullptr || *button) return false;
        *button = true;
    }
    return true;
}

std::string lineError(std::size_t lineNumber, std::string_view message) {
    return "line " + std::to_string(lineNumber) + ": " + std::string(message);
}

}  // namespace

std::string parseInputScript(std::string_view text, std::vector<ScriptedInput>& inputs) {
    inputs.clear();
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        line = line.substr(0, line.find('#'));

        std::string_view fields[4];
        const int count = splitFields(line, fields, 4);
        if (count == 0) continue;
        if (count != 4) {
            return lineError(lineNumber, "expected FRAME X Y BUTTONS, found " + std::to_string(count) +
                                             (count == 1 ? " field" : " fields"));
        }
        ScriptedInput input{};
        if (!parseInteger(fields[0], input.frame) || input.frame == 0) {
            return lineError(lineNumber, "FRAME must be a whole number from 1 to 4294967295, not '" +
                                             std::string(fields[0]) + "'");
        }
        if (!parseInteger(fields[1], input.x) || !parseInteger(fields[2], input.y)) {
            return lineError(lineNumber, "X and Y must be 32-bit integers, not '" + std::string(fields[1]) +
                                             "' and '" + std::string(fields[2]) + "'");
        }
        if (!parseButtons(fields[3], input)) {
            return lineError(lineNumber, "BUTTONS must be '-' or letters from L, R and M, each at most once, not '" +
                                             std::string(fields[3]) + "'");
        }
        if (!inputs.empty() && input.frame <= inputs.back().frame) {
            return lineError(lineNumber, "frame " + std::to_string(input.frame) + " does not come after frame " +
                                             std::to_string(inputs.back().frame));
        }
        inputs.push_back(input);
    }
    return {};
}

}  // namespace vantrel
