#pragma once

#include <cmath>

namespace qs {

// A 4 x 4 single-precision matrix, row-major, for row vectors: a point p becomes p * M, so
// A * B applies A first. This is the convention the camera table and part transforms use.
struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& at(int row, int column) { return m[row * 4 + column]; }
    float at(int row, int column) const { return m[row * 4 + column]; }

    static Matrix4 identity() { return {}; }
    static Matrix4 zero() {
        Matrix4 z;
        for (float& e : z.m) e = 0;
        return z;
    }
    static Matrix4 translation(double x, double y, double z) {
        Matrix4 t;
        t.at(3, 0) = static_cast<float>(x);
        t.at(3, 1) = static_cast<float>(y);
        t.at(3, 2) = static_cast<float>(z);
        return t;
    }
    static Matrix4 scaling(double x, double y, double z) {
        Matrix4 s;
        s.at(0, 0) = static_cast<float>(x);
        s.at(1, 1) = static_cast<float>(y);
        s.at(2, 2) = static_cast<float>(z);
        return s;
    }
    // A turn by `angle` radians about the axis (x, y, z) through the origin; about z, a
    // positive angle turns (1, 0, 0) towards (0, 1, 0). A zero axis turns nothing.
    static Matrix4 rotationAxis(double x, double y, double z, double angle) {
        const double length = std::sqrt(x * x + y * y + z * z);
        if (!(length > 1e-12) || angle == 0) return {};
        x /= length;
        y /= length;
        z /= length;
        const double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
        Matrix4 r;
        r.at(0, 0) = static_cast<float>(k * x * x + c);
        r.at(0, 1) = static_cast<float>(k * x * y + s * z);
        r.at(0, 2) = static_cast<float>(k * x * z - s * y);
        r.at(1, 0) = static_cast<float>(k * x * y - s * z);
        r.at(1, 1) = static_cast<float>(k * y * y + c);
        r.at(1, 2) = static_cast<float>(k * y * z + s * x);
        r.at(2, 0) = static_cast<float>(k * x * z + s * y);
        r.at(2, 1) = static_cast<float>(k * y * z - s * x);
        r.at(2, 2) = static_cast<float>(k * z * z + c);
        return r;
    }
};

inline Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
    Matrix4 r = Matrix4::zero();
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) {
            const float aik = a.at(i, k);
            for (int j = 0; j < 4; ++j) r.at(i, j) += aik * b.at(k, j);
        }
    return r;
}

struct Vector4 {
    float x = 0, y = 0, z = 0, w = 1;
};

inline Vector4 transform(const Vector4& p, const Matrix4& m) {
    return {p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + p.w * m.at(3, 0),
            p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + p.w * m.at(3, 1),
            p.x * m.at(0, 2) + p.y * m.at(1, 2) + p.z * m.at(2, 2) + p.w * m.at(3, 2),
            p.x * m.at(0, 3) + p.y * m.at(1, 3) + p.z * m.at(2, 3) + p.w * m.at(3, 3)};
}

}  // namespace qs
