#include "engine/collision/Collider.h"
#include "engine/core/Input.h"
#include "objects/CollectableKind.h"
#include "objects/Player.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <SDL.h>

using namespace objecttest;

namespace {

// The object world with the hero in it, at the middle of tile (2, 2), and
// its controls.
class PlayerObjectsTest : public testing::Test {
protected:
	void Start()
	{
		world.Load();
		player.SetInput(&input);
		player.LinkToMap(&world.map, nullptr);
		world.scene.AddEntity(&player);
		Frame();
		player.Setup(world.map.TilePosition(2, 2, 0.5f, 0.5f), 0);
		player.stats.maxHearts = 8;
		player.stats.hearts = 8;
		Frame();
	}
	void Frame()
	{
		world.Frame();
		input.EndFrame();
	}
	void Frames(int count)
	{
		for (int i = 0; i < count; i++)
			Frame();
	}
	// Action 1 goes down before the next frame.
	void PressAction()
	{
		SDL_Event event{};
		event.type = SDL_KEYDOWN;
		event.key.keysym.scancode = SDL_SCANCODE_SPACE;
		input.HandleEvent(event);
		Frame();
		event.type = SDL_KEYUP;
		input.HandleEvent(event);
	}
	uint32_t HeldInHand() const
	{
		const MapEntity *item = player.GetHeldItem();
		return item != nullptr ? item->GetKind() : 0;
	}

	ObjectTestWorld world;
	Input input;
	Player player;
};

TEST_F(PlayerObjectsTest, ThePromptFitsWhatTheHeroStandsBefore)
{
	struct Case {
		const char *name;
		uint32_t kind;
		uint32_t held;
		int mode;
		bool lit;
		const char *prompt; // null: none
	};
	const Case cases[] = {
		{"door", 16, 0, 0, false, "Open"},
		{"door with the key", 16, 42, 0, false, nullptr},
		{"lock door", 7, 43, 0, false, "Open"},
		{"sign", 18, 0, 0, false, "Read"},
		{"scroll", 15, 0, 0, false, "Read"},
		{"fireplace", 22, 0, 0, false, "Light"},
		{"lit fireplace", 22, 0, 0, true, "Extinguish"},
		{"fireplace, original rules", 22, 0, 1, false, nullptr},
		{"cupboard", 12, 0, 0, false, "Use"},
		{"table", 10, 0, 0, false, nullptr},
		{"with the dress", 12, 48, 0, false, nullptr},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		ObjectTestWorld here;
		here.link.mode = c.mode;
		here.Place(c.kind, 3, 2, 5, "thing");
		here.Load();
		Player hero;
		hero.LinkToMap(&here.map, nullptr);
		here.scene.AddEntity(&hero);
		here.Frame();
		hero.Setup(here.map.TilePosition(2, 2, 0.5f, 0.5f), 0);
		hero.stats.heldKind = c.held;
		MapEntity *thing = here.EntityOf(5);
		if (auto *fire = dynamic_cast<PropSaveSwitch *>(thing); fire != nullptr && c.lit)
			fire->SetLit(true);
		hero.OnCollide(thing);
		if (c.prompt == nullptr) {
			EXPECT_TRUE(here.link.prompts.empty());
			continue;
		}
		EXPECT_EQ(here.link.prompts, std::vector<std::string>({c.prompt}));
		EXPECT_EQ(hero.GetUseTarget(), here.map.FindEntityRecordById(5));
	}
}

TEST_F(PlayerObjectsTest, TakingACoinShowsItInHandWithoutHoldingItAndTheSwordComesBack)
{
	world.Place(37, 3, 2, 300, "coin3");
	Start();
	player.Hold(43, nullptr);
	ASSERT_EQ(HeldInHand(), 43u);
	player.OnCollide(world.EntityOf(300));
	EXPECT_EQ(HeldInHand(), 37u);           // the pose
	EXPECT_EQ(player.stats.heldKind, 43u);  // what the save records
	EXPECT_EQ(world.map.FindEntityRecordById(300)->entity, nullptr);
	EXPECT_TRUE(world.map.IsGroupEnabled(300 & 0xFF));
	EXPECT_TRUE(world.link.FlagId(HashName("coin3")));
	EXPECT_EQ(world.link.saves, 1);
	EXPECT_EQ(world.link.achievements, std::vector<uint16_t>({HashName("coin3")}));
	EXPECT_EQ(world.link.messages.back(), "You got a DragonCoin!\nPause to check your progress!");
	world.link.messageVisible = false;
	// 1.1 s: 22 frames of 1/20 s end the pose exactly at 0.
	Frames(21);
	EXPECT_EQ(HeldInHand(), 37u);
	Frame();
	EXPECT_EQ(HeldInHand(), 43u);
	EXPECT_EQ(player.stats.heldKind, 43u);
}

TEST_F(PlayerObjectsTest, ABiggerCoolerSaysHowMuchItHolds)
{
	world.Place(39, 3, 2, 8, "cooler1");
	world.Place(39, 4, 2, 9, "cooler2");
	Start();
	player.OnCollide(world.EntityOf(8));
	EXPECT_EQ(player.stats.capacityLevel, 1);
	const int capacity = PlayerStats::MaxWeightForLevel(1);
	EXPECT_EQ(world.link.messages.back(),
		"You got a bigger cooler!\nIt now holds " + std::to_string(capacity / 10) + "kg of chicken!");
	EXPECT_EQ(world.link.statsStored, 1);
	EXPECT_TRUE(world.link.FlagId(HashName("cooler1")));
	player.stats.capacityLevel = 20;
	player.OnCollide(world.EntityOf(9));
	const int most = PlayerStats::MaxWeightForLevel(21);
	if (most >= 250) {
		EXPECT_EQ(world.link.messages.back(), "You've maxed out your cooler, it's now " + std::to_string(most / 10)
				+ "kg!\nThat's as big as they get!");
	}
}

TEST_F(PlayerObjectsTest, ASecondWeaponPutsTheFirstBackWhereItLay)
{
	world.Place(43, 3, 2, 300, "sword"); // ids above 255 keep their high byte
	world.Place(46, 4, 2, 301, "zapper");
	Start();
	MapEntity *sword = world.EntityOf(300);
	MapEntity *zapper = world.EntityOf(301);
	player.OnCollide(sword);
	EXPECT_FALSE(sword->IsActive());
	EXPECT_EQ(player.stats.heldKind, 43u);
	EXPECT_EQ(player.GetWeaponRecordId(), 300);
	player.OnCollide(zapper);
	EXPECT_TRUE(sword->IsActive());
	EXPECT_FALSE(zapper->IsActive());
	EXPECT_EQ(player.stats.heldKind, 46u);
	EXPECT_EQ(player.GetWeaponRecordId(), 301);
	EXPECT_EQ(world.link.messages.back(), "You got the Sword of Power!\n");
}

TEST_F(PlayerObjectsTest, DoorsOpenByUseUnlessLockedAndAlwaysToTheKey)
{
	MapObjectDef &locked = world.Place(7, 3, 2, 6, "vault");
	world.AddCommand(locked, kCmdUnlock, 5);
	MapObjectDef &frozen = world.Place(7, 3, 4, 7, "ice");
	world.AddCommand(frozen, kCmdUnlock, 1);
	world.Place(16, 3, 6, 8, "plain");
	Start();
	auto *vault = world.Find<PropDoor>(6);
	auto *ice = world.Find<PropDoor>(7);
	auto *plain = world.Find<PropDoor>(8);
	player.Use(world.map.FindEntityRecordById(8));
	EXPECT_TRUE(plain->IsOpen());
	EXPECT_TRUE(world.map.IsGroupEnabled(8));
	player.Use(world.map.FindEntityRecordById(6));
	EXPECT_FALSE(vault->IsOpen());
	EXPECT_EQ(world.link.messages.back(), "It's locked.");
	player.Use(world.map.FindEntityRecordById(7));
	EXPECT_EQ(world.link.messages.back(), "It's frozen - scared stiff due to the presence of monsters.");
	player.Hold(42, nullptr);
	EXPECT_TRUE(player.Attack(vault, 1, 1.0f));
	EXPECT_TRUE(vault->IsOpen());
	EXPECT_TRUE(world.map.IsGroupEnabled(6));
	EXPECT_FALSE(ice->IsOpen());
}

TEST_F(PlayerObjectsTest, TheHeroHidesInACupboardAndComesOut)
{
	world.Place(12, 3, 2, 5, "cupboard");
	Start();
	auto *cupboard = world.Find<PropCupboard>(5);
	player.Use(world.map.FindEntityRecordById(5));
	EXPECT_TRUE(cupboard->IsOpen());
	EXPECT_EQ(player.collider->mode, Collider::kModeIgnored);
	Frames(3);
	EXPECT_TRUE(player.IsVisible()); // still swinging open
	Frames(2); // 0.2 s and a frame: in
	EXPECT_FALSE(player.IsVisible());
	EXPECT_FALSE(cupboard->IsOpen());
	EXPECT_EQ(player.transform.position, cupboard->transform.position);
	Frames(10);
	EXPECT_FALSE(player.IsVisible()); // stays in until action 1
	PressAction();
	EXPECT_TRUE(player.IsVisible());
	EXPECT_TRUE(cupboard->IsOpen());
	EXPECT_EQ(player.collider->mode, Collider::kModeSolid);
	EXPECT_NEAR(glm::distance(player.transform.position, cupboard->transform.position), 1.5f, 0.5f);
	EXPECT_EQ(world.sounds.Count(PropCupboard::kOpenSound), 2u);
}

TEST_F(PlayerObjectsTest, TheFireSwordBurnsFurnitureAndFreesAHiddenHero)
{
	world.Place(10, 3, 2, 5, "table");
	world.Place(12, 3, 4, 6, "cupboard");
	Start();
	player.Hold(45, nullptr);
	EXPECT_TRUE(player.Attack(world.EntityOf(5), 1, 1.0f));
	EXPECT_EQ(world.map.FindEntityRecordById(5)->entity, nullptr);
	Frame(); // the scene frees it
	// Hidden in a cupboard that burns: out again.
	player.Hold(0, nullptr);
	player.Use(world.map.FindEntityRecordById(6));
	Frames(5);
	ASSERT_FALSE(player.IsVisible());
	player.Hold(45, nullptr);
	EXPECT_TRUE(player.Attack(world.EntityOf(6), 1, 1.0f));
	Frame();
	EXPECT_TRUE(player.IsVisible());
}

TEST_F(PlayerObjectsTest, TheElectricSwordWakesAnObeliskOnce)
{
	world.Place(20, 3, 2, 5, "obelisk");
	Start();
	auto *obelisk = world.Find<PropObelisk>(5);
	player.Hold(46, nullptr);
	EXPECT_TRUE(player.Attack(obelisk, 1, 1.0f));
	EXPECT_TRUE(obelisk->IsOn());
	EXPECT_EQ(player.stats.heldKind, 43u);
	EXPECT_EQ(world.link.messages.back(), "Somehow, the power is drained from your sword.");
	world.link.messages.clear();
	player.Hold(46, nullptr);
	player.Attack(obelisk, 1, 1.0f); // drained already: an ordinary blow
	EXPECT_EQ(player.stats.heldKind, 46u);
	EXPECT_TRUE(world.link.messages.empty());
}

TEST_F(PlayerObjectsTest, TheFireplaceIsLitByUse)
{
	world.link.currentMapId = HashName("test");
	world.Place(22, 3, 2, 5, "fire");
	Start();
	player.Use(world.map.FindEntityRecordById(5));
	EXPECT_TRUE(world.Find<PropSaveSwitch>(5)->IsLit());
	EXPECT_EQ(world.link.saves, 1);
}

TEST_F(PlayerObjectsTest, WalkingUpToAHutsDoorEntersIt)
{
	world.Place(9, 2, 4, 5, "orchardhut");
	Start();
	MapEntity *hut = world.EntityOf(5);
	player.transform.position = hut->transform.position + Vec3(0.0f, 0.0f, 2.0f);
	player.facing = Vec3(0.0f, 0.0f, 1.0f); // walking away: nothing
	player.OnCollide(hut);
	EXPECT_FALSE(player.HasExitTarget());
	player.facing = Vec3(0.0f, 0.0f, -1.0f);
	player.OnCollide(hut);
	ASSERT_TRUE(player.HasExitTarget());
	EXPECT_STREQ(player.ExitTarget(), "orchardhut");
}

} // namespace
