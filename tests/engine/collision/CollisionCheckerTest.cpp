#include "engine/collision/CollisionChecker.h"

#include "engine/collision/Collider.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <functional>
#include <vector>

namespace {

// A unit box on the X axis that records whom it was told it touched.
class Probe : public Entity {
public:
	Probe(float x, int32_t mode, float weight = 1.0f)
	{
		transform.SetPosition(Vec3(x, 0, 0));
		collider = new Collider(this, Vec3(1), Vec3(0));
		collider->mode = mode;
		collider->weight = weight;
	}
	~Probe() override { if (deleted) *deleted = true; }
	void OnCollide(Entity *other) override { touched.push_back(other); if (onCollide) onCollide(other); }
	bool Lists(const Entity *other) const { return std::count(collider->contacts.begin(), collider->contacts.end(), other) == 1; }

	std::vector<Entity *> touched;
	std::function<void(Entity *)> onCollide;
	bool *deleted = nullptr;
};

} // namespace

TEST(CollisionChecker, ModesAndWeightsDecideWhoMeetsAndWhoMoves)
{
	struct Row {
		const char *name;
		int32_t modeA;
		float weightA;
		int32_t modeB;
		float weightB;
		bool meet;
		float expectedA, expectedB;
	};
	// A stands at 0 and B at 0.5, overlapping by half a unit on X.
	const Row rows[] = {
		{ "two touch-only boxes never meet", 2, 1, 2, 1, false, 0, 0.5f },
		{ "touch-only meets a static solid", 2, 1, 3, 1, true, 0, 0.5f },
		{ "touch-only is never pushed by a movable", 0, 1, 4, 1, true, 0, 0.5f },
		{ "left-out box meets nothing", 1, 1, 4, 1, false, 0, 0.5f },
		{ "two static solids stay", 3, 1, 3, 1, true, 0, 0.5f },
		{ "only the lighter of two movables moves", 4, 2, 4, 1, true, 0, 1.0f },
		{ "lighter first movable moves", 4, 1, 4, 2, true, -0.5f, 0.5f },
		{ "heavier movable stays against a light static", 4, 1, 3, 0.5f, true, 0, 0.5f },
		{ "movable second is pushed off a static", 3, 1, 4, 1, true, 0, 1.0f },
		{ "equal movables: A yields, B already clear", 4, 1, 4, 1, true, -0.5f, 0.5f },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Scene scene;
		Probe a(0.0f, row.modeA, row.weightA);
		Probe b(0.5f, row.modeB, row.weightB);
		scene.AddEntity(&a);
		scene.AddEntity(&b);
		CollisionChecker checker;
		checker.Check(&scene);
		EXPECT_EQ(row.meet, a.Lists(&b));
		EXPECT_EQ(row.meet, b.Lists(&a));
		EXPECT_EQ(row.meet ? 1u : 0u, a.touched.size());
		EXPECT_EQ(row.meet ? 1u : 0u, b.touched.size());
		EXPECT_FLOAT_EQ(row.expectedA, a.transform.position.x);
		EXPECT_FLOAT_EQ(row.expectedB, b.transform.position.x);
	}
}

TEST(CollisionChecker, EntityMovedByOnePairMeetsLaterPartnersWhereItIsNow)
{
	Scene scene;
	Probe mover(0.0f, 4);
	Probe wall(0.8f, 3);
	Probe post(-1.1f, 3); // clear of the mover's start, not of where the wall puts it
	scene.AddEntity(&mover);
	scene.AddEntity(&wall);
	scene.AddEntity(&post);
	CollisionChecker checker;
	checker.Check(&scene);
	EXPECT_TRUE(mover.Lists(&wall));
	EXPECT_TRUE(mover.Lists(&post));
	EXPECT_FALSE(wall.Lists(&post));
	EXPECT_NEAR(-0.1f, mover.transform.position.x, 1e-5f);
	checker.Check(&scene);
	EXPECT_EQ(2u, mover.collider->contacts.size()) << "each check starts from empty lists";
}

TEST(CollisionChecker, PausedLoneAndLeftOutEntitiesAreSkippedAndNotFound)
{
	CollisionChecker checker;
	EXPECT_EQ(&checker, CollisionChecker::Get());
	EXPECT_EQ(nullptr, checker.FindHit(Vec3(0))) << "nothing was checked yet";

	Scene scene;
	Probe lone(0.0f, 3);
	lone.collider->contacts.push_back(&lone);
	scene.AddEntity(&lone);
	checker.Check(&scene);
	EXPECT_TRUE(lone.collider->contacts.empty());
	EXPECT_TRUE(lone.touched.empty());

	Probe other(0.4f, 3);
	Probe hidden(4.8f, 1);
	Probe trigger(5.2f, 2);
	scene.AddEntity(&other);
	scene.AddEntity(&hidden);
	scene.AddEntity(&trigger);
	checker.Check(&scene);
	ASSERT_TRUE(lone.Lists(&other));
	struct Row {
		const char *name;
		Vec3 point;
		Entity *expected;
	};
	const Row rows[] = {
		{ "overlap goes to scene order", Vec3(0.2f, 0, 0), &lone },
		{ "only the second holds it, on a face", Vec3(0.8f, 0.5f, 0), &other },
		{ "left-out box is invisible, the trigger behind it is not", Vec3(5.0f, 0, 0), &trigger },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		EXPECT_EQ(row.expected, checker.FindHit(row.point));
	}

	other.SetActive(false);
	lone.touched.clear();
	checker.Check(&scene);
	EXPECT_TRUE(lone.collider->contacts.empty());
	EXPECT_TRUE(other.collider->contacts.empty()) << "a paused entity's list is still emptied";
	EXPECT_TRUE(lone.touched.empty());
	EXPECT_EQ(nullptr, checker.FindHit(Vec3(0.8f, 0, 0))) << "a paused entity is not found";
}

TEST(CollisionChecker, DestroyDuringCheckWaitsUntilTheCheckEnds)
{
	Scene scene;
	CollisionChecker checker;
	bool victimDeleted = false;
	bool victimAliveAtNextPair = false;
	auto *striker = new Probe(0.0f, 4);
	auto *victim = new Probe(0.5f, 3);
	auto *bystander = new Probe(-0.5f, 3);
	victim->deleted = &victimDeleted;
	striker->onCollide = [&](Entity *other) {
		EXPECT_TRUE(CollisionChecker::IsChecking());
		if (other == victim)
			other->Destroy();
		else
			victimAliveAtNextPair = !victimDeleted;
	};
	victim->onCollide = [&](Entity *) { victim->Destroy(); }; // a second Destroy: still one delete
	scene.AddEntity(striker);
	scene.AddEntity(victim);
	scene.AddEntity(bystander);

	checker.Check(&scene);
	EXPECT_FALSE(CollisionChecker::IsChecking());
	EXPECT_TRUE(victimAliveAtNextPair);
	EXPECT_TRUE(victimDeleted);
	EXPECT_FALSE(striker->Lists(victim)) << "no contact list keeps a deleted entity";
	EXPECT_TRUE(striker->Lists(bystander));

	bool bystanderDeleted = false;
	bystander->deleted = &bystanderDeleted;
	bystander->Destroy();
	EXPECT_TRUE(bystanderDeleted) << "outside a check Destroy deletes at once";
	delete striker;
}

TEST(CollisionChecker, PartnersForgetAnEntityDeletedBetweenChecks)
{
	// A touch-only box between two solids that do not touch each other: A
	// meets both B and C and nobody moves.
	struct Row {
		const char *name;
		bool aLeavesTheSceneFirst; // and one more check runs without A
		bool viaDestroy;           // else the owner deletes B
		std::vector<Entity *> (*expected)(Entity *c);
	};
	const Row rows[] = {
		{ "deleted by its owner", false, false, [](Entity *c) { return std::vector<Entity *> { c }; } },
		{ "destroyed in its own update", false, true, [](Entity *c) { return std::vector<Entity *> { c }; } },
		{ "after the partner left the scene", true, false, [](Entity *) { return std::vector<Entity *> {}; } },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Scene scene;
		CollisionChecker checker;
		Probe a(0.0f, Collider::kModeTrigger);
		Probe c(-0.6f, Collider::kModeStatic);
		auto *b = new Probe(0.6f, Collider::kModeStatic);
		bool bDeleted = false;
		b->deleted = &bDeleted;
		scene.AddEntity(&a);
		scene.AddEntity(b);
		scene.AddEntity(&c);
		checker.Check(&scene);
		ASSERT_TRUE(a.Lists(b));
		ASSERT_TRUE(a.Lists(&c));
		ASSERT_FALSE(b->Lists(&c));

		if (row.aLeavesTheSceneFirst) {
			scene.RemoveEntity(&a);
			checker.Check(&scene);
		}
		if (row.viaDestroy)
			b->Destroy();
		else
			delete b;
		ASSERT_TRUE(bDeleted);
		// A never points at the freed B, however long ago they touched.
		EXPECT_EQ(a.collider->contacts, row.expected(&c));
		EXPECT_EQ(c.Lists(&a), !row.aLeavesTheSceneFirst);
	}
}

// A hostile map may pile any number of solids on one spot: a check tries at
// most kMostPairTests pairs, so the handlers run a bounded number of times
// and the check ends in a frame's time. Until then every pair is tried,
// however many partners an entity has met.
TEST(CollisionChecker, ACrowdOnOneSpotIsBoundedPerCheck)
{
	constexpr size_t kCrowd = 400; // more pairs than the bound allows
	Scene scene;
	std::vector<std::unique_ptr<Probe>> crowd;
	for (size_t i = 0; i < kCrowd; i++) {
		crowd.push_back(std::make_unique<Probe>(0.0f, 4));
		scene.AddEntity(crowd.back().get());
	}
	CollisionChecker checker;
	const auto start = std::chrono::steady_clock::now();
	checker.Check(&scene);
	const auto took = std::chrono::steady_clock::now() - start;
	size_t handlers = 0;
	for (const auto &probe : crowd) {
		EXPECT_EQ(probe->touched.size(), probe->collider->contacts.size());
		handlers += probe->touched.size();
	}
	EXPECT_LE(handlers, 2 * size_t { CollisionChecker::kMostPairTests });
	EXPECT_TRUE(crowd[0]->Lists(crowd[kCrowd - 1].get())) << "the first row is tried in full";
	EXPECT_FALSE(crowd[kCrowd - 2]->Lists(crowd[kCrowd - 1].get())) << "the bound came before the last rows";
	EXPECT_LT(took, std::chrono::milliseconds(250));
	for (const auto &probe : crowd)
		scene.RemoveEntity(probe.get());
}

// Lists are emptied every check and filled again; their storage stays, so a
// steady game does not free and grow them each frame.
TEST(CollisionChecker, EmptiedContactListsKeepTheirStorage)
{
	Scene scene;
	Probe a(0.0f, 3);
	Probe b(0.5f, 3);
	Probe c(-0.5f, 3);
	scene.AddEntity(&a);
	scene.AddEntity(&b);
	scene.AddEntity(&c);
	CollisionChecker checker;
	checker.Check(&scene);
	ASSERT_TRUE(a.Lists(&b) && a.Lists(&c));
	const size_t room = a.collider->contacts.capacity();

	ForgetContacts(&a);
	EXPECT_TRUE(a.collider->contacts.empty());
	EXPECT_EQ(room, a.collider->contacts.capacity());
	EXPECT_FALSE(b.Lists(&a)) << "partners forget it together with it";
	EXPECT_FALSE(c.Lists(&a));

	checker.Check(&scene);
	ASSERT_TRUE(b.Lists(&a));
	const size_t roomB = b.collider->contacts.capacity();
	b.transform.SetPosition(Vec3(5, 0, 0));
	c.transform.SetPosition(Vec3(-5, 0, 0));
	checker.Check(&scene);
	EXPECT_TRUE(a.collider->contacts.empty());
	EXPECT_TRUE(b.collider->contacts.empty());
	EXPECT_EQ(room, a.collider->contacts.capacity());
	EXPECT_EQ(roomB, b.collider->contacts.capacity());
}
