// libFuzzer target for the headless host's input script parser. The script is
// parsed whole and again fed in pieces whose sizes come from the data; both
// must agree, the entries must be sane, and an error must be one short line
// of printable ASCII whatever bytes the script holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "console/headless/input_script.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptedInput> whole;
    const std::string error = parseInputScript(text, whole);

    std::vector<ScriptedInput> pieces;
    InputScriptParser parser(pieces);
    std::size_t i = 0;
    for (std::size_t step = 1; i < size; step = step * 7 % 8191 + 1) {
        const std::size_t length = step < size - i ? step : size - i;
        parser.feed(text.data() + i, length);
        i += length;
    }
    parser.finish();
    if (parser.error() != error || pieces.size() != whole.size()) std::abort();

    std::uint32_t previous = 0;
    for (std::size_t k = 0; k < whole.size(); ++k) {
        const ScriptedInput& a = whole[k];
        const ScriptedInput& b = pieces[k];
        if (a.frame <= previous || a.frame != b.frame || a.x != b.x || a.y != b.y) std::abort();
        if (a.left != b.left || a.right != b.right || a.middle != b.middle) std::abort();
        previous = a.frame;
    }
    if (!error.empty()) {
        if (error.rfind("line ", 0) != 0 || error.size() > 512) std::abort();
        for (const char c : error) {
            if (c < 0x20 || c > 0x7E) std::abort();
        }
    }
    return 0;
}
