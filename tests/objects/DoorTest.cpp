#include "engine/collision/Collider.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <glm/gtc/constants.hpp>

using namespace objecttest;

namespace {

constexpr uint16_t kDoorId = 6;

// The door's swing from shut, about the up axis, in radians.
float SwingAngle(const PropDoor &door)
{
	const glm::quat turn = glm::inverse(door.GetClosedRotation()) * door.GetTargetRotation();
	return 2.0f * std::atan2(turn.y, turn.w);
}

TEST(PropDoor, StartsOpenShutOrLockedByItsLockAndGroups)
{
	struct Case {
		const char *name;
		uint32_t kind;
		uint16_t unlock; // 0: no "unlock" line
		bool open;
		bool locked;
		bool frozen;
	};
	const Case cases[] = {
		{"door without lock", 16, 0, false, false, false},
		{"lock door without lock", 7, 0, true, false, false},
		{"lock door, group off", 7, 5, false, true, false},
		{"door, group off", 16, 5, false, true, false},
		{"frozen lock", 7, 1, false, true, true},
		{"black gate", 25, 0, false, false, false},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		ObjectTestWorld world;
		MapObjectDef &record = world.Place(c.kind, 4, 4, kDoorId, "door");
		if (c.unlock != 0)
			world.AddCommand(record, kCmdUnlock, c.unlock);
		world.Load();
		world.Frames(10); // and it stays so
		auto *door = world.Find<PropDoor>(kDoorId);
		ASSERT_NE(door, nullptr);
		EXPECT_EQ(door->IsOpen(), c.open);
		EXPECT_EQ(door->IsLocked(), c.locked);
		EXPECT_EQ(door->IsFrozen(), c.frozen);
		EXPECT_EQ(door->collider->mode, c.open ? Collider::kModeIgnored : Collider::kModeStatic);
		EXPECT_TRUE(world.sounds.names.empty()); // nothing heard at load
	}
}

TEST(PropDoor, OpensByItselfWhenItsLockOrSecondGroupComesOn)
{
	ObjectTestWorld world;
	MapObjectDef &locked = world.Place(7, 2, 4, kDoorId, "door");
	world.AddCommand(locked, kCmdUnlock, 5);
	world.Place(16, 6, 4, 7, "door", 9); // second group 9
	world.Load();
	auto *lockDoor = world.Find<PropDoor>(kDoorId);
	auto *door = world.Find<PropDoor>(7);
	world.map.SetGroupFlag(5, true);
	world.Frame();
	EXPECT_TRUE(lockDoor->IsOpen());
	EXPECT_FALSE(lockDoor->IsLocked());
	EXPECT_FALSE(door->IsOpen());
	world.map.SetGroupFlag(9, true);
	world.Frame();
	EXPECT_TRUE(door->IsOpen());
	EXPECT_EQ(world.sounds.Count(PropDoor::kDoorSound), 2u);
	world.map.SetGroupFlag(9, false);
	world.Frame();
	EXPECT_FALSE(door->IsOpen()); // the map shut it again
}

TEST(PropDoor, AMirroredDoorHingesAndSwingsTheOtherWay)
{
	ObjectTestWorld world;
	world.Place(16, 2, 4, kDoorId, "door");
	MapObjectDef &mirrored = world.Place(16, 6, 4, 7, "door");
	mirrored.flipX = 1;
	world.Load();
	auto *plain = world.Find<PropDoor>(kDoorId);
	auto *other = world.Find<PropDoor>(7);
	EXPECT_LT(plain->renderOffset.x, 0.0f);
	EXPECT_GT(other->renderOffset.x, 0.0f);
	EXPECT_FLOAT_EQ(std::fabs(plain->renderOffset.x), 1.0f); // half a tile
	plain->OpenByPlayer();
	other->OpenByPlayer();
	EXPECT_NEAR(SwingAngle(*plain), -glm::half_pi<float>(), 1e-4f);
	EXPECT_NEAR(SwingAngle(*other), glm::half_pi<float>(), 1e-4f);
	// It eases there.
	world.Frames(60);
	EXPECT_NEAR(std::fabs(glm::dot(plain->transform.rotation, plain->GetTargetRotation())), 1.0f, 1e-3f);
}

TEST(PropDoor, SwingsAwayFromTheHero)
{
	float angles[2] = {};
	for (int side = 0; side < 2; side++) {
		SCOPED_TRACE(side);
		ObjectTestWorld world;
		world.Place(16, 4, 4, kDoorId, "door");
		world.Load();
		auto *door = world.Find<PropDoor>(kDoorId);
		MapEntity hero(1);
		const Vec3 forward = door->transform.GetForward();
		hero.transform.position = door->transform.position + forward * (side == 0 ? 2.0f : -2.0f);
		world.scene.AddEntity(&hero);
		world.Frame();
		door->OpenByPlayer();
		angles[side] = SwingAngle(*door);
	}
	EXPECT_NEAR(std::fabs(angles[0]), glm::half_pi<float>(), 1e-4f);
	EXPECT_NEAR(angles[0], -angles[1], 1e-4f);
}

TEST(PropDoor, TheKeyOpensALockedDoorAndTheMapRemembersIt)
{
	ObjectTestWorld world;
	MapObjectDef &record = world.Place(7, 4, 4, kDoorId, "door");
	world.AddCommand(record, kCmdUnlock, 5);
	world.Load();
	auto *door = world.Find<PropDoor>(kDoorId);
	ASSERT_TRUE(door->IsLocked());
	world.Frames(2);
	door->OpenByPlayer();
	world.Frames(5);
	EXPECT_TRUE(door->IsOpen());
	EXPECT_FALSE(door->IsLocked());
	EXPECT_TRUE(world.map.IsGroupEnabled(kDoorId));
	EXPECT_EQ(world.sounds.Count(PropDoor::kDoorSound), 1u);
	world.Load(); // back on the map
	EXPECT_TRUE(world.Find<PropDoor>(kDoorId)->IsOpen());
}

TEST(PropDoor, OpenedByTheHeroStaysOpenWhenTheMapCannotRememberIt)
{
	struct Case {
		const char *name;
		uint16_t id;
		bool fillGroups;
	};
	const Case cases[] = {{"group 0", 512, false}, {"no free group slot", kDoorId, true}};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		ObjectTestWorld world;
		world.Place(16, 4, 4, c.id, "door");
		world.Load();
		if (c.fillGroups) {
			for (int group = 100; group < 100 + TileMap::kGroupSlotCount; group++)
				world.map.SetGroupFlag(static_cast<uint8_t>(group), true);
		}
		auto *door = world.Find<PropDoor>(c.id);
		door->OpenByPlayer();
		EXPECT_FALSE(world.map.IsGroupEnabled(static_cast<uint8_t>(c.id & 0xFF)));
		world.Frames(10);
		EXPECT_TRUE(door->IsOpen());
		EXPECT_EQ(door->collider->mode, Collider::kModeIgnored);
	}
}

TEST(PropGate, NothingShiftsItFromItsPlace)
{
	ObjectTestWorld world;
	world.Place(17, 4, 4, kDoorId, "gate");
	world.Load();
	auto *gate = world.Find<PropGate>(kDoorId);
	const Vec3 pinned = gate->GetPinnedPosition();
	gate->transform.position += Vec3(0.5f, 0.0f, -0.3f);
	gate->moveVelocity = Vec3(3.0f, 0.0f, 0.0f);
	world.Frame();
	EXPECT_EQ(gate->transform.position, pinned);
	gate->OpenByPlayer();
	world.Frames(5);
	EXPECT_EQ(gate->transform.position, pinned);
	EXPECT_TRUE(IsDoorKind(17) && IsDoorKind(7) && IsDoorKind(16) && IsDoorKind(25));
	EXPECT_FALSE(IsDoorKind(18) || IsDoorKind(0));
}

} // namespace
