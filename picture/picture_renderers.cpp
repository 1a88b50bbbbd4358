#include "vantrel/picture_renderers.h"

#include <array>
#include <optional>
#include <vector>

#include "picture/srgb_encoding.h"
#include "vantrel/cell_colours.h"
#include "vantrel/cp437_unicode.h"
#include "vantrel/error_diffusion.h"
#include "vantrel/glyph_renderer.h"
#include "vantrel/luma.h"
#include "vantrel/shade_lookup.h"
#include "vantrel/shade_renderer.h"

namespace vantrel {

namespace {

bool samplesFit(const LinearImage& samples, const MosaicGrid& cells, SamplesPerCell per) {
    return samples.valid() && cells.valid() && static_cast<std::int64_t>(cells.width) * per.across == samples.width &&
           static_cast<std::int64_t>(cells.height) * per.down == samples.height;
}

// The cell renderers read sRGB pixels: the samples encoded, into scratch
// space kept from frame to frame.
class ConsoleCellRenderer : public PictureRenderer {
public:
    ConsoleCellRenderer(ColourMode mode, BlockSize block) : mode_(mode), block_(block) {
        for (int c = 0; c < 16; ++c) told_[static_cast<std::size_t>(c)] = consoleColour(mode, c).value;
    }

    SamplesPerCell samplesPerCell() const override {
        const auto b = static_cast<std::int32_t>(block_);
        return {b, b};
    }
    ColourMode colourMode() const override { return mode_; }

    bool render(const LinearImage& samples, const MosaicGrid& cells) override {
        if (!samplesFit(samples, cells, samplesPerCell())) return false;
        const std::size_t pixelCount = static_cast<std::size_t>(samples.width) * static_cast<std::size_t>(samples.height);
        const std::size_t cellCount = static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height);
        if (pixels_.size() != pixelCount || consoleCells_.size() != cellCount) {
            pixels_.assign(pixelCount, Pixel{});
            consoleCells_.assign(cellCount, Cell{0});
            resized(cells.width, cells.height);
        }
        const SrgbEncoding& encoding = SrgbEncoding::table();
        for (std::int32_t y = 0; y < samples.height; ++y) {
            const LinearRgb* in = samples.row(y);
            Pixel* out = pixels_.data() + static_cast<std::ptrdiff_t>(y) * samples.width;
            for (std::int32_t x = 0; x < samples.width; ++x) {
                out[x] = Pixel{encoding.encode(in[x].red), encoding.encode(in[x].green), encoding.encode(in[x].blue), 0};
            }
        }
        const PixelImage image{pixels_.data(), samples.width, samples.height, samples.width};
        const CellGrid grid{consoleCells_.data(), cells.width, cells.height, cells.width};
        if (!convert(image, grid)) return false;
        for (std::int32_t row = 0; row < cells.height; ++row) {
            const Cell* in = consoleCells_.data() + static_cast<std::ptrdiff_t>(row) * cells.width;
            MosaicCell* out = cells.row(row);
            for (std::int32_t column = 0; column < cells.width; ++column) {
                const Cell c = in[column];
                out[column] = MosaicCell{cp437Unicode[cellCharacter(c)], told_[static_cast<std::size_t>(cellForeground(c))],
                                         told_[static_cast<std::size_t>(cellBackground(c))]};
            }
        }
        return true;
    }

protected:
    // The encoded samples (they may be changed in place) into console cells.
    virtual bool convert(const PixelImage& image, const CellGrid& grid) = 0;
    // The grid's size changed.
    virtual void resized(std::int32_t columns, std::int32_t rows) = 0;

    ColourMode mode_;
    BlockSize block_;
    std::array<std::uint32_t, 16> told_{};  // each console colour as told in the mode
    std::vector<Pixel> pixels_;
    std::vector<Cell> consoleCells_;
};

class ShadePicture final : public ConsoleCellRenderer {
public:
    ShadePicture(ColourMode mode, const Palette& palette, BlockSize block, bool dither)
        : ConsoleCellRenderer(mode, block), colours_(mode, palette) {
        shade_.buildTable(0);
        if (block == BlockSize::one) lookup_.emplace(shade_, colours_);
        if (!dither) return;
        diffusion_.emplace(
            [this](const PixelImage& pixels) {
                Cell cell = 0;
                if (lookup_) {
                    const Pixel input = lookup_->input(pixels.pixels[0]);
                    shade_.convert(PixelImage{&input, 1, 1, 1}, block_, CellGrid{&cell, 1, 1, 1});
                } else {
                    shade_.convert(pixels, block_, CellGrid{&cell, 1, 1, 1});
                }
                return cell;
            },
            colours_, false, 1.0f);
    }

private:
    bool convert(const PixelImage& image, const CellGrid& grid) override {
        if (diffusion_) {
            diffusion_->convert(image.pixels, image.stride, grid.cells);
            return true;
        }
        if (lookup_) {
            for (Pixel& p : pixels_) p = lookup_->input(p);
        }
        return shade_.convert(image, block_, grid);
    }
    void resized(std::int32_t columns, std::int32_t rows) override {
        if (diffusion_) diffusion_->setSize(columns, rows, block_);
    }

    ConsoleColours colours_;
    ShadeRenderer shade_;
    std::optional<ShadeLookup> lookup_;  // one sample a cell
    std::optional<ErrorDiffusion> diffusion_;
};

// The glyph table with the printable characters only, as the demo builds it.
constexpr std::int32_t printableOnly = GlyphRenderer::printableAscii;

class GlyphPicture final : public ConsoleCellRenderer {
public:
    GlyphPicture(ColourMode mode, BlockSize block, bool dither) : ConsoleCellRenderer(mode, block) {
        glyph_.buildTable(printableOnly);
        if (!dither) return;
        // Light is judged as the VGA console shows the glyphs' light grey on
        // black: the brightest the glyph renderer shows is its full block.
        const ConsoleColours vga(ColourMode::truecolor, vgaPalette());
        const float brightest = vga.seen(glyph_.colourToCell(255, 255, 255)).green;
        diffusion_.emplace(
            [this](const PixelImage& pixels) {
                Cell cell = 0;
                glyph_.convert(pixels, block_, CellGrid{&cell, 1, 1, 1});
                return cell;
            },
            vga, true, brightest);
    }

private:
    bool convert(const PixelImage& image, const CellGrid& grid) override {
        if (!lumaToGreen(image, pixels_.data(), image.stride)) return false;
        if (diffusion_) {
            diffusion_->convert(image.pixels, image.stride, grid.cells);
            return true;
        }
        return glyph_.convert(image, block_, grid);
    }
    void resized(std::int32_t columns, std::int32_t rows) override {
        if (diffusion_) diffusion_->setSize(columns, rows, block_);
    }

    GlyphRenderer glyph_;
    std::optional<ErrorDiffusion> diffusion_;
};

class MosaicPicture final : public PictureRenderer {
public:
    explicit MosaicPicture(const MosaicOptions& options) : mosaic_(options) {}

    SamplesPerCell samplesPerCell() const override {
        return {MosaicRenderer::sampleColumns, MosaicRenderer::sampleRows};
    }
    ColourMode colourMode() const override { return mosaic_.options().mode; }

    bool render(const LinearImage& samples, const MosaicGrid& cells) override {
        if (!samplesFit(samples, cells, samplesPerCell())) return false;
        return mosaic_.convert(samples.samples, samples.stride, cells.width, cells.height, cells.cells, cells.pitch);
    }
    bool independentRows() const override { return !mosaic_.diffuses(); }

private:
    MosaicRenderer mosaic_;
};

}  // namespace

std::unique_ptr<PictureRenderer> makeShadeRenderer(ColourMode mode, const Palette& palette, BlockSize block,
                                                   bool dither) {
    return std::make_unique<ShadePicture>(mode, palette, block, dither);
}

std::unique_ptr<PictureRenderer> makeGlyphRenderer(ColourMode mode, BlockSize block, bool dither) {
    return std::make_unique<GlyphPicture>(mode, block, dither);
}

std::unique_ptr<PictureRenderer> makeMosaicRenderer(const MosaicOptions& options) {
    return std::make_unique<MosaicPicture>(options);
}

}  // namespace vantrel
