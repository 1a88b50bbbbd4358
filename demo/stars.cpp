#include "demo/stars.h"

#include "demo/random.h"
#include "vantrel/draw.h"

namespace vantrel {

std::array<Star, starCount> starField{};

namespace {

// A new star ahead of the camera: (u, w, 2) in the camera's frame, carried
// into world space by its rotation; |x/z| and |y/z| stay below 0.5.
void reseedStar(Star& star, const Transform& camera) {
    const float u = 2.0f * randomUnit() - 1.0f;
    const float w = 2.0f * randomUnit() - 1.0f;
    star.brightness = 0.8f * randomUnit() + 0.2f;
    const Vec3 direction = transformDirection(Vec3{u, w, 2.0f}, camera);
    star.x = direction.x;
    star.y = direction.y;
    star.z = direction.z;
}

}  // namespace

void seedStarField() {
    for (Star& star : starField) {
        star.x = 2.0f * randomUnit() - 1.0f;
        star.y = 2.0f * randomUnit() - 1.0f;
        star.z = 1.0f;
        star.brightness = (randomUnit() + 1.0f) * 0.5f;
    }
}

void drawStars(const Transform& camera) {
    const Transform view = inverse(camera);
    for (Star& star : starField) {
        const Vec3 v = transformDirection(Vec3{star.x, star.y, star.z}, view);
        // Signed tests: a star far to the left or above stays, undrawn.
        if (0.4f * v.x > v.z || 0.4f * v.y > v.z || v.z < 0.0f) {
            reseedStar(star, camera);
            continue;
        }
        splatPoint(v, Vec3{star.brightness, star.brightness, star.brightness});
    }
}

}  // namespace vantrel
