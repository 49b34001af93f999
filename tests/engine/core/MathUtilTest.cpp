#include "engine/core/MathUtil.h"

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>

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

TEST(MathUtil, ScalarClampsAndLerp)
{
	struct Row {
		const char *name;
		float got, expected;
	};
	const Row rows[] = {
		{ "ClampAbs inside", ClampAbs(0.5f, 2.0f), 0.5f },
		{ "ClampAbs above", ClampAbs(3.0f, 2.0f), 2.0f },
		{ "ClampAbs below", ClampAbs(-3.0f, 2.0f), -2.0f },
		{ "ClampAbs takes the limit's size", ClampAbs(-3.0f, -2.0f), -2.0f },
		{ "Lerp a quarter", LerpClamped(2.0f, 6.0f, 0.25f), 3.0f },
		{ "Lerp t above 1 stops at b", LerpClamped(2.0f, 6.0f, 1.5f), 6.0f },
		{ "Lerp t below 0 stays at a", LerpClamped(2.0f, 6.0f, -0.5f), 2.0f },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		EXPECT_FLOAT_EQ(row.expected, row.got);
	}
}

TEST(MathUtil, VectorApproachLengthAndRange)
{
	const Vec3 from(0.0f, 10.0f, -4.0f);
	const Vec3 to(8.0f, 0.0f, 4.0f);
	const Vec3 half = ApproachVec3(from, to, 0.5f);
	EXPECT_FLOAT_EQ(half.x, 4.0f);
	EXPECT_FLOAT_EQ(half.y, 5.0f);
	EXPECT_FLOAT_EQ(half.z, 0.0f);
	const Vec3 past = ApproachVec3(from, to, 3.0f);
	EXPECT_EQ(past, to);
	// One 60 Hz frame at rate 0.25 covers a quarter of the way; two frames'
	// time at once cover what two such frames would.
	const Vec3 frame = SmoothApproachVec3(from, to, 0.25f, 1.0f / 60.0f);
	EXPECT_NEAR(frame.x, 2.0f, 1e-4f);
	const Vec3 twice = SmoothApproachVec3(SmoothApproachVec3(from, to, 0.25f, 1.0f / 60.0f), to, 0.25f, 1.0f / 60.0f);
	const Vec3 once = SmoothApproachVec3(from, to, 0.25f, 2.0f / 60.0f);
	EXPECT_NEAR(twice.x, once.x, 1e-4f);
	EXPECT_NEAR(twice.y, once.y, 1e-4f);

	const float inf = std::numeric_limits<float>::infinity();
	const float nan = std::numeric_limits<float>::quiet_NaN();
	EXPECT_FLOAT_EQ(Vec3Length(Vec3(3.0f, 0.0f, 4.0f)), 5.0f);
	EXPECT_EQ(Vec3Length(Vec3(inf, 0.0f, 0.0f)), 0.0f);
	EXPECT_EQ(Vec3Length(Vec3(0.0f, nan, 0.0f)), 0.0f);

	struct Row {
		const char *name;
		Vec3 v;
		float max;
		Vec3 expected;
	};
	const Row rows[] = {
		{ "shorter stays", Vec3(1.0f, 0.0f, 0.0f), 5.0f, Vec3(1.0f, 0.0f, 0.0f) },
		{ "exactly the limit stays", Vec3(3.0f, 0.0f, 4.0f), 5.0f, Vec3(3.0f, 0.0f, 4.0f) },
		{ "longer is cut along itself", Vec3(6.0f, 0.0f, 8.0f), 5.0f, Vec3(3.0f, 0.0f, 4.0f) },
		{ "zero stays zero", Vec3(0.0f), 5.0f, Vec3(0.0f) },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		const Vec3 got = ClampLength(row.v, row.max);
		EXPECT_NEAR(got.x, row.expected.x, 1e-5f);
		EXPECT_NEAR(got.y, row.expected.y, 1e-5f);
		EXPECT_NEAR(got.z, row.expected.z, 1e-5f);
	}

	EXPECT_TRUE(IsWithinRange(Vec3(0.0f), Vec3(0.0f, 0.0f, 1.9f), 2.0f));
	EXPECT_FALSE(IsWithinRange(Vec3(0.0f), Vec3(0.0f, 0.0f, 2.0f), 2.0f)); // exactly the range is out
	EXPECT_FALSE(IsWithinRange(Vec3(1.0f, 1.0f, 1.0f), Vec3(3.0f, 1.0f, 1.0f), -1.0f));
}

TEST(MathUtil, NormalizedOrKeepsTheWayOrFallsBack)
{
	const float inf = std::numeric_limits<float>::infinity();
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const Vec3 fallback(0.0f, 1.0f, 0.0f);
	struct Row {
		const char *name;
		Vec3 v;
		Vec3 expected;
	};
	const Row rows[] = {
		{ "a long vector keeps its way", Vec3(3.0f, 0.0f, 4.0f), Vec3(0.6f, 0.0f, 0.8f) },
		{ "a short one too", Vec3(0.0f, 0.0f, -0.25f), Vec3(0.0f, 0.0f, -1.0f) },
		{ "zero has no way", Vec3(0.0f), fallback },
		{ "an infinite part has none", Vec3(inf, 0.0f, 0.0f), fallback },
		{ "a NaN part has none", Vec3(0.0f, 0.0f, nan), fallback },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		const Vec3 got = NormalizedOr(row.v, fallback);
		EXPECT_NEAR(got.x, row.expected.x, 1e-6f);
		EXPECT_NEAR(got.y, row.expected.y, 1e-6f);
		EXPECT_NEAR(got.z, row.expected.z, 1e-6f);
	}
}

TEST(MathUtil, DirectionCodesAndTurning)
{
	struct Row {
		uint32_t code;
		Vec3 expected;
	};
	const Row rows[] = {
		{ 0, Vec3(0.0f) },
		{ 1, Vec3(0.0f, 0.0f, -1.0f) },
		{ 2, Vec3(1.0f, 0.0f, 0.0f) },
		{ 3, Vec3(0.0f, 0.0f, 1.0f) },
		{ 4, Vec3(-1.0f, 0.0f, 0.0f) },
		{ 5, Vec3(0.0f) },
	};
	const Vec3 up(0.0f, 1.0f, 0.0f);
	for (const Row &row : rows) {
		SCOPED_TRACE(testing::Message() << "code " << row.code);
		EXPECT_EQ(DirectionToVector(row.code), row.expected);
		// A rotation that looks along the code sends the local forward (-Z)
		// there; no direction looks along +Z.
		const Vec3 look = row.expected == Vec3(0.0f) ? Vec3(0.0f, 0.0f, 1.0f) : row.expected;
		const Vec3 forward = LookRotation(row.expected, up) * Vec3(0.0f, 0.0f, -1.0f);
		EXPECT_NEAR(forward.x, look.x, 1e-5f);
		EXPECT_NEAR(forward.z, look.z, 1e-5f);
	}
	// Looking straight up leaves the roll open but never gives NaN.
	const glm::quat straightUp = LookRotation(Vec3(0.0f, 5.0f, 0.0f), up);
	const Vec3 lookUp = straightUp * Vec3(0.0f, 0.0f, -1.0f);
	EXPECT_NEAR(lookUp.y, 1.0f, 1e-5f);

	// One 60 Hz frame at rate 0.5 turns half way from east to south.
	const glm::quat east = LookRotation(Vec3(1.0f, 0.0f, 0.0f), up);
	const glm::quat south = LookRotation(Vec3(0.0f, 0.0f, 1.0f), up);
	const Vec3 halfway = SlerpApproach(east, south, 0.5f, 1.0f / 60.0f) * Vec3(0.0f, 0.0f, -1.0f);
	EXPECT_NEAR(halfway.x, std::sqrt(0.5f), 1e-4f);
	EXPECT_NEAR(halfway.z, std::sqrt(0.5f), 1e-4f);
	const Vec3 stays = SlerpApproach(east, south, 0.5f, 0.0f) * Vec3(0.0f, 0.0f, -1.0f);
	EXPECT_NEAR(stays.x, 1.0f, 1e-5f);
}

TEST(MathUtil, SphereOutsideViewCutsOnlyWhatNoPlaneCanShow)
{
	// A camera at the origin looking down -Z, 90 degrees wide and tall,
	// seeing from 1 to 10 units ahead.
	const glm::mat4 clip = glm::perspective(glm::radians(90.0f), 1.0f, 1.0f, 10.0f);
	struct Row {
		const char *label;
		Vec3 centre;
		float radius;
		bool outside;
	};
	const Row rows[] = {
		{"straight ahead", Vec3(0, 0, -5), 0.5f, false},
		{"behind the eye", Vec3(0, 0, 5), 0.5f, true},
		{"nearer than the near plane", Vec3(0, 0, -0.2f), 0.5f, true},
		{"touching the near plane", Vec3(0, 0, -0.6f), 0.5f, false},
		{"beyond the far plane", Vec3(0, 0, -11), 0.5f, true},
		{"straddling the far plane", Vec3(0, 0, -10.3f), 0.5f, false},
		{"far to the right", Vec3(8, 0, -5), 0.5f, true},
		{"just past the right edge but reaching in", Vec3(5.5f, 0, -5), 0.5f, false},
		{"above the top", Vec3(0, 7, -5), 1.0f, true},
		{"below the bottom, large enough to reach in", Vec3(0, -7, -5), 2.0f, false},
		{"left of the left edge", Vec3(-7, 0, -5), 1.0f, true},
		{"a NaN centre is never cut", Vec3(std::nanf(""), 0, -5), 0.5f, false},
	};
	for (const Row &row : rows)
		EXPECT_EQ(row.outside, SphereOutsideView(clip, row.centre, row.radius)) << row.label;
	// A flat projection whose planes have no length cuts nothing.
	EXPECT_FALSE(SphereOutsideView(glm::mat4(0.0f), Vec3(100, 0, 0), 1.0f));
}
