#include "vantrel/mosaic_renderer.h"

#include <cstdint>

#include "mosaic_diffusion.h"
#include "mosaic_search.h"

namespace vantrel {

namespace {

// The share of each cell's error carried on. All of it brings the colour of
// larger areas nearest the picture but sprinkles noise over flat ones; half
// keeps most of the first and little of the second.
constexpr float carriedShare = 0.5f;

}  // namespace

MosaicSymbols defaultMosaicSymbols(ColourMode mode, bool eightBackgrounds) {
    if (mode == ColourMode::ansi16 && eightBackgrounds) {
        return MosaicSymbols::half | MosaicSymbols::sideHalves | MosaicSymbols::shade;
    }
    const MosaicSymbols shapes = MosaicSymbols::half | MosaicSymbols::quad | MosaicSymbols::eighths;
    return mode == ColourMode::ansi16 ? shapes | MosaicSymbols::shade : shapes;
}

bool parseMosaicSymbols(std::string_view text, MosaicSymbols& symbols) {
    unsigned set = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        if (name == "half") set |= static_cast<unsigned>(MosaicSymbols::half);
        else if (name == "quad") set |= static_cast<unsigned>(MosaicSymbols::quad);
        else if (name == "eighths") set |= static_cast<unsigned>(MosaicSymbols::eighths);
        else if (name == "sextant") set |= static_cast<unsigned>(MosaicSymbols::sextant);
        else if (name == "shade") set |= static_cast<unsigned>(MosaicSymbols::shade);
        else return false;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    symbols = static_cast<MosaicSymbols>(set);
    return true;
}

struct MosaicRenderer::Tables {
    explicit Tables(const MosaicOptions& o) : search(o), diffusion(carriedShare) {
        options = o;
        if (static_cast<unsigned>(options.symbols) == 0) {
            options.symbols = defaultMosaicSymbols(options.mode, options.eightBackgrounds);
        }
        diffuse = options.diffuse && options.mode != ColourMode::truecolor;
    }
    MosaicOptions options;
    MosaicSearch search;
    MosaicDiffusion diffusion;
    bool diffuse = false;
};

MosaicRenderer::MosaicRenderer(const MosaicOptions& options) : tables_(std::make_unique<Tables>(options)) {}
MosaicRenderer::~MosaicRenderer() = default;
MosaicRenderer::MosaicRenderer(MosaicRenderer&&) noexcept = default;
MosaicRenderer& MosaicRenderer::operator=(MosaicRenderer&&) noexcept = default;

const MosaicOptions& MosaicRenderer::options() const { return tables_->options; }
bool MosaicRenderer::diffuses() const { return tables_->diffuse; }

void MosaicRenderer::setSize(int columns, int /*rows*/) {
    if (columns > 0 && tables_->diffuse) tables_->diffusion.reserve(columns);
}

bool MosaicRenderer::convert(const LinearRgb* samples, std::ptrdiff_t sampleStride, int columns, int rows,
                             MosaicCell* cells, std::ptrdiff_t cellStride) {
    if (samples == nullptr || cells == nullptr || columns < 1 || rows < 1 || cellStride < columns ||
        sampleStride / sampleColumns < columns) {
        return false;
    }
    const MosaicSearch& search = tables_->search;
    if (!tables_->diffuse) {
        for (int r = 0; r < rows; ++r) {
            const LinearRgb* row = samples + static_cast<std::ptrdiff_t>(r) * sampleRows * sampleStride;
            MosaicCell* out = cells + r * cellStride;
            search.chooseRow(row, sampleStride, columns, out);
        }
        return true;
    }
    setSize(columns, rows);
    tables_->diffusion.run(samples, sampleStride, columns, rows,
                           [&](int c, int r, const LinearRgb* wanted, LinearRgb* shown) {
                               const MosaicSearch::Choice choice = search.choose(wanted, sampleColumns);
                               cells[r * cellStride + c] = choice.cell;
                               const auto& ink = search.inkOf(choice.symbol);
                               const Vec3 f = choice.foreground, b = choice.background;
                               for (std::size_t k = 0; k < ink.size(); ++k) {
                                   const float t = ink[k];
                                   shown[k] = {b.x + t * (f.x - b.x), b.y + t * (f.y - b.y), b.z + t * (f.z - b.z)};
                               }
                           });
    return true;
}

}  // namespace vantrel
