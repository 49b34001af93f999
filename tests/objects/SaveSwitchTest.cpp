#include "engine/collision/Collider.h"
#include "objects/Player.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

using namespace objecttest;

namespace {

constexpr uint16_t kFireId = 9;

class FireplaceTest : public testing::Test {
protected:
	void SetUp() override
	{
		PropSaveSwitch::SetMessageCounter(0);
		world.link.currentMapId = HashName("test");
		world.link.startMap = HashName("home");
		world.Place(PropSaveSwitch::kKind, 4, 4, kFireId, "fire");
		world.Load();
		world.Frames(3); // past the first crackle-less moment
		fire = world.Find<PropSaveSwitch>(kFireId);
		ASSERT_NE(fire, nullptr);
		player.stats.maxHearts = 8;
		player.stats.hearts = 3;
	}

	ObjectTestWorld world;
	Player player;
	PropSaveSwitch *fire = nullptr;
};

TEST_F(FireplaceTest, LightingANewMapsFireSavesOnceAndPuttingItOutHeals)
{
	EXPECT_FALSE(fire->IsLit());
	EXPECT_TRUE(fire->CanUse());
	fire->Use(&player);
	EXPECT_TRUE(fire->IsLit());
	EXPECT_EQ(world.link.startMap, HashName("test"));
	EXPECT_EQ(world.link.saves, 1);
	EXPECT_EQ(world.link.messages,
		std::vector<std::string>({"You feel in your bones that this is the fire of your redemption."}));
	EXPECT_TRUE(world.map.IsGroupEnabled(kFireId));
	EXPECT_EQ(player.stats.hearts, 3);

	fire->Use(&player); // out: all hearts back
	EXPECT_FALSE(fire->IsLit());
	EXPECT_EQ(player.stats.hearts, 8);
	EXPECT_EQ(world.link.messages.back(), PropSaveSwitch::kPowerText);
	EXPECT_FALSE(world.map.IsGroupEnabled(kFireId));

	world.link.messages.clear();
	fire->Use(&player); // lit again on the map that is already the start
	EXPECT_TRUE(fire->IsLit());
	EXPECT_EQ(world.link.saves, 1);
	EXPECT_TRUE(world.link.messages.empty());
	EXPECT_EQ(world.sounds.Count(PropSaveSwitch::kFireSound), 3u);
}

TEST_F(FireplaceTest, TheSaveIsWrittenEvenWhereTheFireMocksYou)
{
	world.link.respawnLevel = 2;
	fire->SetLit(true);
	EXPECT_EQ(world.link.saves, 1);
	EXPECT_EQ(world.link.messages, std::vector<std::string>({PropSaveSwitch::kNoSaveText}));
	EXPECT_EQ(PropSaveSwitch::GetMessageCounter(), 0); // no fire text used up
}

TEST_F(FireplaceTest, AFireThatCouldNotSaveSaysSo)
{
	world.link.saveWorks = false;
	testing::internal::CaptureStdout();
	fire->SetLit(true);
	const std::string log = testing::internal::GetCapturedStdout();
	EXPECT_EQ(world.link.saves, 1);
	EXPECT_EQ(world.link.messages, std::vector<std::string>({PropSaveSwitch::kSaveFailedText}));
	EXPECT_NE(log.find("Couldn't save the game at the fire on fire"), std::string::npos) << log;
	EXPECT_EQ(PropSaveSwitch::GetMessageCounter(), 0);
}

TEST_F(FireplaceTest, TheEighthFireShowsTheFirstTextAgain)
{
	std::vector<std::string> texts;
	for (int i = 0; i < 8; i++)
		texts.push_back(PropSaveSwitch::NextFireText());
	EXPECT_EQ(texts[7], texts[0]);
	for (int i = 1; i < 7; i++)
		EXPECT_NE(texts[i], texts[0]) << i;
	EXPECT_EQ(texts[6], "Watch out! You just copped a saving.");
}

TEST(Fireplace, BurnsAtLoadOnTheMapTheSaveStartsOn)
{
	struct Case {
		const char *name;
		bool inGame;
		const char *startMap;
		bool lit;
	};
	const Case cases[] = {
		{"start map", true, "test", true},
		{"another map", true, "home", false},
		{"no game", false, "test", false},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		ObjectTestWorld world;
		world.link.inGame = c.inGame;
		world.link.currentMapId = HashName("test");
		world.link.startMap = HashName(c.startMap);
		world.Place(PropSaveSwitch::kKind, 4, 4, kFireId, "fire");
		world.Load();
		auto *fire = world.Find<PropSaveSwitch>(kFireId);
		EXPECT_EQ(fire->IsLit(), c.lit);
		EXPECT_EQ(world.map.IsGroupEnabled(kFireId), c.lit);
		EXPECT_EQ(world.link.saves, 0);
		EXPECT_TRUE(world.link.messages.empty());
		EXPECT_TRUE(world.sounds.names.empty());
	}
}

TEST(Fireplace, UnderTheOriginalRulesATouchLightsIt)
{
	for (int mode = 0; mode <= 1; mode++) {
		SCOPED_TRACE(mode);
		ObjectTestWorld world;
		world.link.mode = mode;
		world.link.currentMapId = HashName("test");
		world.Place(PropSaveSwitch::kKind, 4, 4, kFireId, "fire");
		world.Load();
		auto *fire = world.Find<PropSaveSwitch>(kFireId);
		EXPECT_EQ(fire->collider->mode, mode == 1 ? Collider::kModeTrigger : Collider::kModeStatic);
		fire->OnCollide(nullptr);
		EXPECT_EQ(fire->IsLit(), mode == 1);
	}
}

} // namespace
