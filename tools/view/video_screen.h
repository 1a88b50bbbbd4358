// What the terminal shows of a video, full-screen: the cell renderers
// through the diffing frame encoder, the blocks renderer through the
// half-block encoder.
#pragma once

#include <optional>
#include <string_view>

#include "vantrel/frame_encoder.h"
#include "vantrel/half_blocks.h"
#include "tools/view/shown_picture.h"

namespace vantrel {

class VideoScreen {
public:
    VideoScreen(RendererKind renderer, ColourMode mode) : blocks_(renderer == RendererKind::blocks) {
        if (blocks_) {
            halfBlocks_.emplace(mode, FrameLayout{});
        } else {
            cells_.emplace(mode, FrameLayout{});
        }
    }
    void setLayout(const FrameLayout& layout) {
        if (blocks_) {
            halfBlocks_->setLayout(layout);
        } else {
            cells_->setLayout(layout);
        }
    }
    void forgetScreen() {
        if (blocks_) {
            halfBlocks_->forgetScreen();
        } else {
            cells_->forgetScreen();
        }
    }
    std::string_view encode(const ShownPicture& shown) {
        return blocks_ ? halfBlocks_->encode(shown.halves.data(), shown.rows * 2, shown.columns)
                       : cells_->encode(shown.cells.data(), shown.columns);
    }

private:
    bool blocks_;
    std::optional<FrameEncoder> cells_;
    std::optional<HalfBlockEncoder> halfBlocks_;
};

}  // namespace vantrel
