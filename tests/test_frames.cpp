#include "tests/test_frames.h"

#include <cmath>
#include <random>

#include "render/pixel.h"
#include "render/shade_renderer.h"
#include "wire/draw.h"

std::vector<CellBuffer> drawnFlight(int frames) {
    ShadeRenderer renderer;
    renderer.buildTable(0xFFFF);
    std::vector<CellBuffer> out(static_cast<std::size_t>(frames));
    PixelBuffer pixels{};
    for (int f = 0; f < frames; ++f) {
        pixels.fill(Pixel{});
        const float t = static_cast<float>(f) * 0.03f;
        for (int k = 0; k < 6; ++k) {
            const float a = t * (1.0f + 0.2f * static_cast<float>(k)) + static_cast<float>(k);
            const float r = 8.0f + 4.0f * static_cast<float>(k);
            const ScreenLine line{40.0f + std::cos(a) * r, 25.0f + std::sin(a) * r * 0.6f,
                                  40.0f - std::cos(a) * r * 0.5f, 25.0f - std::sin(a) * r * 0.3f};
            const Vec3 colour{0.3f + 0.1f * static_cast<float>(k), 0.9f - 0.1f * static_cast<float>(k), 0.5f};
            drawLine(line, pixels.data(), colour);
        }
        for (int s = 0; s < 40; ++s) {
            const int x = (s * 37 + f * (1 + s % 3)) % 78 + 1;
            const int y = (s * 53) % 48 + 1;
            addColour(pixels[static_cast<std::size_t>(y * 80 + x)], 120 + s * 3, 120 + s * 3, 140);
        }
        for (int i = 0; i < (f / 4) % 21; ++i) addColour(pixels[static_cast<std::size_t>(i)], 255, 255 - 12 * i, 0);
        renderer.convert1x1(pixels.data(), SourceRect{0, 0, 80, 50}, 80, 0, 0, out[static_cast<std::size_t>(f)].data());
    }
    return out;
}

std::vector<CellBuffer> randomFrames(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<CellBuffer> out(static_cast<std::size_t>(frames));
    CellBuffer current{};
    for (int f = 0; f < frames; ++f) {
        if (f % 5 == 0) {
            for (Cell& c : current) c = static_cast<Cell>(rng());
        } else {
            for (int n = 0; n < 200; ++n) current[rng() % cellCount] = static_cast<Cell>(rng());
        }
        out[static_cast<std::size_t>(f)] = current;
    }
    return out;
}
