#pragma once

// Matrices and vectors with the game code's conventions: left-handed, row vectors (v' = v·M),
// clip depth 0..w. Matrix memory is row-major (_11 = m[0][0]); shaders receive it untransposed,
// so GLSL `M * v` computes the row-vector product v·M.
namespace Gfx {

struct Vector2 {
    float x = 0, y = 0;
};
struct Vector3 {
    float x = 0, y = 0, z = 0;
};
struct Vector4 {
    float x = 0, y = 0, z = 0, w = 0;
};
struct Matrix {
    float m[4][4] = {};
};

Matrix MatrixIdentity();
// a·b: a is applied first.
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
// False, with the identity in `out`, when `m` is singular.
bool MatrixInverse(const Matrix& m, Matrix& out);
Matrix MatrixRotationY(float angle);
Matrix MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
// (x, y, 0, 1)·m
Vector4 Vec2Transform(const Vector2& v, const Matrix& m);
// (x, y, z, 1)·m
Vector4 Vec3Transform(const Vector3& v, const Matrix& m);
// v / |v|; the zero vector stays zero.
Vector3 Vec3Normalize(const Vector3& v);

} // namespace Gfx
