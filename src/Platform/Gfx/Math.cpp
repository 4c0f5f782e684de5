#include "Platform/Gfx/Math.h"

#include <cmath>
#include <utility>

namespace Gfx {

namespace {

float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector4 Transform(const float v[4], const Matrix& m) {
    float r[4];
    for (int c = 0; c < 4; ++c) {
        r[c] = v[0] * m.m[0][c] + v[1] * m.m[1][c] + v[2] * m.m[2][c] + v[3] * m.m[3][c];
    }
    return {r[0], r[1], r[2], r[3]};
}

} // namespace

Matrix MatrixIdentity() {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        r.m[i][i] = 1.0f;
    }
    return r;
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) {
                s += a.m[i][k] * b.m[k][j];
            }
            r.m[i][j] = s;
        }
    }
    return r;
}

bool MatrixInverse(const Matrix& m, Matrix& out) {
    // Gauss-Jordan elimination with partial pivoting, in float as the game's numbers are.
    float a[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m.m[i][j];
            a[i][j + 4] = i == j ? 1.0f : 0.0f;
        }
    }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r) {
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) {
                pivot = r;
            }
        }
        if (std::fabs(a[pivot][c]) < 1e-12f) {
            out = MatrixIdentity();
            return false;
        }
        if (pivot != c) {
            for (int j = 0; j < 8; ++j) {
                std::swap(a[c][j], a[pivot][j]);
            }
        }
        const float inv = 1.0f / a[c][c];
        for (int j = 0; j < 8; ++j) {
            a[c][j] *= inv;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == c || a[r][c] == 0.0f) {
                continue;
            }
            const float f = a[r][c];
            for (int j = 0; j < 8; ++j) {
                a[r][j] -= f * a[c][j];
            }
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            out.m[i][j] = a[i][j + 4];
        }
    }
    return true;
}

Matrix MatrixRotationY(float angle) {
    Matrix r = MatrixIdentity();
    const float c = std::cos(angle), s = std::sin(angle);
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    const Vector3 z = Vec3Normalize({at.x - eye.x, at.y - eye.y, at.z - eye.z});
    const Vector3 x = Vec3Normalize(Cross(up, z));
    const Vector3 y = Cross(z, x);
    Matrix r;
    const Vector3 axes[3] = {x, y, z};
    for (int c = 0; c < 3; ++c) {
        r.m[0][c] = axes[c].x;
        r.m[1][c] = axes[c].y;
        r.m[2][c] = axes[c].z;
        r.m[3][c] = -Dot(axes[c], eye);
    }
    r.m[3][3] = 1.0f;
    return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    const float ys = 1.0f / std::tan(fovY / 2.0f);
    const float xs = ys / aspect;
    Matrix r;
    r.m[0][0] = xs;
    r.m[1][1] = ys;
    r.m[2][2] = zFar / (zFar - zNear);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zNear * zFar / (zFar - zNear);
    return r;
}

Vector4 Vec2Transform(const Vector2& v, const Matrix& m) {
    const float in[4] = {v.x, v.y, 0.0f, 1.0f};
    return Transform(in, m);
}

Vector4 Vec3Transform(const Vector3& v, const Matrix& m) {
    const float in[4] = {v.x, v.y, v.z, 1.0f};
    return Transform(in, m);
}

Vector3 Vec3Normalize(const Vector3& v) {
    const float len = std::sqrt(Dot(v, v));
    if (len == 0.0f) {
        return {};
    }
    return {v.x / len, v.y / len, v.z / len};
}

} // namespace Gfx
