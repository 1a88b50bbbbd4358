// Rigid wireframe models: vertices, coloured edges, and faces that decide
// which edges can be seen (back-face culling).
#pragma once

#include <cstdint>

#include "vantrel/transform.h"

namespace vantrel {

struct MeshEdge {
    Vec3 colour;              // red, green, blue, each 0..1
    std::int32_t highlight;   // 1: drawn in highlightColour instead of colour
    std::int32_t from;        // vertex index of the first end point
    std::int32_t to;          // vertex index of the second end point
};

struct MeshFace {
    std::int32_t count;       // vertices (and sides) of the face, 3..8
    std::int32_t vertex[8];   // vertex indices around the face; the first `count` are used
    std::int32_t edge[8];     // edge[j]: index of the side from vertex[j-1] (cyclic) to vertex[j]; set by prepareMesh
    Vec3 normal;              // (v0 - v1) x (v2 - v1), pointing into the solid; set by prepareMesh
};

struct Mesh {
    std::int32_t vertexCount;  // at most maxMeshVertices
    Vec3* vertices;
    std::int32_t edgeCount;    // at most maxMeshEdges
    MeshEdge* edges;
    std::int32_t faceCount;
    MeshFace* faces;
    float radius;              // largest vertex distance from the model origin; 0 until prepared
};

// Room in drawMesh's fixed scratch arrays.
inline constexpr int maxMeshVertices = 100;
inline constexpr int maxMeshEdges = 100;

// The colour shared by every edge whose highlight is 1; written once a frame.
extern Vec3 highlightColour;

// Fills in the radius, every face's normal and its side links.
void prepareMesh(Mesh& mesh);

// Draws one placed copy: pose carries model space into world space, camera is
// the camera's own placement in world space. Each visible edge is drawn once
// into screenPixels with clipAndDrawLine.
void drawMesh(const Mesh& mesh, const Transform& pose, const Transform& camera);

}  // namespace vantrel
