#include "tools/view/half_block_output.h"

namespace vantrel {

bool blocksOnTerminal() { return false; }

std::error_code printHalfBlocks(int, const ShownPicture&, ColourMode) {
    return std::make_error_code(std::errc::function_not_supported);
}

HalfBlockScreen::HalfBlockScreen(ColourMode, const FrameLayout&) {}
void HalfBlockScreen::setLayout(const FrameLayout&) {}
void HalfBlockScreen::forgetScreen() {}
std::string_view HalfBlockScreen::encode(const ShownPicture&) { return {}; }

}  // namespace vantrel
