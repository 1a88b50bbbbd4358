// Scripted mouse input for the headless host: lines of "FRAME X Y BUTTONS".
#pragma once

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

// Parses a whole script: one entry per line, fields separated by blanks;
// BUTTONS is any of L, R and M, each at most once, or '-' for none; '#' starts
// a comment; blank lines are skipped; frames must increase from line to line.
// On a malformed line returns "line N: what is wrong" (`inputs` then holds
// the lines before it); on success returns an empty string.
std::string parseInputScript(std::string_view text, std::vector<ScriptedInput>& inputs);

}  // namespace vantrel
