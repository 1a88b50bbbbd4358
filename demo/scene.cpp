#include "demo/scene.h"

#include "demo/random.h"
#include "demo/stars.h"
#include "vantrel/builtin_meshes.h"

namespace vantrel {

namespace {

// A position uniform in the cube [-half, half)^3 and farther than `minimum`
// from the origin; the distance test runs on the stored 32-bit values.
void placeAwayFromOrigin(Transform& pose, float half, float minimum) {
    const float span = 2.0f * half;
    float x, y, z;
    do {
        x = span * randomUnit() - half;
        y = span * randomUnit() - half;
        z = span * randomUnit() - half;
    } while (x * x + y * y + z * z <= minimum * minimum);
    pose.tx = x;
    pose.ty = y;
    pose.tz = z;
}

// A turn about X, then about Y, then about Z.
Transform rotationXYZ(float ax, float ay, float az) {
    return compose(compose(rotationX(ax), rotationY(ay)), rotationZ(az));
}

void placeDart(MeshInstance& instance) {
    instance.mesh = &dartMesh;
    instance.pose = rotationX(0.0f);
    placeAwayFromOrigin(instance.pose, 40.0f, 10.0f);
    const float a1 = (2.0f * randomUnit() - 1.0f) * 0.01f;
    const float a2 = (2.0f * randomUnit() - 1.0f) * 0.01f;
    const float a3 = (2.0f * randomUnit() - 1.0f) * 0.01f;
    instance.spin = rotationXYZ(a1, a2, a3);
    instance.speed = 5.0f;
}

void placeCuboctahedron(MeshInstance& instance) {
    instance.mesh = &cuboctahedronMesh;
    const float b1 = 2.0f * randomUnit() - 1.0f;
    const float b2 = 2.0f * randomUnit() - 1.0f;
    const float b3 = 2.0f * randomUnit() - 1.0f;
    instance.pose = rotationXYZ(b1, b2, b3);
    placeAwayFromOrigin(instance.pose, 2000.0f, 500.0f);
    instance.spin = rotationZ(0.005f);
    instance.speed = 0.0f;
}

}  // namespace

void setupScene(Transform& camera, InstanceArray& instances) {
    seedStarField();
    prepareMesh(dartMesh);
    prepareMesh(cuboctahedronMesh);
    camera = rotationX(0.0f);
    for (int i = 0; i < dartInstanceCount; ++i) placeDart(instances[i]);
    for (int i = dartInstanceCount; i < instanceCount; ++i) placeCuboctahedron(instances[i]);
}

void updateInstances(InstanceArray& instances) {
    for (int i = 0; i < instanceCount; ++i) {
        MeshInstance& instance = instances[i];
        instance.pose = compose(instance.spin, instance.pose);
        const float speed = instance.speed;
        instance.pose.tx += instance.pose.m[6] * speed * 0.01f;
        instance.pose.ty += instance.pose.m[7] * speed * 0.01f;
        instance.pose.tz += instance.pose.m[8] * speed * 0.01f;
    }
}

void drawInstances(const InstanceArray& instances, const Transform& camera) {
    for (int i = 0; i < instanceCount; ++i) {
        drawMesh(*instances[i].mesh, instances[i].pose, camera);
    }
}

}  // namespace vantrel
