#pragma once

namespace lumora {

struct Vec2 {
    double x = 0;
    double y = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, double k) { return {a.x * k, a.y * k}; }
inline Vec2 operator+(Vec2 a, double k) { return {a.x + k, a.y + k}; }
inline Vec2 operator+(double k, Vec2 a) { return {a.x + k, a.y + k}; }

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;

    Vec2 xy() const { return {x, y}; }
    Vec2 yz() const { return {y, z}; }
    void setXy(Vec2 v) { x = v.x; y = v.y; }
    void setYz(Vec2 v) { y = v.x; z = v.y; }

    Vec3 &operator+=(Vec3 o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vec3 &operator*=(Vec3 o) { x *= o.x; y *= o.y; z *= o.z; return *this; }
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline Vec3 operator*(double k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }
inline Vec3 operator+(Vec3 a, double k) { return {a.x + k, a.y + k, a.z + k}; }
inline Vec3 operator-(Vec3 a, double k) { return {a.x - k, a.y - k, a.z - k}; }
inline Vec3 operator-(double k, Vec3 a) { return {k - a.x, k - a.y, k - a.z}; }
// Not in the pattern vocabulary, but distance() is defined through it.
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

} // namespace lumora
