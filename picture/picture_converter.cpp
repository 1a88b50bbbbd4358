#include "vantrel/picture_converter.h"

#include <algorithm>
#include <cstdint>

namespace vantrel {

namespace {

// The most room the samples of one band of cell rows take: well within a
// core's second-level cache.
constexpr std::size_t bandBytes = std::size_t{1} << 18;

}  // namespace

PictureConverter::PictureConverter(std::unique_ptr<PictureRenderer> renderer) : renderer_(std::move(renderer)) {}

CellCount PictureConverter::samplesFor(CellCount cells) const {
    const SamplesPerCell per = renderer_->samplesPerCell();
    return {cells.columns * per.across, cells.rows * per.down};
}

bool PictureConverter::convert(const ByteImage& picture, const MosaicGrid& cells) {
    if (!picture.valid() || !cells.valid() || cells.width < 1 || cells.height < 1) return false;
    // The samples must be countable in 32 bits each way.
    const SamplesPerCell per = renderer_->samplesPerCell();
    if (std::int64_t{cells.width} * per.across > INT32_MAX || std::int64_t{cells.height} * per.down > INT32_MAX) {
        return false;
    }
    const CellCount samples = samplesFor({cells.width, cells.height});
    scaler_.setSizes(picture.width, picture.height, samples.columns, samples.rows);
    // A renderer whose rows of cells stand apart gets the grid a band of
    // rows at a time, each band's samples made just before: the samples
    // then take a band's room, not the whole grid's (3 MB for 80x50 mosaic
    // cells, memory that costs more to make ready than to fill), and stay
    // in the cache between scaling and rendering.
    const std::size_t rowBytes = static_cast<std::size_t>(samples.columns) * per.down * sizeof(LinearRgb);
    const int band = renderer_->independentRows()
                         ? static_cast<int>(std::clamp<std::size_t>(bandBytes / rowBytes, 1, static_cast<std::size_t>(cells.height)))
                         : cells.height;
    const std::size_t count = static_cast<std::size_t>(samples.columns) * static_cast<std::size_t>(band) * per.down;
    if (samples_.size() != count) samples_.assign(count, LinearRgb{0, 0, 0});
    for (int first = 0; first < cells.height; first += band) {
        const int rows = std::min(band, cells.height - first);
        if (!scaler_.scaleLinear(picture, samples_.data(), samples.columns, first * per.down, rows * per.down) ||
            !renderer_->render({samples_.data(), samples.columns, rows * per.down, samples.columns},
                               {cells.row(first), cells.width, rows, cells.pitch})) {
            return false;
        }
    }
    return true;
}

}  // namespace vantrel
