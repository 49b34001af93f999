#pragma once

#include "engine/core/MathUtil.h"

#include <gtest/gtest.h>

// Compares two vectors component by component within a tolerance.
inline void ExpectVecNear(const Vec3 &expected, const Vec3 &actual, float tolerance = 1e-5f)
{
	EXPECT_NEAR(expected.x, actual.x, tolerance);
	EXPECT_NEAR(expected.y, actual.y, tolerance);
	EXPECT_NEAR(expected.z, actual.z, tolerance);
}
