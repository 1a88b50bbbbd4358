// The flight scene's placed objects: 100 cruising, tumbling darts and 20 large
// cuboctahedra turning in place far off, and the scene's start-up.
#pragma once

#include <array>

#include "vantrel/mesh.h"
#include "vantrel/transform.h"

namespace vantrel {

struct MeshInstance {
    const Mesh* mesh;  // not owned
    Transform pose;    // object to world: rows are the object's axes, translation its position
    Transform spin;    // pure rotation applied in the object's own frame once a frame
    float speed;       // along the object's own +Z axis, units per second
};

inline constexpr int instanceCapacity = 1000;
inline constexpr int dartInstanceCount = 100;
inline constexpr int cuboctahedronInstanceCount = 20;
// Instances 0..99 are darts, 100..119 cuboctahedra; the rest are never used.
inline constexpr int instanceCount = dartInstanceCount + cuboctahedronInstanceCount;

using InstanceArray = std::array<MeshInstance, instanceCapacity>;

// Stars, both meshes prepared, the camera at the origin looking along +Z and
// the 120 placed objects, all from the demo's random generator in a fixed
// order of draws.
void setupScene(Transform& camera, InstanceArray& instances);

// Turns every object by its spin about its own axes, then moves it along its
// new +Z axis by speed * 0.01.
void updateInstances(InstanceArray& instances);

// Draws every object as seen from the camera.
void drawInstances(const InstanceArray& instances, const Transform& camera);

}  // namespace vantrel
