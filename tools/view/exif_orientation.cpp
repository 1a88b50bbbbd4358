#include "tools/view/exif_orientation.h"

#include <cstring>

namespace vantrel {

namespace {

// Reads the TIFF block's numbers in its own byte order.
struct TiffBytes {
    const std::uint8_t* data;
    std::size_t size;
    bool bigEndian;

    bool has(std::uint64_t offset, std::uint64_t length) const { return offset <= size && length <= size - offset; }
    unsigned u16(std::size_t at) const {
        return bigEndian ? unsigned{data[at]} << 8 | data[at + 1] : unsigned{data[at + 1]} << 8 | data[at];
    }
    std::uint32_t u32(std::size_t at) const {
        return bigEndian ? std::uint32_t{u16(at)} << 16 | u16(at + 2) : std::uint32_t{u16(at + 2)} << 16 | u16(at);
    }
};

constexpr unsigned orientationTag = 0x0112;
constexpr unsigned typeShort = 3;
constexpr std::size_t entryBytes = 12;

}  // namespace

int exifOrientation(const std::uint8_t* segment, std::size_t size) {
    static constexpr char exifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (segment == nullptr || size < sizeof exifId || std::memcmp(segment, exifId, sizeof exifId) != 0) return 1;
    TiffBytes tiff{segment + sizeof exifId, size - sizeof exifId, false};
    // The header: "II" (little-endian) or "MM" (big-endian), 42, the first IFD's offset.
    if (!tiff.has(0, 8)) return 1;
    if (tiff.data[0] == 'M' && tiff.data[1] == 'M') {
        tiff.bigEndian = true;
    } else if (!(tiff.data[0] == 'I' && tiff.data[1] == 'I')) {
        return 1;
    }
    if (tiff.u16(2) != 42) return 1;
    const std::uint64_t ifd = tiff.u32(4);
    if (!tiff.has(ifd, 2)) return 1;
    const unsigned entries = tiff.u16(static_cast<std::size_t>(ifd));
    for (unsigned i = 0; i < entries; ++i) {
        const std::uint64_t entry = ifd + 2 + std::uint64_t{i} * entryBytes;
        if (!tiff.has(entry, entryBytes)) return 1;
        const auto at = static_cast<std::size_t>(entry);
        if (tiff.u16(at) != orientationTag) continue;
        // One SHORT, held in the first two bytes of the value field.
        if (tiff.u16(at + 2) != typeShort || tiff.u32(at + 4) != 1) return 1;
        const unsigned value = tiff.u16(at + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

OrientedRows::OrientedRows(int orientation, int width, int height, int channels)
    : width_(width), channels_(channels) {
    const bool swap = swapsSides(orientation);
    shownWidth_ = swap ? height : width;
    shownHeight_ = swap ? width : height;
    // Offsets of shown pixels: one pixel right is `right`, one row down `down`.
    const std::ptrdiff_t right = channels;
    const std::ptrdiff_t down = std::ptrdiff_t{shownWidth_} * channels;
    const std::ptrdiff_t lastColumn = std::ptrdiff_t{shownWidth_ - 1} * right;
    const std::ptrdiff_t lastRow = std::ptrdiff_t{shownHeight_ - 1} * down;
    // For each orientation: where stored (0, 0) goes, and where a step along
    // a stored row and down a stored column go.
    switch (orientation) {
        case 2:  // mirrored left to right
            origin_ = lastColumn, step_ = -right, rowStep_ = down;
            break;
        case 3:  // turned half round
            origin_ = lastRow + lastColumn, step_ = -right, rowStep_ = -down;
            break;
        case 4:  // mirrored top to bottom
            origin_ = lastRow, step_ = right, rowStep_ = -down;
            break;
        case 5:  // mirrored along the main diagonal: stored rows become columns
            origin_ = 0, step_ = down, rowStep_ = right;
            break;
        case 6:  // turned a quarter clockwise: the first stored row is the right column
            origin_ = lastColumn, step_ = down, rowStep_ = -right;
            break;
        case 7:  // mirrored along the other diagonal
            origin_ = lastRow + lastColumn, step_ = -down, rowStep_ = -right;
            break;
        case 8:  // turned a quarter anticlockwise: the first stored row is the left column
            origin_ = lastRow, step_ = -down, rowStep_ = right;
            break;
        default:  // 1: as stored
            origin_ = 0, step_ = right, rowStep_ = down;
            break;
    }
}

void OrientedRows::place(const std::uint8_t* row, int y, std::uint8_t* shown) const {
    std::uint8_t* to = shown + start(y);
    if (step_ == channels_) {
        std::memcpy(to, row, static_cast<std::size_t>(width_) * static_cast<std::size_t>(channels_));
        return;
    }
    for (int x = 0; x < width_; ++x, row += channels_, to += step_) std::memcpy(to, row, static_cast<std::size_t>(channels_));
}

}  // namespace vantrel
