#include "engine/collision/Collider.h"

#include "engine/core/Entity.h"

#include "support/ExpectVec.h"

#include <glm/gtc/constants.hpp>

namespace {

// An entity at a position owning a collider of the given size.
struct Body {
	Body(const Vec3 &position, const Vec3 &size, const Vec3 &offset = Vec3(0))
	{
		entity.transform.SetPosition(position);
		entity.collider = new Collider(&entity, size, offset);
	}
	Collider *operator->() { return entity.collider; }
	Entity entity;
};

} // namespace

TEST(Collider, BoundsFollowOwnerTurnScaleAndOffset)
{
	struct Row {
		const char *name;
		float turnAboutY; // radians
		Vec3 scale, expectedHalf;
	};
	const float quarter = glm::half_pi<float>();
	const Row rows[] = {
		{ "unturned", 0.0f, Vec3(1, 1, 1), Vec3(1, 0.5f, 2) },
		{ "quarter turn swaps X and Z", quarter, Vec3(1, 1, 1), Vec3(2, 0.5f, 1) },
		{ "three quarter turn swaps too", 3.0f * quarter, Vec3(1, 1, 1), Vec3(2, 0.5f, 1) },
		{ "eighth turn keeps the footprint", quarter * 0.5f, Vec3(1, 1, 1), Vec3(1, 0.5f, 2) },
		{ "mirrored X still doubles", 0.0f, Vec3(-2, 1, 1), Vec3(2, 0.5f, 2) },
		{ "scale applies after the swap", quarter, Vec3(3, 2, 1), Vec3(6, 1, 1) },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Body body(Vec3(5, 1, -2), Vec3(2, 1, 4), Vec3(0, 0.5f, 0));
		body.entity.transform.Rotate(row.turnAboutY, Vec3(0, 1, 0));
		body.entity.transform.SetScale(row.scale);
		const ColliderBox &box = body->UpdateBounds();
		ExpectVecNear(row.expectedHalf, box.half);
		ExpectVecNear(Vec3(5, 1.5f, -2), box.centre); // the offset neither turns nor scales
	}
}

TEST(Collider, OverlapAndContainmentIncludeFaces)
{
	struct Row {
		const char *name;
		Vec3 otherCentre;
		bool overlaps;
	};
	const Row rows[] = {
		{ "touching on X", Vec3(1, 0, 0), true },
		{ "touching on Z", Vec3(0, 0, -1), true },
		{ "gap on X", Vec3(1.001f, 0, 0), false },
		{ "gap on Z", Vec3(0, 0, 1.001f), false },
		{ "gap on Y only", Vec3(0.5f, -1.001f, 0.5f), false },
	};
	Body lone(Vec3(0), Vec3(1, 1, 1));
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Body other(row.otherCentre, Vec3(1, 1, 1));
		EXPECT_EQ(row.overlaps, lone->Intersects(other.entity.collider));
		EXPECT_EQ(row.overlaps, other->Intersects(lone.entity.collider));
	}
	EXPECT_FALSE(lone->Intersects(nullptr));
	EXPECT_TRUE(lone->ContainsPoint(Vec3(0.5f, -0.5f, 0.5f)));
	EXPECT_FALSE(lone->ContainsPoint(Vec3(0.5001f, 0, 0)));
	EXPECT_FALSE(lone->ContainsPoint(Vec3(0, 0, -0.5001f)));
}

TEST(Collider, PushOutMovesAlongOneAxisOrOnTop)
{
	struct Row {
		const char *name;
		Vec3 moving, movingHalf, still, stillHalf, expected;
	};
	const Vec3 o(0);
	const Vec3 unit(0.5f, 0.5f, 0.5f);
	const Row rows[] = {
		{ "shallower X, pushed back to -X", Vec3(-0.8f, 0, 0.1f), unit, o, unit, Vec3(-1, 0, 0.1f) },
		{ "shallower X, pushed back to +X", Vec3(0.8f, 0, -0.1f), unit, o, unit, Vec3(1, 0, -0.1f) },
		{ "shallower Z, pushed back to +Z", Vec3(0.1f, 0, 0.9f), unit, o, unit, Vec3(0.1f, 0, 1) },
		{ "equal gaps go along Z", Vec3(0.5f, 0, 0.5f), unit, o, unit, Vec3(0.5f, 0, 1) },
		{ "equal centres go to -Z", o, unit, o, unit, Vec3(0, 0, -1) },
		{ "touching faces stay", Vec3(1, 0, 0), unit, o, unit, Vec3(1, 0, 0) },
		{ "set on top even when it came from the side", Vec3(0.9f, 0.55f, 0), unit, o, unit, Vec3(0.9f, 1, 0) },
		{ "centre on the top face is pushed sideways", Vec3(0.9f, 0.5f, 0), unit, o, unit, Vec3(1, 0.5f, 0) },
		{ "below is never pushed down", Vec3(0.1f, -0.9f, 0.2f), unit, o, unit, Vec3(0.1f, -0.9f, 1) },
		{ "shifted by the sum of halves", Vec3(2.5f, 0, 0), Vec3(1, 1, 3), Vec3(4, 0, 0), Vec3(2, 1, 0.5f), Vec3(1, 0, 0) },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		ColliderBox a{ row.moving, row.movingHalf };
		BoxPushOut(a, ColliderBox{ row.still, row.stillHalf });
		ExpectVecNear(row.expected, a.centre);
		ExpectVecNear(row.movingHalf, a.half);
	}
}

TEST(Collider, ResolveMovesOnlyTheNotHeavierOwner)
{
	struct Row {
		float weight, otherWeight;
		bool moves;
	};
	const Row rows[] = { { 1.0f, 2.0f, true }, { 1.0f, 1.0f, true }, { 2.0f, 1.0f, false } };
	for (const Row &row : rows) {
		SCOPED_TRACE(testing::Message() << "weights " << row.weight << " against " << row.otherWeight);
		// Boxes sit half a unit above their owners' feet; the wall is rebuilt
		// where it stands now, not where it was at the last check.
		Body mover(Vec3(-0.8f, 0, 0), Vec3(1), Vec3(0, 0.5f, 0));
		Body wall(Vec3(9, 0, 0), Vec3(1), Vec3(0, 0.5f, 0));
		mover->weight = row.weight;
		wall->weight = row.otherWeight;
		ASSERT_FALSE(mover->Intersects(wall.entity.collider));
		wall.entity.transform.SetPosition(Vec3(0));
		mover->Resolve(wall.entity.collider);
		mover->Resolve(nullptr);
		ExpectVecNear(row.moves ? Vec3(-1, 0, 0) : Vec3(-0.8f, 0, 0), mover.entity.transform.position);
		ExpectVecNear(Vec3(0), wall.entity.transform.position);
	}
}

TEST(Collider, KeptBoundsFollowEveryChangeThatShapesThem)
{
	struct Row {
		const char *name;
		void (*change)(Entity &owner);
	};
	const Row rows[] = {
		{ "moved", [](Entity &e) { e.transform.position.z += 3.0f; } },
		{ "scaled", [](Entity &e) { e.transform.scale.x = 2.0f; } },
		{ "turned a quarter", [](Entity &e) { e.transform.Rotate(glm::half_pi<float>(), Vec3(0, 1, 0)); } },
		{ "resized", [](Entity &e) { e.collider->size.z = 6.0f; } },
		{ "offset moved", [](Entity &e) { e.collider->offset.x = -1.0f; } },
		{ "pushed out", [](Entity &e) {
			Body wall(Vec3(1.2f, 0, 0), Vec3(1));
			e.collider->Resolve(wall.entity.collider);
		} },
		{ "left alone", [](Entity &) {} },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Body body(Vec3(0.5f, 0, 0), Vec3(2, 1, 4), Vec3(0, 0.5f, 0));
		body->UpdateBounds();
		row.change(body.entity);
		const ColliderBox kept = body->UpdateBounds();
		// A collider that never saw the old state builds the box afresh.
		Entity twin;
		twin.transform = body.entity.transform;
		twin.collider = new Collider(&twin, body->size, body->offset);
		const ColliderBox &fresh = twin.collider->UpdateBounds();
		EXPECT_EQ(fresh.centre, kept.centre);
		EXPECT_EQ(fresh.half, kept.half);
	}
}
