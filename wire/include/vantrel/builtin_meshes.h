// The two wireframe models the flight demo flies: a dart and a cuboctahedron.
// Complete before main runs; writable so that prepareMesh can fill them in.
#pragma once

#include "vantrel/mesh.h"

namespace vantrel {

extern Mesh dartMesh;
extern Mesh cuboctahedronMesh;

}  // namespace vantrel
