#include "vantrel/picture_converter.h"

#include <cstdint>

namespace vantrel {

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
    const std::size_t count = static_cast<std::size_t>(samples.columns) * static_cast<std::size_t>(samples.rows);
    if (samples_.size() != count) samples_.assign(count, LinearRgb{0, 0, 0});
    if (!scaler_.scaleLinear(picture, samples_.data(), samples.columns)) return false;
    return renderer_->render({samples_.data(), samples.columns, samples.rows, samples.columns}, cells);
}

}  // namespace vantrel
