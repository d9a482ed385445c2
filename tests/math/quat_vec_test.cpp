#include <gtest/gtest.h>

#include <cmath>

#include "math/mat4.h"
#include "math/quat.h"
#include "math/vec.h"

namespace {

TEST(Quaternion, NormalizeScalesToUnitLengthAndLeavesZeroAlone) {
    sm::Quat q{0.0f, 3.0f, 0.0f, 4.0f};
    sm::normalize(q);
    EXPECT_FLOAT_EQ(q.x, 0.6f);
    EXPECT_FLOAT_EQ(q.z, 0.8f);
    sm::Quat zero{0.0f, 0.0f, 0.0f, 0.0f};
    sm::normalize(zero);
    EXPECT_EQ(zero, (sm::Quat{0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST(Quaternion, AxisAngleRoundTrip) {
    EXPECT_EQ(sm::fromAxisAngle({0.0f, 1.0f, 0.0f}, 0.0f), (sm::Quat{1.0f, 0.0f, 0.0f, 0.0f}));
    const sm::Quat q = sm::fromAxisAngle({0.0f, 0.6f, 0.8f}, 1.2f);
    EXPECT_NEAR(q.w, std::cos(0.6), 1e-6);
    sm::Vec3 axis;
    float angle = 0.0f;
    sm::toAxisAngle(q, axis, angle);
    EXPECT_NEAR(angle, 1.2f, 1e-5f);
    EXPECT_NEAR(axis.x, 0.0f, 1e-5f);
    EXPECT_NEAR(axis.y, 0.6f, 1e-5f);
    EXPECT_NEAR(axis.z, 0.8f, 1e-5f);
}

TEST(Quaternion, ToAxisAngleOfIdentityAndItsMultiplesGivesZeroAngle) {
    for (float w : {1.0f, 2.0f, 0.25f}) {
        sm::Vec3 axis{9.0f, 9.0f, 9.0f};
        float angle = 5.0f;
        sm::toAxisAngle({w, 0.0f, 0.0f, 0.0f}, axis, angle);
        EXPECT_EQ(angle, 0.0f) << w;
        EXPECT_EQ(sm::rotation({w, 0.0f, 0.0f, 0.0f}), sm::identityMatrix()) << w;
    }
}

TEST(Quaternion, RoundingAboveOneStillGivesAFiniteAngle) {
    // So small that its square is subnormal: normalising leaves w above 1,
    // where acos alone would give NaN.
    const sm::Quat tiny{0x1.6a0f6ap-75f, 0.0f, 0.0f, 0.0f};
    sm::Quat normalised = tiny;
    sm::normalize(normalised);
    ASSERT_GT(normalised.w, 1.0f);
    sm::Vec3 axis;
    float angle = -1.0f;
    sm::toAxisAngle(tiny, axis, angle);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(sm::rotation(tiny), sm::identityMatrix());
    // And the same below -1: a half turn, finite.
    sm::toAxisAngle({-0x1.6a0f6ap-75f, 0.0f, 0.0f, 0.0f}, axis, angle);
    EXPECT_TRUE(std::isfinite(angle));
    EXPECT_NEAR(angle, 2.0f * 3.14159265f, 1e-5f);
}

TEST(Quaternion, RotationMatchesTheAxisAngleMatrixAndIgnoresSign) {
    const sm::Vec3 axis{0.0f, 0.0f, 1.0f};
    const sm::Quat q = sm::fromAxisAngle(axis, 0.9f);
    const sm::Mat4 expected = sm::rotationAxisAngle(axis, 0.9f);
    const sm::Mat4 m = sm::rotation(q);
    const sm::Mat4 negated = sm::rotation({-q.w, -q.x, -q.y, -q.z});
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(m.a[i], expected.a[i], 1e-5f) << i;
        EXPECT_NEAR(negated.a[i], expected.a[i], 1e-5f) << i;
    }
    // A non-unit quaternion is normalised first.
    const sm::Mat4 scaled = sm::rotation({q.w * 3.0f, q.x * 3.0f, q.y * 3.0f, q.z * 3.0f});
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(scaled.a[i], expected.a[i], 1e-5f) << i;
}

TEST(Quaternion, HamiltonProduct) {
    const sm::Quat i{0, 1, 0, 0}, j{0, 0, 1, 0}, k{0, 0, 0, 1};
    EXPECT_EQ(i * j, k);
    EXPECT_EQ(j * i, (sm::Quat{0, 0, 0, -1}));
    EXPECT_EQ(i * i, (sm::Quat{-1, 0, 0, 0}));
    // Composing two rotations about one axis adds their angles.
    const sm::Quat a = sm::fromAxisAngle({0, 1, 0}, 0.3f), b = sm::fromAxisAngle({0, 1, 0}, 0.5f);
    const sm::Quat c = a * b, expected = sm::fromAxisAngle({0, 1, 0}, 0.8f);
    EXPECT_NEAR(c.w, expected.w, 1e-6f);
    EXPECT_NEAR(c.y, expected.y, 1e-6f);
    const sm::Quat p{1, 2, 3, 4}, q{5, 6, 7, 8};
    EXPECT_EQ(p * q, (sm::Quat{-60, 12, 30, 24}));
}

TEST(Vector, LengthCrossAndNormalize) {
    EXPECT_EQ(sm::length({3.0f, 4.0f, 12.0f}), 13.0f);
    EXPECT_EQ(sm::cross({1, 0, 0}, {0, 1, 0}), (sm::Vec3{0, 0, 1}));
    EXPECT_EQ(sm::cross({1, 2, 3}, {4, 5, 6}), (sm::Vec3{-3, 6, -3}));
    sm::Vec3 v{0.0f, 0.0f, -5.0f};
    EXPECT_EQ(sm::normalize(v), (sm::Vec3{0.0f, 0.0f, -1.0f}));
    sm::Vec3 zero{};
    EXPECT_EQ(sm::normalize(zero), (sm::Vec3{}));
}

}  // namespace
