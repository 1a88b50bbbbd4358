// The orientation an Exif block gives a picture (a phone held sideways
// stores its rows as the sensor read them and says how to turn them), and
// where each stored pixel goes when the picture is shown turned.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

// The orientation 1..8 (TIFF tag 0x0112 in the first IFD) that a JPEG APP1
// segment holds, given the segment's bytes after its length ("Exif\0\0",
// then a TIFF header in either byte order). 1, the picture as stored, when
// the segment is not Exif, gives no orientation or an invalid one, or is
// malformed: every offset is checked against `size`.
int exifOrientation(const std::uint8_t* segment, std::size_t size);

// Orientations 5 to 8 swap the width and height.
inline bool swapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// Where the pixels of a stored row go in the shown picture, for a picture
// stored as width x height pixels of `channels` bytes: the stored row y's
// first pixel goes to offset start(y), and each next one `step` bytes on.
class OrientedRows {
public:
    OrientedRows(int orientation, int width, int height, int channels);

    int shownWidth() const { return shownWidth_; }
    int shownHeight() const { return shownHeight_; }
    std::ptrdiff_t start(int y) const { return origin_ + y * rowStep_; }
    std::ptrdiff_t step() const { return step_; }

    // Copies stored row y (width pixels) to its place in `shown`.
    void place(const std::uint8_t* row, int y, std::uint8_t* shown) const;

private:
    int width_;
    int channels_;
    int shownWidth_;
    int shownHeight_;
    std::ptrdiff_t origin_ = 0;   // offset of stored pixel (0, 0)
    std::ptrdiff_t rowStep_ = 0;  // offset change from stored row y to y + 1
    std::ptrdiff_t step_ = 0;     // offset change from stored column x to x + 1
};

}  // namespace vantrel
