// The path from a picture's pixels to what the terminal shows: area
// averaging in linear light onto the renderer's pixel grid, then the shade
// or glyph renderer (through luma for glyph, with or without error
// diffusion), or two colours a cell for the blocks renderer. Built once;
// converting allocates nothing unless the sizes change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "vantrel/glyph_renderer.h"
#include "vantrel/shade_renderer.h"
#include "tools/view/area_scaler.h"
#include "tools/view/error_diffusion.h"
#include "tools/view/picture_fit.h"
#include "tools/view/shade_lookup.h"
#include "tools/view/shown_picture.h"

namespace vantrel {

class PictureConverter {
public:
    // Builds the renderer's table.
    PictureConverter(RendererKind renderer, BlockSize block, bool dither);

    // A picture of width x height pixels shown on `cells`; allocates.
    void setSizes(int width, int height, CellCount cells);
    // The pixel grid the picture is scaled to.
    int sampleWidth() const { return sampleWidth_; }
    int sampleHeight() const { return sampleHeight_; }

    // Converts a picture of the size set (3 bytes a pixel, rows rowBytes apart).
    const ShownPicture& convert(const std::uint8_t* rgb, std::ptrdiff_t rowBytes);
    const ShownPicture& shown() const { return shown_; }

private:
    RendererKind renderer_;
    BlockSize block_;
    std::unique_ptr<ShadeRenderer> shade_;
    std::unique_ptr<GlyphRenderer> glyph_;
    std::unique_ptr<ShadeLookup> lookup_;  // shade, one pixel a cell
    std::optional<ErrorDiffusion> diffusion_;
    AreaScaler scaler_;
    int sampleWidth_ = 0;
    int sampleHeight_ = 0;
    std::vector<Pixel> samples_;
    ShownPicture shown_;
};

// The pixels a renderer reads for a grid of cells: columns and rows times
// the block for shade and glyph, two per cell down for blocks.
CellCount samplesFor(RendererKind renderer, BlockSize block, CellCount cells);

}  // namespace vantrel
