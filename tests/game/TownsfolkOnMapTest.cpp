// Townsfolk in the running game, headless: the hero walks up to a townee who
// waves and, talked to, speaks under its name in its own voice; comes near
// the smith, who runs off for good; and strikes the temptress, who yields
// only to the dress and then opens her group.
#include <gtest/gtest.h>

#include "objects/FacingBehaviour.h"
#include "objects/FleeBehaviour.h"
#include "objects/NPCTemptress.h"
#include "objects/NPCTinsmith.h"
#include "objects/NPCTownee.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"

namespace {

constexpr uint16_t kNpcId = 0x0106; // its group is 6

class TownsfolkOnMap : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
	}
	// A fresh game on "home" with the one townsperson; the hero starts on
	// the top row, facing south toward it.
	template <class T> T *Play(uint32_t kind, int y, const char *name, uint32_t code = 0, uint16_t value = 0)
	{
		world.book.AddFlat("home", 12, 14, [=](TileMapData &data) {
			data.messages.emplace_back("Fine weather for it.");
			MapObjectDef &npc = MapBook::AddEntity(data, kind, 6, y, kNpcId, name);
			if (code != 0)
				MapBook::AddLine(data, npc, code, value);
		});
		if (!world.BeginPlay())
			return nullptr;
		return dynamic_cast<T *>(world.scene->GetMap().FindEntityRecordById(kNpcId)->entity);
	}
	Player &Hero() { return world.scene->GetPlayer(); }
	GameUI &Hud() { return world.scene->GetHud(); }
	float Distance(const Entity &entity)
	{
		const Vec3 d = entity.transform.position - Hero().transform.position;
		return Vec3Length(Vec3(d.x, 0.0f, d.z));
	}

	GameSceneTestWorld world;
};

TEST_F(TownsfolkOnMap, TowneeWavesWithinEightAndSpeaksWithItsNameAndVoice)
{
	NPCTownee *townee = Play<NPCTownee>(26, 9, "Marta", kCmdSay, 0);
	ASSERT_NE(townee, nullptr);
	auto *facing = dynamic_cast<FacingBehaviour *>(townee->GetCurrentBehaviour());
	ASSERT_NE(facing, nullptr) << "it has something to say";
	EXPECT_EQ(facing->inRange, 0);

	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_DOWN, [&] { return facing->inRange != 0; }));
	EXPECT_LT(Distance(*townee), FacingBehaviour::kWaveRange);
	EXPECT_GT(Distance(*townee), FacingBehaviour::kWaveRange - 1.0f);
	ASSERT_NE(townee->GetAnimation(kAnimWave), nullptr) << "its figure plays the shared animations";
	EXPECT_EQ(townee->model.GetCurrentAnimation(), townee->GetAnimation(kAnimWave));
	world.Frames(30);
	const Vec3 toHero = glm::normalize(Hero().transform.position - townee->transform.position);
	EXPECT_GT(glm::dot(townee->transform.GetForward(), toHero), 0.9f) << "it turns to the hero";

	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_DOWN, [&] { return Hud().IsPromptShown(); }));
	EXPECT_EQ(Hud().GetPromptLabel(), "Talk");
	world.Frames(5);
	const uint8_t spoken = townee->soundCounter;
	world.Tap(SDL_SCANCODE_SPACE, 2);
	ASSERT_TRUE(Hud().IsMessageVisible());
	EXPECT_TRUE(Hud().IsSpeech());
	EXPECT_EQ(Hud().GetTitleText(), "Marta");
	EXPECT_EQ(Hud().GetMessageText(), "Fine weather for it.");
	EXPECT_EQ((uint8_t)(townee->soundCounter - spoken), 1) << "a word in its voice";
	EXPECT_STREQ(townee->soundSets[Actor::kSpeechVoice].pattern, "sfx/vox-smith%d.wav");
}

TEST_F(TownsfolkOnMap, SmithWithAFleeLineRunsAndKeepsRunning)
{
	NPCTinsmith *smith = Play<NPCTinsmith>(28, 7, "smith", kCmdFlee, 2); // east
	ASSERT_NE(smith, nullptr);
	EXPECT_EQ(smith->GetFaction(), kFactionHostile);
	auto *flee = dynamic_cast<FleeBehaviour *>(smith->GetCurrentBehaviour());
	ASSERT_NE(flee, nullptr);
	const Vec3 placed = smith->transform.position;
	world.Frames(60);
	EXPECT_LT(Vec3Length(smith->transform.position - placed), 0.1f) << "waits while the hero is far";

	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_DOWN, [&] { return flee->fleeing != 0; }));
	EXPECT_LT(Distance(*smith), FleeBehaviour::kNoticeRange + 0.5f);
	float lastX = smith->transform.position.x;
	for (int second = 0; second < 3; second++) { // the hero walks back; he runs on
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
	NPCTemptress *her = Play<NPCTemptress>(31, 4, "temptress");
	ASSERT_NE(her, nullptr);
	EXPECT_EQ(her->GetFaction(), kFactionHostile);
	EXPECT_EQ(Player::ContactDamage(her), 0);
	const uint8_t hearts = her->GetStats().hearts;
	Hero().SetPosition(world.TileCentre(6, 6));
	// A blow with no striker (a wall, the ground) is refused too.
	EXPECT_FALSE(her->Strike(nullptr, hearts, 1.0f));
	for (uint32_t weapon : {43u, 44u, 45u, 47u}) {
		SCOPED_TRACE("held " + std::to_string(weapon));
		Hero().Hold(weapon, nullptr);
		for (int i = 0; i < 30; i++) {
			EXPECT_FALSE(Hero().Attack(her, 1, 1.0f));
			world.Frame();
		}
		EXPECT_EQ(her->GetStats().hearts, hearts);
	}
	EXPECT_FALSE(world.scene->GetMap().IsGroupEnabled(kNpcId & 0xFF));

	Hero().Hold(NPCTemptress::kDressKind, nullptr);
	for (int i = 0; i < 600 && her->HasHearts(); i++) {
		Hero().Attack(her, 1, 1.0f);
		world.Frame();
	}
	EXPECT_FALSE(her->HasHearts());
	EXPECT_TRUE(world.scene->GetMap().IsGroupEnabled(kNpcId & 0xFF));
}

} // namespace
