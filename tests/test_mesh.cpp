#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <set>
#include <vector>

#include "vantrel/builtin_meshes.h"
#include "vantrel/draw.h"
#include "vantrel/mesh.h"

using namespace vantrel;

namespace {

void clearFrame() { std::memset(static_cast<void*>(screenPixels), 0, sizeof(PixelBuffer)); }
std::vector<Pixel> frame() { return {screenPixels, screenPixels + screenPixelCount}; }
bool sameFrame(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
    return std::memcmp(a.data(), b.data(), a.size() * sizeof(Pixel)) == 0;
}
int litCount() {
    return static_cast<int>(std::count_if(screenPixels, screenPixels + screenPixelCount,
                                          [](const Pixel& p) { return p.red || p.green || p.blue; }));
}

Transform at(float x, float y, float z, Transform t = Transform{}) {
    t.tx = x;
    t.ty = y;
    t.tz = z;
    return t;
}

// The frame that drawing exactly the listed edges once each would give.
std::vector<Pixel> framOfEdges(const Mesh& mesh, const Transform& pose, const Transform& camera,
                               const std::set<int>& edges) {
    clearFrame();
    const Transform view = composeInverse(pose, camera);
    for (int e : edges) {
        const MeshEdge& edge = mesh.edges[e];
        const Vec3 a = projectToScreen(transformPoint(mesh.vertices[edge.from], view));
        const Vec3 b = projectToScreen(transformPoint(mesh.vertices[edge.to], view));
        if (!(a.z > 0 && b.z > 0)) continue;
        ScreenLine l{a.x, a.y, b.x, b.y};
        clipAndDrawLine(l, edge.highlight == 1 ? highlightColour : edge.colour);
    }
    return frame();
}

class BuiltinMeshes : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prepareMesh(dartMesh);
        prepareMesh(cuboctahedronMesh);
    }
    void SetUp() override {
        clearFrame();
        highlightColour = {1, 0.5f, 0};
    }
};

TEST_F(BuiltinMeshes, PreparationGivesRadiusSideLinksAndNormals) {
    struct Expected {
        std::vector<int> edges;
        Vec3 normal;
    };
    const std::vector<Expected> dart = {
        {{9, 3, 8}, {0, -4, 0}},          {{10, 6, 11}, {0, 4, 0}},        {{8, 2, 0, 12}, {6, -12, -3}},
        {{12, 1, 4, 9}, {-6, -12, -3}},   {{13, 0, 7, 10}, {6, 12, -3}},   {{11, 5, 1, 13}, {-6, 12, -3}},
        {{6, 7, 2, 3, 4, 5}, {0, 0, 4}},  {{16, 14, 15}, {0, 0, 0.5f}},    {{17, 19, 18}, {0, 0, 0.5f}},
    };
    const std::vector<Expected> cuboctahedron = {
        {{0, 3, 2, 1}, {0, 20000, 0}},           {{19, 16, 17, 18}, {0, -20000, 0}},
        {{11, 8, 9, 10}, {20000, 0, 0}},         {{12, 15, 14, 13}, {-20000, 0, 0}},
        {{7, 4, 5, 6}, {0, 0, 20000}},           {{20, 23, 22, 21}, {0, 0, -20000}},
        {{5, 11, 16}, {10000, -10000, 10000}},   {{6, 19, 15}, {-10000, -10000, 10000}},
        {{7, 12, 3}, {-10000, 10000, 10000}},    {{4, 0, 8}, {10000, 10000, 10000}},
        {{17, 10, 21}, {10000, -10000, -10000}}, {{18, 22, 14}, {-10000, -10000, -10000}},
        {{23, 2, 13}, {-10000, 10000, -10000}},  {{1, 20, 9}, {10000, 10000, -10000}},
        {{24, 27, 26, 25}, {0, 0, 625}},
    };
    struct Case {
        const char* name;
        Mesh& mesh;
        float radius;
        const std::vector<Expected>& faces;
    };
    for (const Case& c : {Case{"dart", dartMesh, 4.2426405f, dart},
                          Case{"cuboctahedron", cuboctahedronMesh, 141.42136f, cuboctahedron}}) {
        SCOPED_TRACE(c.name);
        prepareMesh(c.mesh);  // a second run changes nothing
        EXPECT_FLOAT_EQ(c.mesh.radius, c.radius);
        ASSERT_EQ(c.mesh.faceCount, static_cast<int>(c.faces.size()));
        for (int f = 0; f < c.mesh.faceCount; ++f) {
            const MeshFace& face = c.mesh.faces[f];
            ASSERT_EQ(face.count, static_cast<int>(c.faces[f].edges.size())) << "face " << f;
            for (int j = 0; j < face.count; ++j) EXPECT_EQ(face.edge[j], c.faces[f].edges[j]) << "face " << f;
            for (int j = face.count; j < 7; ++j) EXPECT_EQ(face.vertex[j], -1) << "face " << f;
            EXPECT_EQ(face.normal.x, c.faces[f].normal.x) << "face " << f;
            EXPECT_EQ(face.normal.y, c.faces[f].normal.y) << "face " << f;
            EXPECT_EQ(face.normal.z, c.faces[f].normal.z) << "face " << f;
        }
    }
}

TEST(PrepareMesh, RadiusIsFromTheOriginAndMissingSidesKeepTheirLinks) {
    Vec3 vertices[] = {{10, 0, 0}, {12, 0, 0}, {11, 1, 0}};
    MeshEdge edges[] = {{{1, 1, 1}, 0, 0, 1}, {{1, 1, 1}, 0, 2, 1}};  // no edge from 2 to 0
    MeshFace faces[] = {{3, {0, 1, 2, -1, -1, -1, -1, 0}, {7, 7, 7, 7, 7, 7, 7, 7}, {}}};
    Mesh mesh{3, vertices, 2, edges, 1, faces, 0};
    prepareMesh(mesh);
    EXPECT_EQ(mesh.radius, 12.0f);
    EXPECT_EQ(faces[0].edge[0], 7);  // side 2-0 has no edge
    EXPECT_EQ(faces[0].edge[1], 0);
    EXPECT_EQ(faces[0].edge[2], 1);
}

TEST(PrepareMesh, FacesNamingVerticesOutsideTheTableAreLeftAsTheyAre) {
    Vec3 vertices[12] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    MeshEdge edges[] = {{{1, 1, 1}, 0, 0, 1}, {{1, 1, 1}, 0, 1, 2}, {{1, 1, 1}, 0, 2, 0}, {{1, 1, 1}, 0, 1, 50}};
    const MeshFace damaged[] = {{3, {1, 50, 2, -1, -1, -1, -1, 0}, {7, 7, 7, 7, 7, 7, 7, 7}, {9, 9, 9}},
                                {3, {0, 1, -3, -1, -1, -1, -1, 0}, {7, 7, 7, 7, 7, 7, 7, 7}, {9, 9, 9}}};
    MeshFace faces[] = {{3, {0, 1, 2, -1, -1, -1, -1, 0}, {}, {}}, damaged[0], damaged[1]};
    Mesh mesh{12, vertices, 4, edges, 3, faces, 0};
    prepareMesh(mesh);
    EXPECT_EQ(faces[0].normal.z, -1.0f);  // the sound face is prepared
    EXPECT_EQ(faces[0].edge[0], 2);
    EXPECT_EQ(faces[0].edge[1], 0);
    EXPECT_EQ(faces[0].edge[2], 1);
    for (int f = 1; f < 3; ++f) {
        EXPECT_EQ(std::memcmp(&faces[f], &damaged[f - 1], sizeof(MeshFace)), 0) << "face " << f;
    }
}

// Viewer on the +z axis looking back along -z at the dart's nose.
const Transform aheadOfNose = at(0, 0, 20, rotationY(std::numbers::pi_v<float>));

TEST_F(BuiltinMeshes, DartFromAheadShowsItsFourNoseFacesEachEdgeOnce) {
    drawMesh(dartMesh, Transform{}, aheadOfNose);
    const auto drawn = frame();
    EXPECT_GT(litCount(), 0);
    const std::set<int> noseFaceEdges = {0, 1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 13};
    EXPECT_TRUE(sameFrame(drawn, framOfEdges(dartMesh, Transform{}, aheadOfNose, noseFaceEdges)));

    // From behind, the stern and its highlighted triangles show.
    clearFrame();
    const Transform behindStern = at(0, 0, -20);
    drawMesh(dartMesh, Transform{}, behindStern);
    const auto stern = frame();
    EXPECT_TRUE(sameFrame(stern, framOfEdges(dartMesh, Transform{}, behindStern, {2, 3, 4, 5, 6, 7, 14, 15, 16, 17, 18, 19})));
}

TEST_F(BuiltinMeshes, HighlightedEdgesFollowTheSharedColour) {
    const Transform behindStern = at(0, 0, -12);
    highlightColour = {1, 0, 0};
    drawMesh(dartMesh, Transform{}, behindStern);
    const auto red = frame();
    clearFrame();
    highlightColour = {1, 1, 0};
    drawMesh(dartMesh, Transform{}, behindStern);
    EXPECT_FALSE(sameFrame(red, frame()));
    // A mesh with no highlighted edges does not change with the colour.
    clearFrame();
    drawMesh(cuboctahedronMesh, Transform{}, at(0, 0, -500));
    const auto before = frame();
    clearFrame();
    highlightColour = {0, 0, 1};
    drawMesh(cuboctahedronMesh, Transform{}, at(0, 0, -500));
    EXPECT_TRUE(sameFrame(before, frame()));
}

TEST_F(BuiltinMeshes, EdgesReachingBehindTheViewerAreLeftOutWhole) {
    // A floor triangle below the viewer, facing it, with its third corner
    // behind the viewer: only the side with both ends ahead is drawn.
    Vec3 vertices[] = {{-2, -1, 4}, {2, -1, 4}, {0, -1, -2}};
    MeshEdge edges[] = {{{1, 1, 1}, 0, 0, 1}, {{0, 1, 0}, 0, 1, 2}, {{0, 0, 1}, 0, 2, 0}};
    MeshFace faces[] = {{3, {0, 1, 2, -1, -1, -1, -1, 0}, {}, {}}};
    Mesh floor{3, vertices, 3, edges, 1, faces, 0};
    prepareMesh(floor);
    drawMesh(floor, Transform{}, Transform{});
    const auto drawn = frame();
    EXPECT_GT(litCount(), 0);
    EXPECT_TRUE(sameFrame(drawn, framOfEdges(floor, Transform{}, Transform{}, {0})));
    // The same triangle moved wholly ahead shows all three sides.
    clearFrame();
    drawMesh(floor, at(0, 0, 3), Transform{});
    EXPECT_TRUE(sameFrame(frame(), framOfEdges(floor, at(0, 0, 3), Transform{}, {0, 1, 2})));
}

TEST_F(BuiltinMeshes, ObjectsBehindDrawNothingAndObjectsAheadDraw) {
    drawMesh(dartMesh, at(0, 0, -10), Transform{});
    drawMesh(cuboctahedronMesh, at(0, 0, -300), Transform{});
    EXPECT_EQ(litCount(), 0);
    // Ahead but far to the side: clipped away entirely.
    drawMesh(dartMesh, at(1000, 0, 50), Transform{});
    EXPECT_EQ(litCount(), 0);
    drawMesh(dartMesh, at(0, 0, 50), Transform{});
    EXPECT_GT(litCount(), 0);
}

TEST_F(BuiltinMeshes, TwoDrawsAddTwiceAndSaturate) {
    const Transform pose = at(2, 1, 25, compose(rotationX(0.4f), rotationY(0.9f)));
    drawMesh(dartMesh, pose, Transform{});
    const auto once = frame();
    drawMesh(dartMesh, pose, Transform{});
    int doubled = 0;
    for (int i = 0; i < screenPixelCount; ++i) {
        const auto twice = [](int v) { return std::min(255, 2 * v); };
        ASSERT_EQ(screenPixels[i].red, twice(once[i].red)) << i;
        ASSERT_EQ(screenPixels[i].green, twice(once[i].green)) << i;
        ASSERT_EQ(screenPixels[i].blue, twice(once[i].blue)) << i;
        doubled += once[i].blue > 0;
    }
    EXPECT_GT(doubled, 0);
}

TEST(DrawMeshLimits, ZeroNormalsMarkNothingAndOversizedMeshesAreNotDrawn) {
    clearFrame();
    // A face whose first three vertices are collinear never shows its edges.
    Vec3 line[] = {{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    MeshEdge edges[] = {{{1, 1, 1}, 0, 0, 1}, {{1, 1, 1}, 0, 1, 2}, {{1, 1, 1}, 0, 2, 3}, {{1, 1, 1}, 0, 3, 0}};
    MeshFace face[] = {{4, {0, 1, 2, 3, -1, -1, -1, 0}, {}, {}}};
    Mesh flat{4, line, 4, edges, 1, face, 0};
    prepareMesh(flat);
    drawMesh(flat, at(0, 0, 10), Transform{});
    EXPECT_EQ(litCount(), 0);

    // 101 vertices would overrun the scratch arrays: such a mesh is refused
    // (and a debug build stops at the assertion).
    static Vec3 many[101];
    for (int i = 0; i < 101; ++i) many[i] = {std::cos(i * 0.1f), std::sin(i * 0.1f), 0};
    MeshEdge one[] = {{{1, 1, 1}, 0, 0, 50}};
    MeshFace tri[] = {{3, {0, 50, 25, -1, -1, -1, -1, 0}, {}, {}}};
    Mesh big{101, many, 1, one, 1, tri, 0};
    prepareMesh(big);
    EXPECT_DEBUG_DEATH(drawMesh(big, at(0, 0, 10), rotationY(std::numbers::pi_v<float>)), "limit");
    EXPECT_EQ(litCount(), 0);
}

}  // namespace
