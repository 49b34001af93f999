// The party in the running game, headless: on "home" a trigger's "party"
// lines take the woodsmith and the oracle in; they follow the hero up a rise
// and out through the link to "town", where they stand rebuilt in kind order
// behind him (the woodsmith replacing the townsman placed there) and set on
// a foe that comes near.
#include <gtest/gtest.h>

#include "objects/FollowBehaviour.h"
#include "objects/Party.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

namespace {

constexpr uint32_t kOracle = 27;
constexpr uint32_t kWoodsmith = 29;
constexpr int kRiseX = 9; // home's columns from here east are a level higher

class PartyAcrossMaps : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		world.book.AddFlat("home", 16, 10, [](TileMapData &data) {
			for (size_t i = 0; i < data.tiles.size(); i++) {
				if ((int)(i % data.width) >= kRiseX)
					data.tiles[i].level = data.tiles[i].secondLevel = 2;
			}
			MapBook::AddObject(data, kObjectExit, "town", 15, 3, 1, 3);
			MapObjectDef &trigger = MapBook::AddObject(data, kObjectTrigger, "recruit", 3, 3, 3, 0);
			for (uint16_t id : {5, 6}) {
				MapBook::AddLine(data, trigger, kCmdActor, id);
				MapBook::AddLine(data, trigger, kCmdParty, 0);
			}
			MapBook::AddEntity(data, kWoodsmith, 2, 6, 5);
			MapBook::AddEntity(data, kOracle, 6, 6, 6);
		});
		world.book.AddFlat("town", 16, 12, [](TileMapData &data) {
			MapBook::AddObject(data, kObjectExit, "home", 0, 4, 1, 3);
			MapBook::AddEntity(data, kWoodsmith, 12, 10, 7);
		});
	}
	void TearDown() override { Party::Instance().Clear(); }

	Player &Hero() { return world.scene->GetPlayer(); }
	Actor *RecordActor(uint16_t id)
	{
		return dynamic_cast<Actor *>(world.scene->GetMap().FindEntityRecordById(id)->entity);
	}
	static FollowBehaviour *Follow(Actor *actor)
	{
		return actor != nullptr ? dynamic_cast<FollowBehaviour *>(actor->GetCurrentBehaviour()) : nullptr;
	}
	static float Distance(const Entity &a, const Entity &b)
	{
		const Vec3 d = a.transform.position - b.transform.position;
		return Vec3Length(Vec3(d.x, 0.0f, d.z));
	}

	GameSceneTestWorld world;
};

TEST_F(PartyAcrossMaps, RecruitsFollowOverARiseThroughALinkAndFightThere)
{
	ASSERT_TRUE(world.BeginPlay());
	Actor *woodsmith = RecordActor(5);
	Actor *oracle = RecordActor(6);
	ASSERT_TRUE(woodsmith != nullptr && oracle != nullptr);
	Hero().SetPosition(world.TileCentre(4, 2));
	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_DOWN, [&] { return Follow(oracle) != nullptr; }, 120));
	ASSERT_NE(Follow(woodsmith), nullptr);
	EXPECT_EQ(Follow(woodsmith)->leader, &Hero());
	EXPECT_TRUE(Party::Instance().IsMember(kWoodsmith) && Party::Instance().IsMember(kOracle));
	EXPECT_EQ(Party::Instance().GetMemberCount(), 0u) << "joined where they stood";

	// Up on the rise: they climb after him.
	Hero().SetPosition(world.TileCentre(12, 4));
	const float high = world.scene->GetMap().LevelHeight(2) - 0.1f;
	auto beside = [&](Actor *member, const Entity &ahead) {
		return Distance(*member, ahead) < FollowBehaviour::kNearRange && member->transform.position.y > high;
	};
	for (int i = 0; i < 600 && !(beside(woodsmith, Hero()) && beside(oracle, Hero())); i++)
		world.Frame();
	EXPECT_TRUE(beside(woodsmith, Hero()) && beside(oracle, Hero()));

	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_RIGHT, [&] { return Hero().HasExitTarget(); }, 300));
	ASSERT_TRUE(world.UntilOn("town"));
	world.Frame();

	// Rebuilt in kind order, each one unit behind the one it follows.
	Party &party = Party::Instance();
	ASSERT_EQ(party.GetMemberCount(), 2u);
	Actor *first = party.GetMember(0);
	Actor *second = party.GetMember(1);
	EXPECT_EQ(first->GetKind(), kOracle);
	EXPECT_EQ(second->GetKind(), kWoodsmith);
	ASSERT_TRUE(Follow(first) != nullptr && Follow(second) != nullptr);
	EXPECT_EQ(Follow(first)->leader, &Hero());
	EXPECT_EQ(Follow(second)->leader, first);
	const Vec3 back = -Hero().transform.GetForward();
	const Vec3 spots[2][2] = {{first->homePosition, Hero().transform.position}, {second->homePosition, first->homePosition}};
	for (const auto &spot : spots) { // the hero has had a frame to move on
		EXPECT_NEAR(spot[0].x, spot[1].x + back.x, 0.2f);
		EXPECT_NEAR(spot[0].z, spot[1].z + back.z, 0.2f);
	}
	EXPECT_EQ(RecordActor(7), second) << "the woodsmith of town is the member now";
	EXPECT_EQ(second->GetStats().heldKind, Party::kMemberTool);

	world.Press(SDL_SCANCODE_RIGHT);
	world.Frames(60);
	world.Release(SDL_SCANCODE_RIGHT);
	world.Frames(90);
	EXPECT_LT(Distance(*first, Hero()), FollowBehaviour::kNearRange);
	EXPECT_LT(Distance(*second, *first), FollowBehaviour::kNearRange);

	// A foe steps up beside the line, toward the hero and facing the first
	// member (a member breaks off once the one it follows is out of sight).
	Vec3 ahead = Hero().transform.position - first->transform.position;
	ahead = glm::normalize(Vec3(ahead.x, 0.0f, ahead.z));
	auto foe = std::make_unique<Actor>(50);
	foe->faction = kFactionHostile;
	foe->GetStats().hearts = foe->GetStats().maxHearts = 12;
	world.scene->AddEntity(foe.get()); // joining turns it south; turn it after
	foe->transform.position = first->transform.position + ahead + Vec3(ahead.z, 0.0f, -ahead.x) * 0.8f;
	foe->facing = -ahead;
	foe->transform.SetRotation(LookRotation(-ahead, Vec3(0.0f, 1.0f, 0.0f)));
	for (int i = 0; i < 600 && foe->GetStats().hearts == 12; i++) {
		Hero().GetStats().hearts = Hero().GetStats().maxHearts;
		world.Frame();
	}
	EXPECT_LT(foe->GetStats().hearts, 12);
	EXPECT_TRUE(first->GetTarget() == foe.get() || second->GetTarget() == foe.get());
	world.scene->RemoveEntity(foe.get());
}

} // namespace
