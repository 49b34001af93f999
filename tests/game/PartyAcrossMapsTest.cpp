// The party in the running game, headless: on "home" a trigger's script
// takes the woodsmith and the oracle into the party with "party" lines; they
// follow the hero up a rise and out through the link to "town", where they
// stand rebuilt in kind order behind him (the woodsmith replacing the
// townsman placed there) and set on a foe that comes near.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "map/MapCommand.h"
#include "objects/FollowBehaviour.h"
#include "objects/NPCOracle.h"
#include "objects/NPCWoodsmith.h"
#include "objects/Party.h"
#include "support/GameSceneTestWorld.h"

namespace {

constexpr uint32_t kOracle = 27;
constexpr uint32_t kWoodsmith = 29;
constexpr uint16_t kWoodsmithId = 5;
constexpr uint16_t kOracleId = 6;
constexpr uint16_t kTownWoodsmithId = 7;
constexpr int kRiseX = 9; // home's columns from here east are a level higher

void Place(TileMapData &data, uint32_t kind, int x, int y, uint16_t id)
{
	MapObjectDef record;
	record.kind = kObjectEntity;
	record.type = (uint8_t)(kind - kEntityKindFromTypeOffset);
	record.x = (uint16_t)x;
	record.y = (uint16_t)y;
	record.id = id;
	data.entityRecords.push_back(record);
}

void AddLine(TileMapData &data, MapObjectDef &object, uint32_t code, uint16_t value)
{
	MapCommand command;
	command.code = code;
	command.value = value;
	data.commands.push_back(command);
	object.commandCount++;
}

class PartyAcrossMaps : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			GTEST_SKIP() << whyNot;
		world.book.AddFlat("home", 16, 10, [](TileMapData &data) {
			for (int y = 0; y < data.height; y++)
				for (int x = kRiseX; x < data.width; x++)
					data.tiles[(size_t)y * data.width + x].level = data.tiles[(size_t)y * data.width + x].secondLevel = 2;
			MapBook::AddObject(data, kObjectExit, "town", 15, 3, 1, 3);
			MapObjectDef &trigger = MapBook::AddObject(data, kObjectTrigger, "recruit", 3, 3, 3, 0);
			trigger.firstCommand = (uint16_t)data.commands.size();
			AddLine(data, trigger, kCmdActor, kWoodsmithId);
			AddLine(data, trigger, kCmdParty, 0);
			AddLine(data, trigger, kCmdActor, kOracleId);
			AddLine(data, trigger, kCmdParty, 0);
			Place(data, kWoodsmith, 2, 6, kWoodsmithId);
			Place(data, kOracle, 6, 6, kOracleId);
		});
		world.book.AddFlat("town", 16, 12, [](TileMapData &data) {
			MapBook::AddObject(data, kObjectExit, "home", 0, 4, 1, 3);
			Place(data, kWoodsmith, 12, 10, kTownWoodsmithId);
		});
	}
	void TearDown() override { Party::Instance().Clear(); }

	Player &Hero() { return world.scene->GetPlayer(); }
	TileMap &Map() { return world.scene->GetMap(); }
	Actor *RecordActor(uint16_t id)
	{
		MapObjectDef *record = Map().FindEntityRecordById(id);
		return record != nullptr ? dynamic_cast<Actor *>(record->entity) : nullptr;
	}
	static FollowBehaviour *Follow(Actor *actor)
	{
		return actor != nullptr ? dynamic_cast<FollowBehaviour *>(actor->GetCurrentBehaviour()) : nullptr;
	}
	float Distance(const Entity &a, const Entity &b)
	{
		Vec3 d = a.transform.position - b.transform.position;
		d.y = 0.0f;
		return Vec3Length(d);
	}
	void CloseMessages()
	{
		for (int i = 0; i < 20 && world.scene->GetHud().IsMessageVisible(); i++) {
			world.Press(SDL_SCANCODE_SPACE);
			world.Frame();
			world.Release(SDL_SCANCODE_SPACE);
			world.Frames(10);
		}
	}

	GameSceneTestWorld world;
};

TEST_F(PartyAcrossMaps, RecruitsFollowOverARiseThroughALinkAndFightThere)
{
	world.game.StartPlay();
	world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(120);
	CloseMessages();
	Actor *woodsmith = RecordActor(kWoodsmithId);
	Actor *oracle = RecordActor(kOracleId);
	ASSERT_NE(woodsmith, nullptr);
	ASSERT_NE(oracle, nullptr);
	EXPECT_FALSE(Party::Instance().IsMember(kWoodsmith));

	// The hero steps into the trigger: its script recruits both.
	Hero().SetPosition(world.TileCentre(4, 2));
	world.Frame();
	world.Press(SDL_SCANCODE_DOWN);
	for (int i = 0; i < 120 && Follow(oracle) == nullptr; i++)
		world.Frame();
	world.Release(SDL_SCANCODE_DOWN);
	ASSERT_NE(Follow(woodsmith), nullptr);
	ASSERT_NE(Follow(oracle), nullptr);
	EXPECT_EQ(Follow(woodsmith)->leader, &Hero());
	EXPECT_TRUE(Party::Instance().IsMember(kWoodsmith));
	EXPECT_TRUE(Party::Instance().IsMember(kOracle));
	EXPECT_EQ(Party::Instance().GetMemberCount(), 0u) << "joined where they stood";

	// Up on the rise: they climb after him.
	Hero().SetPosition(world.TileCentre(12, 4));
	const float high = Map().LevelHeight(2);
	bool caughtUp = false;
	for (int i = 0; i < 600 && !caughtUp; i++) {
		world.Frame();
		caughtUp = Distance(*woodsmith, Hero()) < FollowBehaviour::kNearRange && Distance(*oracle, Hero()) < FollowBehaviour::kNearRange
			&& woodsmith->transform.position.y > high - 0.1f && oracle->transform.position.y > high - 0.1f;
	}
	EXPECT_TRUE(caughtUp) << "both stand on the rise beside the hero";

	// East through the link to town.
	world.Press(SDL_SCANCODE_RIGHT);
	for (int i = 0; i < 300 && !Hero().HasExitTarget(); i++)
		world.Frame();
	world.Release(SDL_SCANCODE_RIGHT);
	ASSERT_TRUE(world.UntilOn("town"));
	world.Frame();

	// Rebuilt in kind order, one behind the other behind the hero.
	Party &party = Party::Instance();
	ASSERT_EQ(party.GetMemberCount(), 2u);
	Actor *first = party.GetMember(0);
	Actor *second = party.GetMember(1);
	EXPECT_NE(dynamic_cast<NPCOracle *>(first), nullptr);
	EXPECT_NE(dynamic_cast<NPCWoodsmith *>(second), nullptr);
	ASSERT_NE(Follow(first), nullptr);
	ASSERT_NE(Follow(second), nullptr);
	EXPECT_EQ(Follow(first)->leader, &Hero());
	EXPECT_EQ(Follow(second)->leader, first);
	const Vec3 back = -Hero().transform.GetForward();
	const Vec3 hero = Hero().transform.position;
	EXPECT_NEAR(first->homePosition.x, hero.x + back.x, 0.6f);
	EXPECT_NEAR(first->homePosition.z, hero.z + back.z, 0.6f);
	EXPECT_NEAR(second->homePosition.x, hero.x + 2.0f * back.x, 0.6f);
	EXPECT_NEAR(second->homePosition.z, hero.z + 2.0f * back.z, 0.6f);
	EXPECT_EQ(RecordActor(kTownWoodsmithId), second) << "the woodsmith of town is the member now";
	EXPECT_EQ(second->GetStats().heldKind, Party::kMemberTool);

	// The hero walks on; the line follows.
	world.Press(SDL_SCANCODE_RIGHT);
	world.Frames(60);
	world.Release(SDL_SCANCODE_RIGHT);
	world.Frames(90);
	EXPECT_LT(Distance(*first, Hero()), FollowBehaviour::kNearRange);
	EXPECT_LT(Distance(*second, *first), FollowBehaviour::kNearRange);

	// A foe steps up beside the line, between the first member and the hero,
	// facing the member: a member takes it on with the axe (members break
	// off a fight once the one they follow is out of their sight).
	Vec3 toHero = Hero().transform.position - first->transform.position;
	toHero.y = 0.0f;
	toHero = glm::normalize(toHero);
	auto foe = std::make_unique<Actor>(50);
	foe->faction = kFactionHostile;
	foe->GetStats().hearts = foe->GetStats().maxHearts = 12;
	world.scene->AddEntity(foe.get()); // joining turns it south; turn it after
	foe->transform.position = first->transform.position + toHero * 1.0f + Vec3(toHero.z, 0.0f, -toHero.x) * 0.8f;
	foe->facing = -toHero;
	foe->transform.SetRotation(LookRotation(-toHero, Vec3(0.0f, 1.0f, 0.0f)));
	bool struck = false;
	for (int i = 0; i < 600 && !struck; i++) {
		Hero().GetStats().hearts = Hero().GetStats().maxHearts;
		world.Frame();
		struck = foe->GetStats().hearts < 12;
	}
	EXPECT_TRUE(struck);
	EXPECT_TRUE(first->GetTarget() == foe.get() || second->GetTarget() == foe.get());
	world.scene->RemoveEntity(foe.get());
}

} // namespace
