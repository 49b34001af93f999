// Townsfolk in the running game, headless: the real in-game scene loads a
// small map, and the hero walks up to a townee who waves and, talked to,
// speaks under its name in its own voice; comes near the smith who runs off
// for good; and strikes the temptress, who yields only to the dress.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "map/MapCommand.h"
#include "objects/FacingBehaviour.h"
#include "objects/FleeBehaviour.h"
#include "objects/NPCTemptress.h"
#include "objects/NPCTinsmith.h"
#include "objects/NPCTownee.h"
#include "support/GameSceneTestWorld.h"

namespace {

constexpr int kMaxFrames = 600;
constexpr uint16_t kNpcId = 0x0106; // its group is 6
constexpr uint8_t kNpcGroup = 6;

// An entity placement with an optional one-line script.
MapObjectDef &Place(TileMapData &data, uint32_t kind, int x, int y, const char *name)
{
	MapObjectDef record;
	record.kind = kObjectEntity;
	record.type = (uint8_t)(kind - kEntityKindFromTypeOffset);
	record.x = (uint16_t)x;
	record.y = (uint16_t)y;
	record.id = kNpcId;
	record.name = MapName(name);
	record.key = HashName(name);
	record.firstCommand = (uint16_t)data.commands.size();
	data.entityRecords.push_back(record);
	return data.entityRecords.back();
}

void AddLine(TileMapData &data, MapObjectDef &object, uint32_t code, uint16_t value)
{
	MapCommand command;
	command.code = code;
	command.value = value;
	data.commands.push_back(command);
	object.commandCount++;
}

class TownsfolkOnMap : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			GTEST_SKIP() << whyNot;
	}
	// A fresh game on "home" with the one placement; the hero starts on
	// the top row, facing south toward it.
	void Play(const std::function<void(TileMapData &)> &placeIt)
	{
		world.book.AddFlat("home", 12, 14, placeIt);
		world.game.StartPlay();
		world.Begin();
		ASSERT_TRUE(world.UntilLoaded());
		world.Frames(120);
		CloseMessages();
	}
	Player &Hero() { return world.scene->GetPlayer(); }
	GameUI &Hud() { return world.scene->GetHud(); }
	template <class T> T *Npc()
	{
		const MapObjectDef *record = world.scene->GetMap().FindEntityRecordById(kNpcId);
		return record != nullptr ? dynamic_cast<T *>(record->entity) : nullptr;
	}
	void CloseMessages()
	{
		for (int i = 0; i < 20 && Hud().IsMessageVisible(); i++)
			Tap(SDL_SCANCODE_SPACE, 10);
	}
	void Tap(SDL_Scancode key, int after)
	{
		world.Press(key);
		world.Frame();
		world.Release(key);
		world.Frames(after);
	}
	bool WalkUntil(SDL_Scancode key, const std::function<bool()> &done)
	{
		for (int i = 0; i < kMaxFrames && !done(); i++) {
			world.Press(key);
			world.Frame();
		}
		world.Release(key);
		return done();
	}
	float Distance(const Entity &entity)
	{
		Vec3 d = entity.transform.position - Hero().transform.position;
		d.y = 0.0f;
		return Vec3Length(d);
	}

	GameSceneTestWorld world;
};

TEST_F(TownsfolkOnMap, TowneeWavesWithinEightAndSpeaksWithItsNameAndVoice)
{
	Play([](TileMapData &data) {
		data.messages.emplace_back("Fine weather for it.");
		MapObjectDef &townee = Place(data, 26, 6, 9, "Marta");
		AddLine(data, townee, kCmdSay, 0);
	});
	NPCTownee *townee = Npc<NPCTownee>();
	ASSERT_NE(townee, nullptr);
	auto *facing = dynamic_cast<FacingBehaviour *>(townee->GetCurrentBehaviour());
	ASSERT_NE(facing, nullptr) << "it has something to say";
	EXPECT_GT(Distance(*townee), FacingBehaviour::kWaveRange);
	EXPECT_EQ(facing->inRange, 0);

	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_DOWN, [&] { return facing->inRange != 0; }));
	EXPECT_LT(Distance(*townee), FacingBehaviour::kWaveRange);
	EXPECT_GT(Distance(*townee), FacingBehaviour::kWaveRange - 1.0f);
	ASSERT_NE(townee->GetAnimation(kAnimWave), nullptr) << "it wears a figure with the shared animations";
	EXPECT_EQ(townee->model.GetCurrentAnimation(), townee->GetAnimation(kAnimWave));
	world.Frames(30);
	Vec3 toHero = Hero().transform.position - townee->transform.position;
	toHero.y = 0.0f;
	EXPECT_GT(glm::dot(townee->transform.GetForward(), glm::normalize(toHero)), 0.9f) << "it turns to the hero";

	// Up to it, the prompt says "Talk"; the action key talks.
	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_DOWN, [&] { return Hud().IsPromptShown(); }));
	EXPECT_EQ(Hud().GetPromptLabel(), "Talk");
	world.Frames(5);
	const uint8_t spoken = townee->soundCounter;
	Tap(SDL_SCANCODE_SPACE, 2);
	ASSERT_TRUE(Hud().IsMessageVisible());
	EXPECT_TRUE(Hud().IsSpeech());
	EXPECT_EQ(Hud().GetTitleText(), "Marta");
	EXPECT_EQ(Hud().GetMessageText(), "Fine weather for it.");
	EXPECT_EQ((uint8_t)(townee->soundCounter - spoken), 1) << "one line, one word of its voice";
	EXPECT_STREQ(townee->soundSets[Actor::kSpeechVoice].pattern, "sfx/vox-smith%d.wav");
}

TEST_F(TownsfolkOnMap, SmithWithAFleeLineRunsAndKeepsRunning)
{
	Play([](TileMapData &data) {
		MapObjectDef &smith = Place(data, 28, 6, 7, "smith");
		AddLine(data, smith, kCmdFlee, 2); // east
	});
	NPCTinsmith *smith = Npc<NPCTinsmith>();
	ASSERT_NE(smith, nullptr);
	EXPECT_EQ(smith->GetFaction(), kFactionHostile);
	auto *flee = dynamic_cast<FleeBehaviour *>(smith->GetCurrentBehaviour());
	ASSERT_NE(flee, nullptr);
	const Vec3 placed = smith->transform.position;
	world.Frames(60);
	EXPECT_LT(Vec3Length(smith->transform.position - placed), 0.1f) << "waits while the hero is far";

	ASSERT_TRUE(WalkUntil(SDL_SCANCODE_DOWN, [&] { return flee->fleeing != 0; }));
	EXPECT_LT(Distance(*smith), FleeBehaviour::kNoticeRange + 0.5f);
	// The hero turns back; the smith runs east all the same.
	float lastX = smith->transform.position.x;
	for (int second = 0; second < 3; second++) {
		world.Press(SDL_SCANCODE_UP);
		world.Frames(20);
		world.Release(SDL_SCANCODE_UP);
		world.Frames(40);
		EXPECT_GT(smith->transform.position.x, lastX + 1.0f) << "second " << second;
		lastX = smith->transform.position.x;
	}
	EXPECT_EQ(smith->GetCurrentBehaviour(), flee);
}

TEST_F(TownsfolkOnMap, TemptressFallsOnlyToTheDressAndOpensHerGroup)
{
	Play([](TileMapData &data) { Place(data, 31, 6, 4, "temptress"); });
	NPCTemptress *her = Npc<NPCTemptress>();
	ASSERT_NE(her, nullptr);
	EXPECT_EQ(her->GetFaction(), kFactionHostile);
	const uint8_t hearts = her->GetStats().hearts;
	Hero().SetPosition(world.TileCentre(6, 6));
	world.Frame();
	Hero().FaceTowards(her);

	for (uint32_t weapon : {43u, 44u, 45u, 47u}) {
		SCOPED_TRACE("held " + std::to_string(weapon));
		Hero().Hold(weapon, nullptr);
		for (int i = 0; i < 30; i++) {
			EXPECT_FALSE(Hero().Attack(her, 1, 1.0f));
			world.Frame();
		}
		EXPECT_EQ(her->GetStats().hearts, hearts);
		EXPECT_TRUE(her->HasHearts());
	}
	EXPECT_FALSE(world.scene->GetMap().IsGroupEnabled(kNpcGroup));

	// The dress: each blow lands, the last fells her and opens her group.
	Hero().Hold(NPCTemptress::kDressKind, nullptr);
	bool fell = false;
	for (int i = 0; i < kMaxFrames && !fell; i++) {
		Hero().Attack(her, 1, 1.0f);
		world.Frame();
		fell = !her->HasHearts();
	}
	EXPECT_TRUE(fell);
	EXPECT_TRUE(world.scene->GetMap().IsGroupEnabled(kNpcGroup));
}

} // namespace
