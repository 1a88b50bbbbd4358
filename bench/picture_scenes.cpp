#include "bench/picture_scenes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "vantrel/linear_light.h"

namespace vantrel {

namespace {

RgbPicture blank(int width, int height) {
    RgbPicture p;
    p.width = width;
    p.height = height;
    p.rgb = pictureBytes(static_cast<std::size_t>(width) * height * 3);
    return p;
}

void put(RgbPicture& p, int x, int y, LinearRgb c) {
    std::uint8_t* q = p.rgb.get() + (static_cast<std::size_t>(y) * p.width + x) * 3;
    q[0] = linearToSrgb(c.red);
    q[1] = linearToSrgb(c.green);
    q[2] = linearToSrgb(c.blue);
}

// Full-strength colour of hue h (0..1) in linear light.
LinearRgb hueColour(float h) {
    const auto channel = [h](float offset) {
        float t = std::fmod(h + offset, 1.0f) * 6.0f;
        return std::clamp(std::fabs(t - 3.0f) - 1.0f, 0.0f, 1.0f);
    };
    return {srgbToLinear(static_cast<std::uint8_t>(channel(0.0f) * 255)),
            srgbToLinear(static_cast<std::uint8_t>(channel(2.0f / 3) * 255)),
            srgbToLinear(static_cast<std::uint8_t>(channel(1.0f / 3) * 255))};
}

struct V {
    float x, y, z;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V operator*(V a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V unit(V a) { return a * (1.0f / std::sqrt(dot(a, a))); }

struct Sphere {
    V centre;
    float radius;
    LinearRgb colour;
};

constexpr std::array<Sphere, 4> spheres{{{{-1.6f, 1.0f, 6.0f}, 1.0f, {0.8f, 0.05f, 0.03f}},
                                         {{0.6f, 0.7f, 5.0f}, 0.7f, {0.05f, 0.3f, 0.8f}},
                                         {{2.2f, 1.3f, 7.5f}, 1.3f, {0.9f, 0.7f, 0.1f}},
                                         {{-0.2f, 0.35f, 3.8f}, 0.35f, {0.1f, 0.7f, 0.2f}}}};
const V light = unit(V{-0.5f, 1.0f, -0.6f});

// Distance along the ray to the nearest sphere, or -1.
float hitSphere(V origin, V direction, int& which) {
    float best = -1;
    for (int i = 0; i < static_cast<int>(spheres.size()); ++i) {
        const V oc = origin - spheres[i].centre;
        const float b = dot(oc, direction);
        const float c = dot(oc, oc) - spheres[i].radius * spheres[i].radius;
        const float d = b * b - c;
        if (d < 0) continue;
        const float t = -b - std::sqrt(d);
        if (t > 1e-3f && (best < 0 || t < best)) {
            best = t;
            which = i;
        }
    }
    return best;
}

LinearRgb trace(V origin, V direction) {
    int which = 0;
    const float t = hitSphere(origin, direction, which);
    const float floorT = direction.y < 0 ? -origin.y / direction.y : -1;
    if (t > 0 && (floorT < 0 || t < floorT)) {
        const Sphere& s = spheres[static_cast<std::size_t>(which)];
        const V p = origin + direction * t;
        const V n = unit(p - s.centre);
        const float diffuse = std::max(dot(n, light), 0.0f);
        const V reflected = direction - n * (2 * dot(direction, n));
        const float specular = std::pow(std::max(dot(reflected, light), 0.0f), 40.0f);
        const float ambient = 0.08f;
        return {s.colour.red * (ambient + diffuse) + specular, s.colour.green * (ambient + diffuse) + specular,
                s.colour.blue * (ambient + diffuse) + specular};
    }
    if (floorT > 0) {
        const V p = origin + direction * floorT;
        const bool dark = (static_cast<int>(std::floor(p.x)) + static_cast<int>(std::floor(p.z))) % 2 != 0;
        int dummy = 0;
        const float shadow = hitSphere(p, light, dummy) > 0 ? 0.25f : 1.0f;
        const float fade = std::exp(-floorT * 0.04f);
        const float base = (dark ? 0.05f : 0.6f) * shadow * fade + 0.15f * (1 - fade);
        return {base, base * 0.95f, base * 0.85f};
    }
    const float up = std::max(direction.y, 0.0f);
    return {0.25f + 0.3f * (1 - up), 0.45f + 0.25f * (1 - up), 0.9f};
}

}  // namespace

RgbPicture gradientPicture(int width, int height) {
    RgbPicture p = blank(width, height);
    for (int y = 0; y < height; ++y) {
        const float v = static_cast<float>(y) / static_cast<float>(std::max(height - 1, 1));
        for (int x = 0; x < width; ++x) {
            const LinearRgb h = hueColour(static_cast<float>(x) / static_cast<float>(width));
            LinearRgb c;
            if (v < 0.5f) {  // from white to the hue
                const float s = v * 2;
                c = {1 + (h.red - 1) * s, 1 + (h.green - 1) * s, 1 + (h.blue - 1) * s};
            } else {  // from the hue to black
                const float s = (1 - v) * 2;
                c = {h.red * s * s, h.green * s * s, h.blue * s * s};
            }
            put(p, x, y, c);
        }
    }
    return p;
}

RgbPicture scenePicture(int width, int height) {
    RgbPicture p = blank(width, height);
    const V eye{0, 1.6f, -1.0f};
    const float scale = 2.0f / static_cast<float>(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            LinearRgb sum{0, 0, 0};
            for (int s = 0; s < 4; ++s) {  // 2x2 samples a pixel
                const float sx = (static_cast<float>(x) + 0.25f + 0.5f * static_cast<float>(s % 2)) * scale -
                                 static_cast<float>(width) / static_cast<float>(height);
                const float sy = 1.0f - (static_cast<float>(y) + 0.25f + 0.5f * static_cast<float>(s / 2)) * scale;
                const LinearRgb c = trace(eye, unit(V{sx, sy - 0.35f, 1.6f}));
                sum = {sum.red + c.red / 4, sum.green + c.green / 4, sum.blue + c.blue / 4};
            }
            put(p, x, y, sum);
        }
    }
    return p;
}

RgbPicture chartPicture(int width, int height) {
    // sRGB bytes.
    constexpr std::uint8_t patches[24][3] = {
        {240, 240, 236}, {196, 196, 192}, {150, 150, 148}, {104, 104, 102}, {62, 62, 62},    {24, 24, 26},
        {232, 190, 160}, {198, 146, 112}, {150, 100, 70},  {96, 62, 44},    {120, 150, 200}, {90, 110, 60},
        {220, 40, 40},   {40, 160, 60},   {40, 60, 190},   {240, 200, 30},  {200, 60, 160},  {40, 170, 190},
        {250, 140, 30},  {110, 60, 160},  {170, 210, 60},  {240, 120, 130}, {30, 90, 120},   {130, 30, 40}};
    RgbPicture p = blank(width, height);
    const int margin = std::max(width / 40, 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int column = x * 6 / width;
            const int row = y * 4 / height;
            const int left = column * width / 6 + margin, right = (column + 1) * width / 6 - margin;
            const int top = row * height / 4 + margin, bottom = (row + 1) * height / 4 - margin;
            std::uint8_t* q = p.rgb.get() + (static_cast<std::size_t>(y) * width + x) * 3;
            if (x >= left && x < right && y >= top && y < bottom) {
                const std::uint8_t* c = patches[row * 6 + column];
                q[0] = c[0];
                q[1] = c[1];
                q[2] = c[2];
            } else {
                q[0] = q[1] = q[2] = 40;
            }
        }
    }
    return p;
}

}  // namespace vantrel
