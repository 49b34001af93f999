#include "engine/core/Transform.h"

#include "support/ExpectVec.h"

#include <glm/gtc/constants.hpp>

TEST(Transform, LookAtTurnsAxesTowardsTarget)
{
	struct Row {
		const char *name;
		Vec3 from, target, forward, right, up;
	};
	const Row rows[] = {
		{ "straight ahead keeps identity", Vec3(0), Vec3(0, 0, -5), Vec3(0, 0, -1), Vec3(1, 0, 0), Vec3(0, 1, 0) },
		{ "towards +X", Vec3(0), Vec3(5, 0, 0), Vec3(1, 0, 0), Vec3(0, 0, 1), Vec3(0, 1, 0) },
		{ "towards +Z from elsewhere", Vec3(3, 2, 1), Vec3(3, 2, 9), Vec3(0, 0, 1), Vec3(-1, 0, 0), Vec3(0, 1, 0) },
		{ "down and ahead", Vec3(0, 4, 4), Vec3(0), glm::normalize(Vec3(0, -1, -1)), Vec3(1, 0, 0), glm::normalize(Vec3(0, 1, -1)) },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Transform t;
		t.SetPosition(row.from);
		t.LookAt(row.target);
		ExpectVecNear(row.forward, t.GetForward());
		ExpectVecNear(row.right, t.GetRight());
		ExpectVecNear(row.up, t.GetUp());
	}
}

TEST(Transform, RotateTurnsInTheObjectsOwnFrame)
{
	Transform t;
	t.Rotate(glm::half_pi<float>(), Vec3(0, 2, 0)); // an unnormalised axis works the same
	ExpectVecNear(Vec3(-1, 0, 0), t.GetForward());
	ExpectVecNear(Vec3(0, 0, -1), t.GetRight());
	// About the turned right axis (world -Z) the nose goes up; about world X
	// the forward axis would not have moved.
	t.Rotate(glm::half_pi<float>(), Vec3(1, 0, 0));
	ExpectVecNear(Vec3(0, 1, 0), t.GetForward());
}

TEST(Transform, MatrixScalesThenRotatesThenMovesAndDecomposes)
{
	Transform t;
	ExpectVecNear(Vec3(1, 2, 3), Vec3(t.GetMatrix() * glm::vec4(1, 2, 3, 1)));
	t.SetPosition(Vec3(1, 2, 3));
	t.SetUniformScale(2.0f);
	ExpectVecNear(Vec3(3, 2, 3), Vec3(t.GetMatrix() * glm::vec4(1, 0, 0, 1)));
	t.SetScale(Vec3(2, 1, 1));
	t.Rotate(glm::half_pi<float>(), Vec3(0, 1, 0));
	// (1,0,0) scaled to (2,0,0), turned a quarter about Y to (0,0,-2), moved.
	ExpectVecNear(Vec3(1, 2, 1), Vec3(t.GetMatrix() * glm::vec4(1, 0, 0, 1)));

	t.Rotate(0.7f, Vec3(0.3f, 1, 0.2f));
	Transform copy;
	copy.SetFromMatrix(t.GetMatrix());
	ExpectVecNear(t.position, copy.position);
	ExpectVecNear(t.scale, copy.scale);
	ExpectVecNear(t.GetForward(), copy.GetForward());
	ExpectVecNear(t.GetUp(), copy.GetUp());
}
