// Mesh drawing: one copy of each built-in mesh from a typical view, and a
// field of 100 darts and 20 cuboctahedra like the flight scene's start.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "vantrel/screen_pixels.h"
#include "vantrel/builtin_meshes.h"

using namespace vantrel;

namespace {

struct Placed {
    const Mesh* mesh;
    Transform pose;
};

Transform placed(Transform rotation, float x, float y, float z) {
    rotation.tx = x;
    rotation.ty = y;
    rotation.tz = z;
    return rotation;
}

void prepareOnce() {
    static bool prepared = false;
    if (!prepared) {
        prepareMesh(dartMesh);
        prepareMesh(cuboctahedronMesh);
        prepared = true;
    }
}

void clearFrame() { std::memset(static_cast<void*>(screenPixels), 0, sizeof(PixelBuffer)); }

void BM_DrawMeshDart(benchmark::State& state) {
    prepareOnce();
    const Transform pose = placed(compose(rotationX(0.5f), rotationY(0.8f)), 1, -2, 20);
    for (auto _ : state) {
        clearFrame();
        drawMesh(dartMesh, pose, Transform{});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawMeshDart);

void BM_DrawMeshCuboctahedron(benchmark::State& state) {
    prepareOnce();
    const Transform pose = placed(compose(rotationX(0.3f), rotationZ(0.6f)), 200, 100, 1500);
    for (auto _ : state) {
        clearFrame();
        drawMesh(cuboctahedronMesh, pose, Transform{});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawMeshCuboctahedron);

// 100 darts in the cube -40..40 and 20 cuboctahedra in -2000..2000, outside
// radii 10 and 500, seen from the origin looking along +z.
void BM_DrawFlightField(benchmark::State& state) {
    prepareOnce();
    std::mt19937 rng(643286);
    std::uniform_real_distribution<float> unit(0, 1);
    std::vector<Placed> field;
    const auto place = [&](const Mesh* mesh, float extent, float minRadius, Transform rotation) {
        float x, y, z;
        do {
            x = (2 * unit(rng) - 1) * extent;
            y = (2 * unit(rng) - 1) * extent;
            z = (2 * unit(rng) - 1) * extent;
        } while (x * x + y * y + z * z <= minRadius * minRadius);
        field.push_back({mesh, placed(rotation, x, y, z)});
    };
    for (int i = 0; i < 100; ++i) place(&dartMesh, 40, 10, compose(rotationX(unit(rng)), rotationY(unit(rng))));
    for (int i = 0; i < 20; ++i) place(&cuboctahedronMesh, 2000, 500, compose(rotationX(unit(rng)), rotationZ(unit(rng))));
    highlightColour = {1, 0.5f, 0};
    for (auto _ : state) {
        clearFrame();
        for (const Placed& p : field) drawMesh(*p.mesh, p.pose, Transform{});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawFlightField)->Unit(benchmark::kMicrosecond);

}  // namespace
