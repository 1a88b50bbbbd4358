// "Show this picture in this many cells": the caller's RGB or RGBA pixels,
// of any size and stride, area-averaged in linear light onto the samples of
// one picture renderer (pixels with alpha laid over a background colour
// first), then turned by it into the caller's grid of mosaic cells.
//
//     vantrel::PictureConverter converter(
//         vantrel::makeShadeRenderer(mode, vantrel::vgaPalette(), vantrel::BlockSize::one, true));
//     const vantrel::CellCount size = vantrel::fitPicture(width, height, {80});
//     std::vector<vantrel::MosaicCell> cells(size.columns * size.rows);
//     converter.convert({rgba, width, height, width * 4, vantrel::PixelLayout::rgba},
//                       {cells.data(), size.columns, size.rows, size.columns});
//
// The scratch space is made when the picture's or the grid's size changes;
// converting frame after frame of one size allocates nothing.
#pragma once

#include <memory>
#include <vector>

#include "vantrel/area_scaler.h"
#include "vantrel/byte_image.h"
#include "vantrel/mosaic_grid.h"
#include "vantrel/picture_fit.h"
#include "vantrel/picture_renderer.h"

namespace vantrel {

class PictureConverter {
public:
    // Takes the renderer (not null) for good.
    explicit PictureConverter(std::unique_ptr<PictureRenderer> renderer);

    // The colour under transparent pixels; black until set.
    void setBackground(Rgb background) { scaler_.setBackground(toLinear(background)); }

    // The samples the renderer reads for a grid of `cells`: what a decoder
    // that can reduce a picture while reading it need not go below.
    CellCount samplesFor(CellCount cells) const;

    // Converts `picture` into every cell of `cells`. False, writing
    // nothing, when either is invalid or empty, or the grid's samples would
    // not count in 32 bits.
    bool convert(const ByteImage& picture, const MosaicGrid& cells);

    const PictureRenderer& renderer() const { return *renderer_; }

private:
    std::unique_ptr<PictureRenderer> renderer_;
    AreaScaler scaler_;
    std::vector<LinearRgb> samples_;
};

}  // namespace vantrel
