#include "engine/core/MathUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(MathUtil, ClampTestsLowerBoundFirstAndNaNPicksSecond)
{
	struct Row {
		float x, lo, hi, expected;
	};
	const Row rows[] = { { 0.5f, 0, 1, 0.5f }, { -3, 0, 1, 0 }, { 7, 0, 1, 1 }, { 3, 5, 2, 5 }, { 9, 5, 2, 2 } };
	for (const Row &row : rows) {
		SCOPED_TRACE(testing::Message() << row.x << " in " << row.lo << ".." << row.hi);
		EXPECT_EQ(row.expected, Clamp(row.x, row.lo, row.hi));
	}
	EXPECT_EQ(1.0f, Clamp01(1.25f));
	const float nan = std::numeric_limits<float>::quiet_NaN();
	EXPECT_EQ(3.0f, Min(nan, 3.0f));
	EXPECT_EQ(3.0f, Max(nan, 3.0f));
	EXPECT_TRUE(std::isnan(Max(3.0f, nan)));
	EXPECT_EQ(1.0f, Min(2.0f, 1.0f));
	EXPECT_EQ(2.0f, Max(1.0f, 2.0f));
}

TEST(MathUtil, SmoothFactorIsFrameRateIndependent)
{
	struct Row {
		const char *name;
		float rate, frameTime, expected;
	};
	const Row rows[] = {
		{ "one frame at 60 Hz", 0.1f, 1.0f / 60.0f, 0.1f },
		{ "no time passed", 0.1f, 0.0f, 0.0f },
		{ "two frames at once", 0.1f, 2.0f / 60.0f, 0.19f },
		{ "half a frame", 0.19f, 0.5f / 60.0f, 0.1f },
		{ "negative time clamps to 0", 0.5f, -1.0f, 0.0f },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		EXPECT_NEAR(row.expected, SmoothFactor(row.rate, row.frameTime), 1e-5f);
	}
}
