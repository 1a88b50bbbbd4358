#include "vantrel/mesh.h"

#include <cassert>
#include <cmath>
#include <cstdint>

#include "vantrel/draw.h"

namespace vantrel {

Vec3 highlightColour{0, 0, 0};

namespace {

Vec3 minus(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

bool withinLimits(const Mesh& mesh) {
    return mesh.vertexCount >= 0 && mesh.vertexCount <= maxMeshVertices && mesh.edgeCount >= 0 &&
           mesh.edgeCount <= maxMeshEdges;
}

// A face's side links and second vertex index scratch arrays; indices from
// damaged data must not reach past them.
bool validFace(const MeshFace& face, int vertexCount) {
    return face.count >= 3 && face.count <= 8 && face.vertex[1] >= 0 && face.vertex[1] < vertexCount;
}

// Every vertex of the face is in the vertex table.
bool verticesInRange(const MeshFace& face, int vertexCount) {
    for (int j = 0; j < face.count; ++j) {
        if (face.vertex[j] < 0 || face.vertex[j] >= vertexCount) return false;
    }
    return true;
}

}  // namespace

void prepareMesh(Mesh& mesh) {
    float radius = 0;
    for (int i = 0; i < mesh.vertexCount; ++i) {
        const Vec3 v = mesh.vertices[i];
        const float length = std::sqrt(v.z * v.z + v.x * v.x + v.y * v.y);
        if (length > radius) radius = length;
    }
    mesh.radius = radius;

    for (int f = 0; f < mesh.faceCount; ++f) {
        MeshFace& face = mesh.faces[f];
        if (face.count < 3 || face.count > 8) continue;  // not a polygon this record can hold
        // Damaged data: a face that names a vertex outside the table keeps its
        // normal and links as they are. (An edge that does so never matches a
        // side of the faces that remain.)
        if (!verticesInRange(face, mesh.vertexCount)) continue;
        const Vec3 p0 = mesh.vertices[face.vertex[0]];
        const Vec3 p1 = mesh.vertices[face.vertex[1]];
        const Vec3 p2 = mesh.vertices[face.vertex[2]];
        face.normal = cross(minus(p0, p1), minus(p2, p1));

        // Side j joins the previous vertex to vertex j; link it to the first
        // edge that joins the same two vertices, in either direction. A side
        // with no edge keeps its link as it was.
        for (int j = 0; j < face.count; ++j) {
            const int current = face.vertex[j];
            const int previous = face.vertex[j == 0 ? face.count - 1 : j - 1];
            for (int e = 0; e < mesh.edgeCount; ++e) {
                const MeshEdge& edge = mesh.edges[e];
                if ((edge.from == current && edge.to == previous) || (edge.from == previous && edge.to == current)) {
                    face.edge[j] = e;
                    break;
                }
            }
        }
    }
}

void drawMesh(const Mesh& mesh, const Transform& pose, const Transform& camera) {
    // The scratch arrays below hold 100 vertices and 100 edges; a larger mesh
    // is a programming error and is not drawn at all.
    assert(withinLimits(mesh) && "mesh exceeds drawMesh's vertex or edge limit");
    if (!withinLimits(mesh)) return;

    const Transform view = composeInverse(pose, camera);
    const float r = mesh.radius;

    // Early rejection: a corner of the bounding cube nearest the screen axis,
    // at the far side in depth. Off the screen and behind the viewer means
    // every vertex is behind the viewer.
    Vec3 probe;
    probe.z = view.tz + r;
    probe.x = view.tx > 0 ? view.tx - r : view.tx + r;
    probe.y = view.ty > 0 ? view.ty - r : view.ty + r;
    const Vec3 sp = projectToScreen(probe);
    const bool onScreen = sp.x >= 0 && sp.x <= static_cast<float>(screenWidth) && sp.y >= 0 &&
                          sp.y <= static_cast<float>(screenHeight);
    if (!onScreen && sp.z < 0) return;

    Vec3 cameraPoints[maxMeshVertices];
    Vec3 screenPoints[maxMeshVertices];
    for (int i = 0; i < mesh.vertexCount; ++i) {
        cameraPoints[i] = transformPoint(mesh.vertices[i], view);
        screenPoints[i] = projectToScreen(cameraPoints[i]);
    }

    std::uint8_t visible[maxMeshEdges] = {};
    for (int f = 0; f < mesh.faceCount; ++f) {
        const MeshFace& face = mesh.faces[f];
        if (!validFace(face, mesh.vertexCount)) continue;
        const Vec3 n = transformDirection(face.normal, view);
        const Vec3 q = cameraPoints[face.vertex[1]];
        if (n.z * q.z + n.y * q.y + n.x * q.x > 0) {
            for (int j = 0; j < face.count; ++j) {
                const int e = face.edge[j];
                if (e >= 0 && e < mesh.edgeCount) visible[e] = 1;
            }
        }
    }

    for (int i = 0; i < mesh.edgeCount; ++i) {
        if (!visible[i]) continue;
        const MeshEdge& edge = mesh.edges[i];
        if (edge.from < 0 || edge.from >= mesh.vertexCount || edge.to < 0 || edge.to >= mesh.vertexCount) continue;
        const Vec3 a = screenPoints[edge.from];
        const Vec3 b = screenPoints[edge.to];
        // No near-plane clipping: an edge reaching behind the viewer is left out.
        if (!(a.z > 0 && b.z > 0)) continue;
        ScreenLine line{a.x, a.y, b.x, b.y};
        clipAndDrawLine(line, edge.highlight == 1 ? highlightColour : edge.colour);
    }
}

}  // namespace vantrel
