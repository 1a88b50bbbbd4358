// Frames allocate nothing: every global operator new is counted, and the
// count is read at each presentation of a flight with turning, speeding up
// and star replacements.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "console/console_screen.h"
#include "demo/frame_loop.h"
#include "fake_host.h"

using namespace vantrel;

namespace {

std::atomic<std::uint64_t> allocations{0};

constexpr int framesToRun = 300;
std::uint64_t countAtWrite[framesToRun + 1];

void noteWrite() {
    if (fakeHost.writes <= framesToRun) countAtWrite[fakeHost.writes] = allocations.load();
    // Fly about: speed up, roll right and pitch, later slow down.
    fakeHost.left = fakeHost.writes < 150 ? 1 : 0;
    fakeHost.right = fakeHost.writes >= 150 ? 1 : 0;
    fakeHost.cursor = POINT{fakeHost.writes < 200 ? 900 : 100, 300};
}

}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(FrameAllocations, TheCounterSeesAllocations) {
    const std::uint64_t before = allocations.load();
    int* volatile p = new int(3);
    delete p;
    EXPECT_EQ(allocations.load(), before + 1);
}

TEST(FrameAllocations, FramesAllocateNothing) {
    resetFakeHost();
    fakeHost.logTicks = false;
    fakeHost.escapeAt = framesToRun + 1;
    fakeHost.onWrite = noteWrite;
    const std::uint64_t beforeStartUp = allocations.load();
    initConsole();
    runDemo();
    const std::uint64_t afterRun = allocations.load();

    ASSERT_EQ(fakeHost.writes, static_cast<std::uint64_t>(framesToRun));
    // Start-up allocates the renderers' tables; that is all there is.
    EXPECT_GT(countAtWrite[1], beforeStartUp);
    EXPECT_EQ(countAtWrite[framesToRun], countAtWrite[1]) << "frames 2.." << framesToRun << " allocated";
    EXPECT_EQ(afterRun, countAtWrite[framesToRun]) << "the Escape frame or shut-down allocated";
}
