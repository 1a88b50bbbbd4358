// The OSC sequence that sets a terminal window's title.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel {

// Writes "ESC ] 2 ; title ESC \" into `out` and returns its length. Control
// characters are dropped, since they could end or break the sequence; a
// title too long for `capacity` is cut, never in the middle of a UTF-8
// character. `capacity` must be at least 6.
std::size_t writeTitleSequence(std::string_view utf8Title, char* out, std::size_t capacity);

}  // namespace vantrel
