#include "engine/core/Camera.h"

#include "engine/core/Random.h"
#include "support/ExpectVec.h"

namespace {
constexpr float kFrame = 1.0f / 60.0f;
} // namespace

TEST(Camera, ShakeRequestsOnlyEverRaiseTheShake)
{
	Camera camera;
	camera.Shake(0.3f);
	camera.Shake(0.1f);
	EXPECT_FLOAT_EQ(0.3f, camera.GetShakeAmount());
	struct Row {
		const char *name;
		float seconds, strength, expectedTime, expectedStrength;
	};
	const Row rows[] = { // applied in order to one camera
		{ "starts a timed shake", 2.0f, 3.0f, 2.0f, 3.0f },
		{ "shorter request ignored", 1.0f, 9.0f, 2.0f, 3.0f },
		{ "equal request ignored, strength too", 2.0f, 5.0f, 2.0f, 3.0f },
		{ "longer request replaces", 2.5f, 0.5f, 2.5f, 0.5f },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		camera.ShakeTimed(row.seconds, row.strength);
		EXPECT_FLOAT_EQ(row.expectedTime, camera.GetShakeTime());
		EXPECT_FLOAT_EQ(row.expectedStrength, camera.GetShakeStrength());
	}
}

TEST(Camera, UpdateShakesDecaysAndRests)
{
	struct Row {
		const char *name;
		float amount, seconds, strength;
		float spread; // expected spread of the offset, 0 when the view rests
		float amountAfter;
	};
	const Row rows[] = {
		{ "timed shake lifts the frame, not the amount", 0.0f, 2.0f, 1.0f, 0.02f, 0.0f },
		{ "timed strength scales the lift", 0.0f, 2.0f, 3.0f, 0.06f, 0.0f },
		{ "amount decays by one tenth a frame", 0.2f, 0.0f, 1.0f, 0.2f, 0.18f },
		{ "spread capped at half a unit", 2.0f, 0.0f, 1.0f, 0.5f, 1.8f },
		{ "tiny amount rests and stops decaying", 0.001f, 0.0f, 1.0f, 0.0f, 0.001f },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Camera camera;
		camera.Shake(row.amount);
		if (row.seconds > 0.0f)
			camera.ShakeTimed(row.seconds, row.strength);
		// Predict from a copy of the shared generator: vertical drawn first.
		Random copy = *GetRandom();
		Vec3 expected = camera.GetShakeOffset();
		if (row.spread > 0.0f) {
			expected.y = copy.Spread(row.spread);
			expected.x = copy.Spread(row.spread);
		}
		camera.Update(kFrame);
		ExpectVecNear(expected, camera.GetShakeOffset());
		EXPECT_NEAR(row.amountAfter, camera.GetShakeAmount(), 1e-6f);
		EXPECT_EQ(copy.Next(), Random(*GetRandom()).Next()) << "draws exactly two numbers, or none at rest";
	}
}

TEST(Camera, ViewMatrixUndoesEyeThenAddsShake)
{
	struct Row {
		const char *name;
		Vec3 eye, target, point, expected;
	};
	const Row rows[] = {
		{ "eye behind origin", Vec3(0, 0, 5), Vec3(0), Vec3(0), Vec3(0, 0, -5) },
		{ "point right of an eye facing +X", Vec3(0), Vec3(5, 0, 0), Vec3(5, 0, 2), Vec3(2, 0, -5) },
		{ "point above the target seen from above", Vec3(0, 10, 10), Vec3(0), Vec3(0, 1, 0), Vec3(0, 0.707107f, -13.435029f) },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Camera camera;
		camera.transform.SetPosition(row.eye);
		camera.transform.LookAt(row.target);
		ExpectVecNear(row.expected, Vec3(camera.GetViewMatrix() * glm::vec4(row.point, 1.0f)), 1e-3f);
	}
	// The shake moves the world before the eye turns: facing +X, a world X
	// shake shows up as depth.
	Camera camera;
	camera.transform.LookAt(Vec3(5, 0, 0));
	camera.Shake(0.4f);
	camera.Update(kFrame);
	const Vec3 shake = camera.GetShakeOffset();
	ExpectVecNear(Vec3(0, shake.y, -5 - shake.x), Vec3(camera.GetViewMatrix() * glm::vec4(5, 0, 0, 1)));
}
