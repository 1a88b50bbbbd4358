// What the terminal shows of a video, full-screen: the cell renderers
// through the diffing frame encoder, the blocks renderer as mosaic cells
// through the mosaic encoder.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/frame_encoder.h"
#include "vantrel/mosaic_encoder.h"
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
        if (!blocks_) return cells_->encode({shown.cells.data(), shown.columns, shown.rows, shown.columns});
        halfBlockCells(shown, halfBlocks_->colourMode(), blockCells_);
        return halfBlocks_->encode({blockCells_.data(), shown.columns, shown.rows, shown.columns});
    }

private:
    bool blocks_;
    std::optional<FrameEncoder> cells_;
    std::optional<MosaicEncoder> halfBlocks_;
    std::vector<MosaicCell> blockCells_;
};

}  // namespace vantrel
