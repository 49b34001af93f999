// Every creature against the hero in the running game, headless: the real
// in-game scene loads a small map holding one creature, the hero stands
// in front of it, and the test watches it notice, close in and attack, then
// strikes it down and sees the hero collect the chicken it drops.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "objects/AITargetingBehaviour.h"
#include "objects/ActorBird.h"
#include "objects/ActorChookBomb.h"
#include "objects/ActorRegistry.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

namespace {

constexpr uint16_t kCreatureId = 20;
constexpr int kCreatureX = 8;
constexpr int kCreatureY = 5;
constexpr float kBirdPerch = 3.0f; // world units above the ground
constexpr uint32_t kSword = 43;
constexpr uint32_t kFireSword = 45;

enum class Blow {
	Hearts,    // the hero loses hearts
	TakesSword, // the hero's hands are emptied
	Explodes,  // the creature blows itself up
	None,      // driven by scripts only: no attack of its own
};

struct Row {
	const char *name;
	uint32_t kind;
	uint32_t heroHolds; // 45: the fire sword
	Blow blow;
	int heroY; // the hero's tile row, in front (south) of the creature
};

void PrintTo(const Row &row, std::ostream *out)
{
	*out << row.name;
}

void Place(TileMapData &data, uint32_t kind)
{
	MapObjectDef record;
	record.kind = kObjectEntity;
	record.type = (uint8_t)(kind - 2);
	record.x = kCreatureX;
	record.y = kCreatureY;
	record.id = kCreatureId;
	data.entityRecords.push_back(record);
}

class CreaturesOnMap : public testing::TestWithParam<Row> {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		const uint32_t kind = GetParam().kind;
		world.book.AddFlat("home", 16, 16, [kind](TileMapData &data) { Place(data, kind); });
	}

	Player &Hero() { return world.scene->GetPlayer(); }
	Actor *Creature()
	{
		const MapObjectDef *record = world.scene->GetMap().FindEntityRecordById(kCreatureId);
		return record != nullptr ? dynamic_cast<Actor *>(record->entity) : nullptr;
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
	// Keeps the hero alive and in place through a long fight.
	void Refill()
	{
		Hero().GetStats().hearts = Hero().GetStats().maxHearts;
	}
	bool Noticed(Actor &creature)
	{
		if (auto *bird = dynamic_cast<ActorBird *>(&creature))
			return bird->birdState != ActorBird::kPerched;
		const ActorBehaviour *brain = creature.GetCurrentBehaviour();
		return brain != nullptr && brain->active != AITargetingBehaviour::kStateIdle;
	}
	float Distance(Actor &creature)
	{
		Vec3 d = creature.transform.position - Hero().transform.position;
		d.y = 0.0f;
		return Vec3Length(d);
	}
	// The hero's blow, repeated while the creature is still reeling.
	bool StrikeIt(Actor &creature)
	{
		for (int i = 0; i < 240; i++) {
			if (Hero().Attack(&creature, 1, 1.0f))
				return true;
			world.Frame();
		}
		return false;
	}

	GameSceneTestWorld world;
};

TEST_P(CreaturesOnMap, NoticesClosesInAttacksAndDiesDroppingChicken)
{
	const Row &row = GetParam();
	world.game.StartPlay();
	world.Begin();
	ASSERT_TRUE(world.UntilLoaded());
	world.Frames(120);
	CloseMessages();
	Actor *creature = Creature();
	ASSERT_NE(nullptr, creature);
	ASSERT_EQ(row.kind, creature->GetKind());
	if (auto *bird = dynamic_cast<ActorBird *>(creature)) {
		// Up on its perch, having seen nobody yet (the hero may have come in
		// within its sight before the test put him in place).
		bird->SetPosition(bird->homePosition + Vec3(0.0f, kBirdPerch, 0.0f));
		bird->birdState = ActorBird::kPerched;
		bird->SetTarget(nullptr);
		ActorRegistry::Remove(bird);
	}
	Hero().Hold(row.heroHolds, nullptr);
	CloseMessages(); // the tool's notice
	Hero().SetPosition(world.TileCentre(kCreatureX, row.heroY));
	if (row.kind == 61)
		creature->SetTarget(&Hero()); // as its tree does when the hero comes under it
	Refill();
	const Vec3 placed = creature->transform.position;

	if (row.blow == Blow::None) {
		world.Frames(120);
		EXPECT_LT(Vec3Length(creature->transform.position - placed), 0.1f) << "stands where placed";
		EXPECT_EQ(0u, creature->GetBehaviourCount());
	} else {
		// Notices.
		const float start = Distance(*creature);
		bool noticed = false;
		for (int i = 0; i < 600 && !noticed; i++) {
			world.Frame();
			noticed = Noticed(*creature);
		}
		ASSERT_TRUE(noticed) << "it leaves its idling";
		// Closes in and attacks.
		float nearest = start;
		bool attacked = false;
		const int hearts = Hero().GetStats().hearts;
		for (int i = 0; i < 1200 && !attacked; i++) {
			world.Frame();
			nearest = std::min(nearest, Distance(*creature));
			switch (row.blow) {
			case Blow::Hearts:
				attacked = Hero().GetStats().hearts < hearts;
				break;
			case Blow::TakesSword:
				attacked = Hero().GetStats().heldKind == 0;
				break;
			default:
				attacked = !creature->HasHearts();
				break;
			}
			Hero().SetPosition(world.TileCentre(kCreatureX, row.heroY));
		}
		EXPECT_TRUE(attacked);
		EXPECT_LT(nearest, start - 1.0f) << "it closed in";
		Refill();
	}

	if (row.blow != Blow::Explodes) {
		// Takes the strike; the last heart is struck off.
		if (creature->stats.hearts > 1) {
			const int before = creature->stats.hearts;
			ASSERT_TRUE(StrikeIt(*creature));
			EXPECT_EQ(before - 1, creature->stats.hearts);
			creature->stats.hearts = 1;
		}
		ASSERT_TRUE(StrikeIt(*creature));
		EXPECT_FALSE(creature->HasHearts());
	}

	// Dies after its delay, and the hero gathers the chicken.
	const int weight = Hero().GetStats().weight;
	const MapObjectDef *record = world.scene->GetMap().FindEntityRecordById(kCreatureId);
	ASSERT_NE(nullptr, record);
	Entity *body = record->entity;
	// The fire sword burns a weak foe down at once; others lie a while.
	if (row.blow != Blow::Explodes && row.heroHolds != kFireSword) {
		world.Frames(30);
		EXPECT_TRUE(body != nullptr && body->IsActive()) << "still lying there";
	}
	bool collected = false;
	for (int i = 0; i < 600 && !collected; i++) {
		Refill();
		world.Frame();
		collected = Hero().GetStats().weight >= weight + 1;
	}
	EXPECT_TRUE(collected) << "a tenth of a kilogram of chicken";
	EXPECT_TRUE(record->entity == nullptr || !record->entity->IsActive()) << "gone once dead";
	EXPECT_TRUE(world.game.screens.empty() || world.game.screens.back() != "died");
}

const Row kRows[] = {
	{"Chook", 50, kSword, Blow::Hearts, 8},
	{"Chook2", 51, kSword, Blow::Hearts, 8},
	{"ChookBoss", 52, kSword, Blow::Hearts, 8},
	{"Ogre", 53, kSword, Blow::Hearts, 8},
	{"Minion", 54, kSword, Blow::Hearts, 8},
	{"FireWizard", 55, kFireSword, Blow::Hearts, 11}, // beyond the reach of his ice
	{"DarkLord", 56, kSword, Blow::None, 8},
	{"ChookBomb", 57, kSword, Blow::Explodes, 8},
	{"Bird", 61, kSword, Blow::Hearts, 8},
	{"Blob", 62, kSword, Blow::TakesSword, 8},
};

INSTANTIATE_TEST_SUITE_P(EachCreature, CreaturesOnMap, testing::ValuesIn(kRows),
	[](const testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

} // namespace
