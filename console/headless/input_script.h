// Scripted mouse input for the headless host: lines of "FRAME X Y BUTTONS".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// From frame `frame` on (counted from 1) the cursor is at (x, y) and exactly
// these buttons are down.
struct ScriptedInput {
    std::uint32_t frame;
    std::int32_t x;
    std::int32_t y;
    bool left;
    bool right;
    bool middle;
};

// Reads a script in pieces of any size, one line at a time through a fixed
// buffer, so that memory stays bounded whatever the input is: one entry per
// line, fields separated by blanks; BUTTONS is any of L, R and M, each at most
// once, or '-' for none; '#' starts a comment; blank lines are skipped; frames
// must increase from line to line; a line may hold at most maxLineBytes bytes.
class InputScriptParser {
public:
    static constexpr std::size_t maxLineBytes = 4096;

    // Entries are appended to `inputs`; those for frames after `lastFrame`
    // are checked but not kept.
    explicit InputScriptParser(std::vector<ScriptedInput>& inputs, std::uint64_t lastFrame = UINT64_MAX);

    // Takes the next bytes of the script. Returns false once a line is
    // malformed; error() then says "line N: what is wrong", quoting at most a
    // few dozen bytes of it, and further bytes are ignored.
    bool feed(const char* bytes, std::size_t size);
    // The end of the script: parses a last line that has no newline.
    bool finish();

    const std::string& error() const { return error_; }

private:
    bool endLine();

    std::vector<ScriptedInput>& inputs_;
    std::uint64_t lastFrame_;
    std::uint64_t lineNumber_ = 1;
    std::uint64_t previousFrame_ = 0;  // 0: no entry yet
    std::size_t length_ = 0;
    std::string error_;
    char line_[maxLineBytes];
};

// Parses a whole script held in memory (the parser above, fed at once);
// returns an empty string on success, else what error() says.
std::string parseInputScript(std::string_view text, std::vector<ScriptedInput>& inputs);

}  // namespace vantrel
