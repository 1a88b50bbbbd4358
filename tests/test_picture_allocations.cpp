// The picture path allocates nothing frame after frame: every global
// operator new is counted while each picture renderer converts frames of
// one size, after a first frame that sizes the scratch space.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "vantrel/picture_converter.h"
#include "vantrel/picture_renderers.h"

using namespace vantrel;

namespace {

std::atomic<std::uint64_t> allocations{0};

}  // namespace

// Not inlined, so that the compiler does not pair a std::free below with the
// operator new of a container it has inlined.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t size) { return operator new(size); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(PictureAllocations, FramesOfOneSizeAllocateNothing) {
    const int width = 160, height = 90;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width * 4 + 7) * height);  // the widest rows
    std::vector<MosaicCell> cells(40 * 20);
    for (int kind = 0; kind < 7; ++kind) {
        SCOPED_TRACE(kind);
        std::unique_ptr<PictureRenderer> renderer =
            kind == 0   ? makeShadeRenderer(ColourMode::ansi16, xtermPalette(), BlockSize::one, true)
            : kind == 1 ? makeShadeRenderer(ColourMode::ansi256, vgaPalette(), BlockSize::two, false)
            : kind == 2 ? makeGlyphRenderer(ColourMode::truecolor, BlockSize::two, true)
            : kind == 3 ? makeGlyphRenderer(ColourMode::ansi16, BlockSize::four, false)
            : kind == 4 ? makeMosaicRenderer({.mode = ColourMode::ansi256, .symbols = MosaicSymbols::half})
            : kind == 5 ? makeMosaicRenderer({.mode = ColourMode::ansi16, .palette = xtermPalette(), .diffuse = true})
                        : makeMosaicRenderer({.mode = ColourMode::truecolor,
                                              .symbols = MosaicSymbols::quad | MosaicSymbols::sextant});
        PictureConverter converter(std::move(renderer));
        for (const PixelLayout layout : {PixelLayout::rgb, PixelLayout::rgba}) {
            const ByteImage picture{frame.data(), width, height, width * bytesPerPixel(layout) + 7, layout};
            ASSERT_TRUE(converter.convert(picture, {cells.data(), 40, 20, 40}));
            const std::uint64_t before = allocations.load();
            for (int i = 0; i < 20; ++i) {
                frame[static_cast<std::size_t>(i * 997) % frame.size()] ^= 0x55;  // a changing picture
                ASSERT_TRUE(converter.convert(picture, {cells.data(), 40, 20, 40}));
            }
            EXPECT_EQ(allocations.load(), before);
        }
    }
    // The counter counts.
    const std::uint64_t before = allocations.load();
    int* volatile p = new int(3);
    delete p;
    EXPECT_EQ(allocations.load(), before + 1);
}
