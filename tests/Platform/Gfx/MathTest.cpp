#include "Platform/Gfx/Math.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace Gfx;

Vector3 Direction(float heading, float pitch) {
    return {std::sin(heading) * std::cos(pitch), std::sin(pitch),
            std::cos(heading) * std::cos(pitch)};
}

// Row vectors, left-handed: (1,0,0)·RotationY(90°) = (0, 0, -1). The projection maps the near
// and far planes to depth 0 and 1 and narrows x by the aspect.
TEST(GfxMath, RotationIsLeftHandedAndDepthRunsFromZeroToOne) {
    const Vector4 v = Vec3Transform({1, 0, 0}, MatrixRotationY(float(M_PI / 2)));
    EXPECT_NEAR(v.x, 0, 1e-6);
    EXPECT_NEAR(v.z, -1, 1e-6);
    EXPECT_EQ(v.w, 1);
    const Matrix p = MatrixPerspectiveFovLH(float(M_PI / 2), 4.0f / 3.0f, 0.1f, 10000.0f);
    EXPECT_NEAR(p.m[0][0], 0.75f, 1e-6);
    const Vector4 nearPoint = Vec3Transform({0, 0, 0.1f}, p);
    const Vector4 farPoint = Vec3Transform({0, 0, 10000.0f}, p);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-5);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-5);
}

// The pointer ray: the centre of the screen through inverse(view·projection) gives the view
// direction, for headings and pitches around the sphere.
TEST(GfxMath, CentreOfScreenUnprojectsToTheViewDirection) {
    const Matrix proj =
        MatrixPerspectiveFovLH(80.0f * float(M_PI) / 180.0f, 1.3333334f, 0.1f, 10000.0f);
    const float cases[][2] = {{0, 0}, {1.0f, 0.3f}, {-2.5f, -0.7f}, {3.0f, 1.2f}};
    for (const auto& c : cases) {
        const Vector3 dir = Direction(c[0], c[1]);
        const Matrix view = MatrixLookAtLH({0, 0, 0}, dir, {0, 1, 0});
        Matrix inverse;
        ASSERT_TRUE(MatrixInverse(MatrixMultiply(view, proj), inverse));
        const Vector4 p = Vec2Transform({0, 0}, inverse);
        const Vector3 ray = Vec3Normalize({p.x, p.y, p.z});
        EXPECT_NEAR(ray.x, dir.x, 1e-4);
        EXPECT_NEAR(ray.y, dir.y, 1e-4);
        EXPECT_NEAR(ray.z, dir.z, 1e-4);
    }
}

// No NaN out of degenerate input: a singular matrix inverts to the identity and false, a zero
// vector normalises to zero.
TEST(GfxMath, DegenerateInputGivesNoNan) {
    Matrix out = MatrixRotationY(1);
    EXPECT_FALSE(MatrixInverse(Matrix{}, out));
    const Matrix identity = MatrixIdentity();
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(out.m[r][c], identity.m[r][c]) << r << "," << c;
        }
    }
    const Vector3 n = Vec3Normalize({0, 0, 0});
    EXPECT_TRUE(n.x == 0 && n.y == 0 && n.z == 0);
}

} // namespace
