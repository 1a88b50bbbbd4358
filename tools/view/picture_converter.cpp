#include "tools/view/picture_converter.h"

#include "vantrel/luma.h"
#include "vantrel/seen_colour.h"

namespace vantrel {

namespace {

// The glyph table with the printable characters only, as the demo builds it.
constexpr std::int32_t printableOnly = GlyphRenderer::printableAscii;

}  // namespace

CellCount samplesFor(RendererKind renderer, BlockSize block, CellCount cells) {
    if (renderer == RendererKind::blocks) return {cells.columns, cells.rows * 2};
    const int b = static_cast<int>(block);
    return {cells.columns * b, cells.rows * b};
}

PictureConverter::PictureConverter(RendererKind renderer, BlockSize block, bool dither)
    : renderer_(renderer), block_(block) {
    shown_.renderer = renderer;
    if (renderer == RendererKind::shade) {
        shade_ = std::make_unique<ShadeRenderer>();
        shade_->buildTable(0);
        if (block == BlockSize::one) lookup_ = std::make_unique<ShadeLookup>(*shade_);
    } else if (renderer == RendererKind::glyph) {
        glyph_ = std::make_unique<GlyphRenderer>();
        glyph_->buildTable(printableOnly);
    }
    if (!dither || renderer == RendererKind::blocks) return;
    const BlockSize b = block_;
    if (shade_) {
        const ShadeRenderer* shade = shade_.get();
        ShadeLookup* lookup = lookup_.get();
        diffusion_.emplace(
            [shade, lookup, b](const PixelImage& pixels) {
                Cell cell = 0;
                if (lookup != nullptr) {
                    const Pixel input = lookup->input(pixels.pixels[0]);
                    shade->convert(PixelImage{&input, 1, 1, 1}, b, CellGrid{&cell, 1, 1, 1});
                } else {
                    shade->convert(pixels, b, CellGrid{&cell, 1, 1, 1});
                }
                return cell;
            },
            false, 1.0f);
    } else {
        const GlyphRenderer* glyph = glyph_.get();
        // The brightest the glyph renderer shows: its full block, light grey.
        const float brightest = seenColourLinear(glyph->colourToCell(255, 255, 255)).green;
        diffusion_.emplace(
            [glyph, b](const PixelImage& pixels) {
                Cell cell = 0;
                glyph->convert(pixels, b, CellGrid{&cell, 1, 1, 1});
                return cell;
            },
            true, brightest);
    }
}

void PictureConverter::setSizes(int width, int height, CellCount cells) {
    const CellCount samples = samplesFor(renderer_, block_, cells);
    sampleWidth_ = samples.columns;
    sampleHeight_ = samples.rows;
    scaler_.setSizes(width, height, sampleWidth_, sampleHeight_);
    samples_.assign(static_cast<std::size_t>(sampleWidth_) * sampleHeight_, Pixel{});
    shown_.columns = cells.columns;
    shown_.rows = cells.rows;
    const std::size_t count = static_cast<std::size_t>(cells.columns) * cells.rows;
    if (renderer_ == RendererKind::blocks) {
        shown_.halves.assign(count * 2, Rgb{});
        shown_.cells.clear();
    } else {
        shown_.cells.assign(count, Cell{0});
        shown_.halves.clear();
    }
    if (diffusion_) diffusion_->setSize(cells.columns, cells.rows, block_);
}

const ShownPicture& PictureConverter::convert(const std::uint8_t* rgb, std::ptrdiff_t rowBytes) {
    scaler_.scale(rgb, rowBytes, samples_.data(), sampleWidth_);
    if (renderer_ == RendererKind::blocks) {
        for (std::size_t i = 0; i < samples_.size(); ++i) {
            shown_.halves[i] = Rgb{samples_[i].red, samples_[i].green, samples_[i].blue};
        }
        return shown_;
    }
    const PixelImage image{samples_.data(), sampleWidth_, sampleHeight_, sampleWidth_};
    if (glyph_) lumaToGreen(image, samples_.data(), sampleWidth_);
    if (diffusion_) {
        diffusion_->convert(samples_.data(), sampleWidth_, shown_.cells.data());
        return shown_;
    }
    const CellGrid grid{shown_.cells.data(), shown_.columns, shown_.rows, shown_.columns};
    if (shade_) {
        if (lookup_) {
            for (Pixel& p : samples_) p = lookup_->input(p);
        }
        shade_->convert(image, block_, grid);
    } else {
        glyph_->convert(image, block_, grid);
    }
    return shown_;
}

}  // namespace vantrel
