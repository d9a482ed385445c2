#include <gtest/gtest.h>

#include <cmath>

#include "math/mat4.h"

namespace {

void expectNear(sm::Vec3 actual, sm::Vec3 expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

sm::Mat4 fromRows(const float rows[4][4]) {
    sm::Mat4 m;
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k) m.a[k * 4 + r] = rows[r][k];
    return m;
}

TEST(Matrix, IdentityHasOnesExactlyOnTheDiagonal) {
    sm::Mat4 m;
    for (float& v : m.a) v = 7.0f;
    sm::Mat4& same = sm::identity(m);
    EXPECT_EQ(&same, &m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.a[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}

TEST(Matrix, ProductAppliesTheRightFactorFirst) {
    const sm::Mat4 t = sm::translation({5.0f, 0.0f, 0.0f});
    const sm::Mat4 s = sm::scaling({2.0f, 2.0f, 2.0f});
    // T·S scales, then moves; S·T moves, then scales the moved point.
    EXPECT_EQ(sm::transformPoint(t * s, {1.0f, 0.0f, 0.0f}), (sm::Vec3{7.0f, 0.0f, 0.0f}));
    EXPECT_EQ(sm::transformPoint(s * t, {1.0f, 0.0f, 0.0f}), (sm::Vec3{12.0f, 0.0f, 0.0f}));
}

TEST(Matrix, ProductOfGeneralMatricesFollowsRowTimesColumn) {
    const float ra[4][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    const float rb[4][4] = {{2, 0, 1, 0}, {0, 1, 0, 3}, {1, 0, 0, 1}, {0, 2, 1, 0}};
    // Row-major A·B computed by hand.
    const float rc[4][4] = {{5, 10, 5, 9}, {17, 22, 13, 25}, {29, 34, 21, 41}, {41, 46, 29, 57}};
    EXPECT_EQ(fromRows(ra) * fromRows(rb), fromRows(rc));
}

TEST(Matrix, TranslationAfterRotationMapsTheOriginToTheOffset) {
    const sm::Vec3 t{1.5f, -2.0f, 3.25f};
    const sm::Mat4 m = sm::translation(t) * sm::rotationAxisAngle({0.0f, 0.0f, 1.0f}, 0.7f);
    EXPECT_EQ(sm::transformPoint(m, {0.0f, 0.0f, 0.0f}), t);
}

TEST(Matrix, TransformPointDoesNotDivideByW) {
    const sm::Mat4 p = sm::perspectiveFovX(1.2f, 1.5f, 0.5f, 100.0f);
    const sm::Vec3 point{1.0f, 2.0f, -10.0f};
    const sm::Vec3 out = sm::transformPoint(p, point);
    // w would be 10; the raw clip coordinates come back.
    EXPECT_FLOAT_EQ(out.x, p.a[0] * 1.0f);
    EXPECT_FLOAT_EQ(out.y, p.a[5] * 2.0f);
    EXPECT_FLOAT_EQ(out.z, p.a[10] * -10.0f + p.a[14]);
}

TEST(Matrix, RotationAboutXHasTheDocumentedElements) {
    const float angle = 0.4f;
    const sm::Mat4 m = sm::rotationAxisAngle({1.0f, 0.0f, 0.0f}, angle);
    const float cs = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float sn = static_cast<float>(std::sin(static_cast<double>(angle)));
    EXPECT_EQ(m.a[0], 1.0f);
    EXPECT_EQ(m.a[5], cs);
    EXPECT_EQ(m.a[10], cs);
    EXPECT_EQ(m.a[6], sn);
    EXPECT_EQ(m.a[9], -sn);
    for (int i : {1, 2, 3, 4, 7, 8, 11, 12, 13, 14}) EXPECT_EQ(m.a[i], 0.0f) << i;
    EXPECT_EQ(m.a[15], 1.0f);
}

TEST(Matrix, RotationIsCounterClockwiseAboutItsAxis) {
    const float quarter = 1.5707963267948966f;
    expectNear(sm::transformPoint(sm::rotationAxisAngle({0, 0, 1}, quarter), {1, 0, 0}), {0, 1, 0});
    expectNear(sm::transformPoint(sm::rotationAxisAngle({1, 0, 0}, quarter), {0, 1, 0}), {0, 0, 1});
    expectNear(sm::transformPoint(sm::rotationAxisAngle({0, 1, 0}, quarter), {0, 0, 1}), {1, 0, 0});
}

TEST(Matrix, InverseOfTranslationNegatesIt) {
    const sm::Mat4 inv = sm::inverse(sm::translation({2.0f, -3.0f, 4.0f}));
    EXPECT_EQ(inv, sm::translation({-2.0f, 3.0f, -4.0f}));
}

TEST(Matrix, InverseUndoesAGeneralTransform) {
    const sm::Mat4 m = sm::translation({1, 2, 3}) * sm::rotationAxisAngle({0.6f, 0.0f, 0.8f}, 1.1f) *
                       sm::scaling({2.0f, 0.5f, 3.0f});
    const sm::Mat4 product = m * sm::inverse(m);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product.a[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-5f) << i;
    // Also for a matrix with a projective row.
    const sm::Mat4 p = sm::perspectiveFovX(1.0f, 1.3f, 1.0f, 50.0f);
    const sm::Mat4 back = sm::inverse(p) * p;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(back.a[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-4f) << i;
}

TEST(Matrix, InverseOfSingularMatrixIsNonFinite) {
    const sm::Mat4 inv = sm::inverse(sm::scaling({1.0f, 0.0f, 1.0f}));
    bool anyNonFinite = false;
    for (float v : inv.a) anyNonFinite = anyNonFinite || !std::isfinite(v);
    EXPECT_TRUE(anyNonFinite);
}

TEST(Matrix, PerspectiveWithSquareAspect) {
    const float fov = 1.0471975511965976f;  // π/3
    const sm::Mat4 m = sm::perspectiveFovX(fov, 1.0f, 1.0f, 101.0f);
    const float n = 1.0f / std::tan(0.5235987755982988f);
    EXPECT_NEAR(m.a[0], n, 1e-5f);
    EXPECT_NEAR(m.a[5], n, 1e-5f);
    EXPECT_EQ(m.a[10], (1.0f + 101.0f) / (1.0f - 101.0f));
    EXPECT_EQ(m.a[11], -1.0f);
    EXPECT_EQ(m.a[14], 1.0f * 2.0f * 101.0f / (1.0f - 101.0f));
    EXPECT_EQ(m.a[15], 0.0f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13}) EXPECT_EQ(m.a[i], 0.0f) << i;
}

TEST(Matrix, PerspectiveDerivesTheVerticalFieldFromTheHorizontal) {
    const float fovX = 1.4f, aspect = 16.0f / 9.0f;
    const sm::Mat4 m = sm::perspectiveFovX(fovX, aspect, 0.1f, 10.0f);
    const double fovY = 2.0 * std::atan(std::tan(fovX / 2.0) / aspect);
    EXPECT_NEAR(m.a[5], 1.0 / std::tan(fovY / 2.0), 1e-5);
    EXPECT_FLOAT_EQ(m.a[0], m.a[5] / aspect);
    // The horizontal edge of the view maps to x = ±w.
    const float x = std::tan(fovX / 2.0f);
    const sm::Vec3 edge = sm::transformPoint(m, {x, 0.0f, -1.0f});
    EXPECT_NEAR(edge.x, 1.0f, 1e-5f);
}

}  // namespace
