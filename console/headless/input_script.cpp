#include "console/headless/input_script.h"

#include <charconv>
#include <cstring>

#include "tools/quoted_bytes.h"

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

std::string lineError(std::uint64_t lineNumber, std::string_view message) {
    return "line " + std::to_string(lineNumber) + ": " + std::string(message);
}

}  // namespace

InputScriptParser::InputScriptParser(std::vector<ScriptedInput>& inputs, std::uint64_t lastFrame)
    : inputs_(inputs), lastFrame_(lastFrame) {}

bool InputScriptParser::feed(const char* bytes, std::size_t size) {
    while (size > 0 && error_.empty()) {
        const auto* newline = static_cast<const char*>(std::memchr(bytes, '\n', size));
        const std::size_t piece = newline == nullptr ? size : static_cast<std::size_t>(newline - bytes);
        if (piece > maxLineBytes - length_) {
            error_ = lineError(lineNumber_, "longer than " + std::to_string(maxLineBytes) + " bytes");
            return false;
        }
        std::memcpy(line_ + length_, bytes, piece);
        length_ += piece;
        if (newline == nullptr) break;
        bytes += piece + 1;
        size -= piece + 1;
        if (!endLine()) return false;
    }
    return error_.empty();
}

bool InputScriptParser::finish() {
    if (error_.empty() && length_ > 0) endLine();
    return error_.empty();
}

bool InputScriptParser::endLine() {
    std::string_view line(line_, length_);
    const std::uint64_t number = lineNumber_++;
    length_ = 0;
    line = line.substr(0, line.find('#'));

    std::string_view fields[4];
    const int count = splitFields(line, fields, 4);
    if (count == 0) return true;
    if (count != 4) {
        error_ = lineError(number, "expected FRAME X Y BUTTONS, found " + std::to_string(count) +
                                       (count == 1 ? " field" : " fields"));
        return false;
    }
    ScriptedInput input{};
    if (!parseInteger(fields[0], input.frame) || input.frame == 0) {
        error_ = lineError(number, "FRAME must be a whole number from 1 to 4294967295, not " + quotedInput(fields[0]));
    } else if (!parseInteger(fields[1], input.x) || !parseInteger(fields[2], input.y)) {
        error_ = lineError(number, "X and Y must be 32-bit integers, not " + quotedInput(fields[1]) + " and " +
                                       quotedInput(fields[2]));
    } else if (!parseButtons(fields[3], input)) {
        error_ = lineError(number, "BUTTONS must be '-' or letters from L, R and M, each at most once, not " +
                                       quotedInput(fields[3]));
    } else if (input.frame <= previousFrame_) {
        error_ = lineError(number, "frame " + std::to_string(input.frame) + " does not come after frame " +
                                       std::to_string(previousFrame_));
    }
    if (!error_.empty()) return false;
    previousFrame_ = input.frame;
    if (input.frame <= lastFrame_) inputs_.push_back(input);
    return true;
}

std::string parseInputScript(std::string_view text, std::vector<ScriptedInput>& inputs) {
    inputs.clear();
    InputScriptParser parser(inputs);
    if (parser.feed(text.data(), text.size())) parser.finish();
    return parser.error();
}

}  // namespace vantrel
