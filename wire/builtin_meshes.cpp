#include "vantrel/builtin_meshes.h"

#include <initializer_list>

namespace vantrel {

// The tables are plain constant-initialised data: complete before main, and
// writable so that prepareMesh can fill in radii, normals and side links.

namespace {

struct EdgeColour {
    Vec3 colour;
    int highlight;
};

constexpr EdgeColour blue{{0, 0, 1}, 0};
constexpr EdgeColour yellow{{1, 1, 0}, 0};
constexpr EdgeColour white{{1, 1, 1}, 0};
constexpr EdgeColour highlightedYellow{{1, 1, 0}, 1};

constexpr MeshEdge edge(int from, int to, EdgeColour c) { return {c.colour, c.highlight, from, to}; }

// A face from its vertex indices; the unused slots up to the seventh hold -1.
// Side links and the normal start at 0 until prepareMesh fills them in.
constexpr MeshFace face(std::initializer_list<int> vertices) {
    MeshFace f{};
    f.count = static_cast<int>(vertices.size());
    for (int i = 0; i < 7; ++i) f.vertex[i] = -1;
    int i = 0;
    for (int v : vertices) f.vertex[i++] = v;
    return f;
}

// A dart pointing along +z: nose at vertex 8, a flat hexagonal stern in z = -3
// with two small highlighted triangles on it.
constinit Vec3 dartVertices[] = {
    /*  0 */ {-3, 0, -3},
    /*  1 */ {3, 0, -3},
    /*  2 */ {-1, 1, -3},
    /*  3 */ {1, 1, -3},
    /*  4 */ {-1, -1, -3},
    /*  5 */ {1, -1, -3},
    /*  6 */ {0, 1, -1},
    /*  7 */ {0, -1, -1},
    /*  8 */ {0, 0, 3},
    /*  9 */ {-1, 0, -3},
    /* 10 */ {-0.5f, 0.5f, -3},
    /* 11 */ {-0.5f, -0.5f, -3},
    /* 12 */ {1, 0, -3},
    /* 13 */ {0.5f, 0.5f, -3},
    /* 14 */ {0.5f, -0.5f, -3},
};

constinit MeshEdge dartEdges[] = {
    /*  0 */ edge(0, 8, blue),
    /*  1 */ edge(1, 8, blue),
    /*  2 */ edge(0, 2, blue),
    /*  3 */ edge(2, 3, yellow),
    /*  4 */ edge(3, 1, blue),
    /*  5 */ edge(1, 5, blue),
    /*  6 */ edge(5, 4, yellow),
    /*  7 */ edge(4, 0, blue),
    /*  8 */ edge(2, 6, yellow),
    /*  9 */ edge(3, 6, yellow),
    /* 10 */ edge(4, 7, yellow),
    /* 11 */ edge(5, 7, yellow),
    /* 12 */ edge(6, 8, blue),
    /* 13 */ edge(7, 8, blue),
    /* 14 */ edge(9, 10, highlightedYellow),
    /* 15 */ edge(10, 11, highlightedYellow),
    /* 16 */ edge(11, 9, highlightedYellow),
    /* 17 */ edge(13, 12, highlightedYellow),
    /* 18 */ edge(14, 13, highlightedYellow),
    /* 19 */ edge(12, 14, highlightedYellow),
};

constinit MeshFace dartFaces[] = {
    /* 0 */ face({3, 2, 6}),
    /* 1 */ face({4, 5, 7}),
    /* 2 */ face({2, 0, 8, 6}),
    /* 3 */ face({8, 1, 3, 6}),
    /* 4 */ face({8, 0, 4, 7}),
    /* 5 */ face({5, 1, 8, 7}),
    /* 6 */ face({4, 0, 2, 3, 1, 5}),
    /* 7 */ face({9, 10, 11}),
    /* 8 */ face({12, 14, 13}),
};

// The cuboctahedron of the cube from -100 to 100 (vertices 0-11 are its edge
// midpoints), with a white rectangle 50 x 12.5 centred on the square in the
// plane z = -100.
constexpr float size = 100;
constexpr float halfWidth = size * 0.25f;
constexpr float halfHeight = halfWidth * 0.25f;

constinit Vec3 cuboctahedronVertices[] = {
    /*  0 */ {0, -size, -size},
    /*  1 */ {0, size, -size},
    /*  2 */ {0, -size, size},
    /*  3 */ {0, size, size},
    /*  4 */ {-size, 0, -size},
    /*  5 */ {size, 0, -size},
    /*  6 */ {-size, 0, size},
    /*  7 */ {size, 0, size},
    /*  8 */ {-size, -size, 0},
    /*  9 */ {-size, size, 0},
    /* 10 */ {size, -size, 0},
    /* 11 */ {size, size, 0},
    /* 12 */ {halfWidth, halfHeight, -size},
    /* 13 */ {-halfWidth, halfHeight, -size},
    /* 14 */ {halfWidth, -halfHeight, -size},
    /* 15 */ {-halfWidth, -halfHeight, -size},
};

constinit MeshEdge cuboctahedronEdges[] = {
    /*  0 */ edge(0, 8, yellow),
    /*  1 */ edge(8, 2, yellow),
    /*  2 */ edge(2, 10, yellow),
    /*  3 */ edge(10, 0, yellow),
    /*  4 */ edge(0, 4, yellow),
    /*  5 */ edge(4, 1, yellow),
    /*  6 */ edge(1, 5, yellow),
    /*  7 */ edge(5, 0, yellow),
    /*  8 */ edge(4, 8, yellow),
    /*  9 */ edge(8, 6, yellow),
    /* 10 */ edge(6, 9, yellow),
    /* 11 */ edge(9, 4, yellow),
    /* 12 */ edge(5, 10, yellow),
    /* 13 */ edge(10, 7, yellow),
    /* 14 */ edge(7, 11, yellow),
    /* 15 */ edge(11, 5, yellow),
    /* 16 */ edge(1, 9, yellow),
    /* 17 */ edge(9, 3, yellow),
    /* 18 */ edge(3, 11, yellow),
    /* 19 */ edge(11, 1, yellow),
    /* 20 */ edge(2, 6, yellow),
    /* 21 */ edge(6, 3, yellow),
    /* 22 */ edge(3, 7, yellow),
    /* 23 */ edge(7, 2, yellow),
    /* 24 */ edge(12, 13, white),
    /* 25 */ edge(13, 15, white),
    /* 26 */ edge(15, 14, white),
    /* 27 */ edge(14, 12, white),
};

constinit MeshFace cuboctahedronFaces[] = {
    /*  0 */ face({0, 10, 2, 8}),
    /*  1 */ face({1, 9, 3, 11}),
    /*  2 */ face({4, 8, 6, 9}),
    /*  3 */ face({5, 11, 7, 10}),
    /*  4 */ face({0, 4, 1, 5}),
    /*  5 */ face({2, 7, 3, 6}),
    /*  6 */ face({4, 9, 1}),
    /*  7 */ face({1, 11, 5}),
    /*  8 */ face({5, 10, 0}),
    /*  9 */ face({0, 8, 4}),
    /* 10 */ face({9, 6, 3}),
    /* 11 */ face({3, 7, 11}),
    /* 12 */ face({2, 10, 7}),
    /* 13 */ face({2, 6, 8}),
    /* 14 */ face({12, 14, 15, 13}),
};

template <class T, int N>
constexpr int countOf(T (&)[N]) {
    return N;
}

}  // namespace

constinit Mesh dartMesh = {countOf(dartVertices), dartVertices, countOf(dartEdges), dartEdges,
                           countOf(dartFaces),    dartFaces,    0.0f};

constinit Mesh cuboctahedronMesh = {countOf(cuboctahedronVertices), cuboctahedronVertices,
                                    countOf(cuboctahedronEdges),    cuboctahedronEdges,
                                    countOf(cuboctahedronFaces),    cuboctahedronFaces,
                                    0.0f};

}  // namespace vantrel
