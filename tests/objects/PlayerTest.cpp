// The hero on a small flat map: falls and safe ground, the strike and roll
// cooldowns, the chain of hits, leaving at the edges, scripts run from areas
// and use presses, answering messages, and what dying writes.
#include "objects/Player.h"

#include "engine/core/ActiveSequence.h"
#include "engine/core/NameHash.h"
#include "map/EnvironmentTable.h"
#include "map/MapCommand.h"
#include "objects/ItemKinds.h"
#include "support/EntityLookCheck.h"
#include "support/PlayerTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

MapCommand Line(uint32_t code, uint16_t value, uint8_t argument = 0)
{
	MapCommand command;
	command.code = code;
	command.value = value;
	command.argument = argument;
	return command;
}

// Appends an object with a script to the map's data; strings are the map's
// string table entries the script refers to.
MapObjectDef &AddScripted(TileMapData &data, uint32_t kind, uint16_t id, int x, int y, std::vector<MapCommand> script)
{
	MapObjectDef object;
	object.kind = kind;
	object.id = id;
	object.x = static_cast<uint16_t>(x);
	object.y = static_cast<uint16_t>(y);
	object.firstCommand = static_cast<uint16_t>(data.commands.size());
	object.commandCount = static_cast<uint16_t>(script.size());
	data.commands.insert(data.commands.end(), script.begin(), script.end());
	data.objects.push_back(object);
	return data.objects.back();
}

uint16_t AddString(TileMapData &data, const char *text)
{
	data.strings.emplace_back(text);
	return static_cast<uint16_t>(data.strings.size() - 1);
}

TEST(Player, NamesTheFigureItsStartLoads)
{
	PlayerTestWorld world;
	EXPECT_TRUE(NamesLookOf(world.player, world.player.model));
	// The dress is a figure of its own.
	world.player.GetStats().heldKind = ItemKinds::kDress;
	world.player.LoadModel();
	EXPECT_TRUE(NamesLookOf(world.player, world.player.model));
}

TEST(Player, FallCostsTwoHalvesOrKillsAtThree)
{
	struct Row {
		const char *name;
		uint8_t hearts;
		bool lava;
		bool dies;
		uint8_t heartsAfter;
	};
	const Row rows[] = {
		{ "three halves, a plain fall kills", 3, false, true, 0 },
		{ "four halves come back with two", 4, false, false, 2 },
		{ "five halves in lava die", 5, true, true, 0 },
		{ "six halves in lava come back with two", 6, true, false, 2 },
	};
	EnvironmentLayer lava;
	lava.id = HashName("lava");
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		PlayerTestWorld world;
		ListeningPlayer &player = world.player;
		player.Setup(world.TileCentre(2, 2), 0);
		world.Frame();
		// Walking onto the next flat tile of the same height confirms the
		// first as safe ground.
		player.transform.position = world.TileCentre(3, 2);
		world.Frame();
		ASSERT_EQ(player.GetSafeTile(), (PlayerTile{ 2, 2 }));

		player.stats.maxHearts = 8;
		player.stats.hearts = row.hearts;
		player.transform.position = Vec3(0.0f, -10.5f, 0.0f);
		player.surfaceLevel = row.lava ? 7 : 1;
		player.surface = row.lava ? &lava : nullptr;
		player.Kill();

		EXPECT_EQ(player.stats.hearts, row.heartsAfter);
		if (row.dies) {
			EXPECT_FALSE(player.IsVisible());
			EXPECT_FLOAT_EQ(player.deathTimer, 2.7f);
		} else {
			EXPECT_TRUE(player.IsVisible());
			EXPECT_LE(player.deathTimer, 0.0f);
			Vec3 safe = world.TileCentre(2, 2);
			EXPECT_FLOAT_EQ(player.transform.position.x, safe.x);
			EXPECT_FLOAT_EQ(player.transform.position.z, safe.z);
			EXPECT_FLOAT_EQ(player.transform.position.y, safe.y);
		}
	}
}

TEST(Player, SafeGroundBelongsToOneMap)
{
	PlayerTestWorld world;
	world.player.Setup(world.TileCentre(2, 2), 0);
	world.Frame();
	world.player.transform.position = world.TileCentre(3, 2);
	world.Frame();
	ASSERT_TRUE(world.player.GetSafeTile().IsSet());

	// Placed on the next map, a fall must not send it to this map's tile.
	world.player.Setup(world.TileCentre(5, 5), 0);
	EXPECT_FALSE(world.player.GetSafeTile().IsSet());
	world.player.stats.hearts = 4;
	world.player.transform.position = Vec3(0.0f, -10.5f, 0.0f);
	world.player.Kill();
	Vec3 home = world.TileCentre(5, 5);
	EXPECT_FLOAT_EQ(world.player.transform.position.x, home.x);
	EXPECT_FLOAT_EQ(world.player.transform.position.z, home.z);
}

TEST(Player, ComesBackToTheSameSafeTileFallAfterFall)
{
	PlayerTestWorld world;
	ListeningPlayer &player = world.player;
	player.Setup(world.TileCentre(2, 2), 0);
	world.Frame();
	player.transform.position = world.TileCentre(3, 2); // the tile it falls from
	world.Frame();
	player.stats.hearts = 8;
	for (int fall = 0; fall < 2; fall++) {
		SCOPED_TRACE("fall " + std::to_string(fall + 1));
		player.transform.position = Vec3(0.0f, -10.5f, 0.0f);
		player.Kill();
		world.Frame();
		EXPECT_EQ(player.GetSafeTile(), (PlayerTile{ 2, 2 }));
		EXPECT_EQ(player.CurrentTile(), (PlayerTile{ 2, 2 }));
	}
}

TEST(Player, SwappedWeaponsPickupWakesByItsWholeId)
{
	Entity far; // record 300
	Entity near; // record 44, what an 8-bit id would find
	PlayerTestWorld world([&](TileMapData &data) {
		for (uint16_t id : { 300, 44 }) {
			MapObjectDef record;
			record.kind = kObjectEntity;
			record.id = id;
			data.entityRecords.push_back(record);
		}
	});
	// The load's entity phase made nothing for them; these stand in.
	world.map.GetMapData().entityRecords[0].entity = &far;
	world.map.GetMapData().entityRecords[1].entity = &near;
	far.lifeState = kLifePaused;
	near.lifeState = kLifePaused;
	Player &player = world.player;
	player.stats.hearts = 4;
	player.Hold(ItemKinds::kSword, nullptr);
	player.SetWeaponRecordId(300);
	player.Hold(ItemKinds::kSword, nullptr); // the same sword again
	EXPECT_EQ(far.lifeState, kLifePaused) << "holding the same weapon again woke its pickup";
	player.GainWeapon(ItemKinds::kAxe);
	EXPECT_EQ(far.lifeState, kLifeRunning);
	EXPECT_EQ(near.lifeState, kLifePaused);
	for (MapObjectDef &record : world.map.GetMapData().entityRecords)
		record.entity = nullptr;
}

TEST(Player, DeathCountsOnlyInASlotReadBack)
{
	struct Row {
		const char *name;
		bool readable;
		std::vector<std::string> calls;
	};
	const Row rows[] = {
		{ "slot read back", true, { "LoadCurrentSlot", "AddDeath", "SetPlaySeconds 125", "SaveCurrentSlot", "ShowDied" } },
		{ "unreadable slot is left alone", false, { "LoadCurrentSlot", "ShowDied" } },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		PlayerTestWorld world;
		world.player.Setup(world.TileCentre(2, 2), 0);
		world.link.slotReadable = row.readable;
		world.link.playTimeMs = 125999;
		world.player.deathDelay = 1.0f;
		world.player.stats.hearts = 3;
		world.player.transform.position.y = -10.5f;
		world.player.Kill();
		ASSERT_EQ(world.player.deathTimer, 1.0f);
		// 20 frames of 1/20 s bring the death timer to exactly 0, which
		// counts as run out.
		world.Frames(20);
		EXPECT_EQ(world.link.calls, row.calls);
		EXPECT_EQ(world.player.sounds.front(), "sfx/dead.ogg");
	}
}

TEST(Player, SinkingHeroDiesOnceNotOverAndOver)
{
	PlayerTestWorld world;
	ListeningPlayer &player = world.player;
	player.Setup(world.TileCentre(2, 2), 0);
	player.stats.hearts = 2;
	player.Kill();
	ASSERT_GT(player.deathTimer, 0.0f);
	world.Frames(4);
	float left = player.deathTimer;
	// On the water floor every frame ends below the world again.
	player.Kill();
	EXPECT_FLOAT_EQ(player.deathTimer, left);
	EXPECT_EQ(std::count(player.sounds.begin(), player.sounds.end(), "sfx/dead.ogg"), 1);
}

TEST(Player, StruckHeroHurtsUnlessSunkBelowTheGround)
{
	struct Row {
		const char *name;
		float height;
		uint8_t hearts, damage;
		bool taken;
		uint8_t heartsAfter;
		std::vector<std::string> sounds;
	};
	const Row rows[] = {
		{ "on the ground", 0.0f, 4, 1, true, 3, { "sfx/hurt2.wav", "sfx/multilose.wav" } },
		{ "the last heart", 0.0f, 1, 1, true, 0, { "sfx/dead.ogg", "sfx/hurt2.wav" } },
		{ "sinking", -0.5f, 4, 1, false, 4, {} },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		PlayerTestWorld world;
		ListeningPlayer &player = world.player;
		player.Setup(world.TileCentre(2, 2), 0);
		player.stats.hearts = row.hearts;
		player.busyTimer = 0.0f;
		player.transform.position.y = row.height;
		player.sounds.clear();
		EXPECT_EQ(player.Strike(nullptr, row.damage, 1.0f), row.taken);
		EXPECT_EQ(player.stats.hearts, row.heartsAfter);
		EXPECT_EQ(player.sounds, row.sounds);
	}
}

TEST(Player, StrikesAndRollsBlockTheNextRoll)
{
	struct Row {
		const char *name;
		bool original;
		bool strikeFirst; // else a roll first
		int frames;       // of 1/20 s before the roll is tried
		bool rolls;
	};
	const Row rows[] = {
		{ "roll 0.25 s after a strike", false, true, 5, false },
		{ "roll 0.35 s after a strike", false, true, 7, true },
		{ "roll 0.55 s after a roll", false, false, 11, false },
		{ "roll 0.65 s after a roll", false, false, 13, true },
		{ "original rules: roll at once after a strike", true, true, 0, true },
		{ "original rules: roll at once after a roll", true, false, 0, true },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		PlayerTestWorld world;
		if (row.original)
			world.link.flags.insert("oghacks");
		Player &player = world.player;
		player.Setup(world.TileCentre(5, 5), 0);
		player.stats.hearts = 4;
		if (row.strikeFirst)
			player.StartAttack();
		else
			player.StartRoll();
		world.Frames(row.frames);
		player.rollTimer = 0.0f;
		player.StartRoll();
		EXPECT_EQ(player.rollTimer > 0.0f, row.rolls);
	}
}

TEST(Player, ChainPlaysItsSoundsAndRewardsTheEighthHit)
{
	PlayerTestWorld world;
	ListeningPlayer &player = world.player;
	player.Setup(world.TileCentre(5, 5), 0);
	const char *expected[] = {
		"sfx/multi01.wav", "sfx/multi02.wav", "sfx/multi03.wav", "sfx/multi04.wav",
		"sfx/multi05.wav", "sfx/multi06.wav", "sfx/multi07.wav", "sfx/multigain.wav",
	};
	for (int hit = 1; hit <= 8; hit++) {
		SCOPED_TRACE("hit " + std::to_string(hit));
		player.sounds.clear();
		player.AddChain(1);
		// A second hit inside 0.2 s counts once.
		player.AddChain(1);
		ASSERT_EQ(player.sounds.size(), 1u);
		EXPECT_EQ(player.sounds[0], expected[hit - 1]);
		EXPECT_EQ(player.GetChain(), hit < 8 ? hit : 0);
		world.Frames(5);
	}
}

TEST(Player, LeavesOnlyTwoTilesBeyondAnEdgeFacingIt)
{
	const int w = PlayerTestWorld::kWidth;
	const int h = PlayerTestWorld::kHeight;
	struct Row {
		const char *name;
		int x, y;
		Vec3 heading;
		const char *target; // null: stays
		uint32_t walkOut;
	};
	const Row rows[] = {
		{ "north, two beyond", 5, -2, Vec3(0, 0, -1), "north", 1 },
		{ "north, one beyond", 5, -1, Vec3(0, 0, -1), nullptr, 0 },
		{ "north, facing sideways", 5, -2, Vec3(1, 0, 0), nullptr, 0 },
		{ "east, two beyond", w + 2, 4, Vec3(1, 0, 0), "east", 2 },
		{ "east, one beyond", w + 1, 4, Vec3(1, 0, 0), nullptr, 0 },
		{ "south, two beyond", 5, h + 2, Vec3(0, 0, 1), "south", 3 },
		{ "west, two beyond", -2, 4, Vec3(-1, 0, 0), "west", 4 },
		{ "west, facing back in", -2, 4, Vec3(1, 0, 0), nullptr, 0 },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		PlayerTestWorld world([&](TileMapData &data) {
			const char *names[] = { "north", "east", "south", "west" };
			const int xs[] = { w / 2, w - 1, w / 2, 0 };
			const int ys[] = { 0, h / 2, h - 1, h / 2 };
			for (int slot = 0; slot < kExitCount; slot++) {
				MapObjectDef &exit = data.exits[slot];
				exit.kind = kObjectExit;
				exit.id = static_cast<uint16_t>(10 + slot);
				exit.name = MapName(names[slot]);
				exit.x = static_cast<uint16_t>(xs[slot]);
				exit.y = static_cast<uint16_t>(ys[slot]);
			}
		});
		Player &player = world.player;
		player.Setup(world.TileCentre(5, 5), 0);
		world.Frame();
		player.transform.position = world.TileCentre(row.x, row.y);
		player.facing = row.heading;
		world.Frame();
		EXPECT_EQ(std::string(player.ExitTarget()), std::string(row.target != nullptr ? row.target : ""));
		EXPECT_EQ(player.GetWalkOutDirection(), row.walkOut);
	}
}

TEST(Player, ExitTargetKeepsWholeNamesButNotItsOwnMap)
{
	PlayerTestWorld world;
	Player &player = world.player;
	player.SetExitTarget("sixteen_letters_");
	EXPECT_STREQ(player.ExitTarget(), "sixteen_letters_");
	player.SetExitTarget("a_name_longer_than_sixteen");
	EXPECT_STREQ(player.ExitTarget(), "a_name_longer_th");
	player.SetExitTarget("TEST"); // the map's own name, by hash
	EXPECT_FALSE(player.HasExitTarget());
	player.SetExitTarget("town");
	player.SetExitTarget(nullptr);
	EXPECT_FALSE(player.HasExitTarget());
}

TEST(Player, ScriptRunsOncePerSpot)
{
	uint16_t town = 0;
	PlayerTestWorld world([&](TileMapData &data) {
		town = AddString(data, "town");
		AddScripted(data, kObjectMessage, 7, 4, 4, { Line(kCmdMap, town) });
	});
	Player &player = world.player;
	MapObjectDef *sign = &world.map.GetMapData().objects.back();
	player.Setup(world.TileCentre(5, 5), 0);

	player.Use(sign);
	EXPECT_STREQ(player.ExitTarget(), "town");
	player.ClearExitTarget();
	player.Use(sign);
	EXPECT_FALSE(player.HasExitTarget()) << "a second use from the same spot ran the script again";
	player.transform.position.x += 0.1f;
	player.Use(sign);
	EXPECT_STREQ(player.ExitTarget(), "town");
}

TEST(Player, ScriptsSeeTheCarriedWeight)
{
	for (uint8_t weight : { 9, 10 }) {
		SCOPED_TRACE("weight " + std::to_string(weight));
		PlayerTestWorld world([&](TileMapData &data) {
			uint16_t rich = AddString(data, "rich");
			AddScripted(data, kObjectTrigger, 1, 8, 8, { Line(kCmdIfWeight, 2, 10) });
			AddScripted(data, kObjectArea, 2, 0, 0, { Line(kCmdMap, rich) });
		});
		world.player.Setup(world.TileCentre(5, 5), 0);
		world.player.stats.weight = weight;
		world.player.Use(&world.map.GetMapData().objects[0]);
		EXPECT_EQ(world.player.HasExitTarget(), weight >= 10);
	}
}

TEST(Player, InspectAreaPromptsAndAPressRunsItsScript)
{
	PlayerTestWorld world([&](TileMapData &data) {
		uint16_t town = AddString(data, "town");
		AddScripted(data, kObjectMessage, 7, 6, 5, { Line(kCmdMap, town) });
	});
	Player &player = world.player;
	player.Setup(world.TileCentre(4, 5), 0);
	world.Frame();
	player.transform.position = world.TileCentre(6, 5);
	world.Frame();
	ASSERT_EQ(player.GetUseTarget(), &world.map.GetMapData().objects[0]);
	EXPECT_EQ(world.link.shown.back(), "prompt:Inspect");

	world.Press(SDL_SCANCODE_SPACE);
	world.Frame();
	EXPECT_STREQ(player.ExitTarget(), "town");
}

TEST(Player, TriggerRunsWhenEnteredNotWhenPlacedOnIt)
{
	PlayerTestWorld world([&](TileMapData &data) {
		uint16_t town = AddString(data, "town");
		AddScripted(data, kObjectTrigger, 3, 6, 5, { Line(kCmdMap, town) });
	});
	Player &player = world.player;
	player.Setup(world.TileCentre(6, 5), 0);
	world.Frame();
	EXPECT_FALSE(player.HasExitTarget()) << "placing the hero on a trigger ran it";

	player.transform.position = world.TileCentre(8, 5);
	world.Frame();
	player.transform.position = world.TileCentre(6, 5) + Vec3(0.3f, 0.0f, 0.0f);
	world.Frame();
	EXPECT_STREQ(player.ExitTarget(), "town");
}

TEST(Player, ConfirmsAMessageWithTheStrikeButton)
{
	PlayerTestWorld world;
	Player &player = world.player;
	player.Setup(world.TileCentre(5, 5), 0);
	world.link.ShowMessage("Welcome home.", 3.0f, 0);
	world.Frame();
	EXPECT_EQ(world.link.shown.back(), "prompt:OK");
	EXPECT_GT(player.busyTimer, 0.0f);

	world.Press(SDL_SCANCODE_SPACE);
	world.Frame();
	EXPECT_FALSE(world.link.IsMessageVisible());
	EXPECT_EQ(player.keepAttacking, 0) << "the press that closed the message also struck";
}

TEST(Player, WalksWithTheKeysAndWalksInAfterPlacing)
{
	PlayerTestWorld world;
	Player &player = world.player;
	// Placed with direction 2, it walks one tile east on its own.
	player.Setup(world.TileCentre(3, 5), kDirectionEast);
	world.Frames(40);
	EXPECT_TRUE(player.IsWalkTargetReached());
	EXPECT_NEAR(player.transform.position.x, world.TileCentre(4, 5).x, 1.0f);

	float x = player.transform.position.x;
	float z = player.transform.position.z;
	world.Press(SDL_SCANCODE_DOWN);
	world.Frames(10);
	EXPECT_GT(player.transform.position.z, z + 1.0f) << "down walks south (+z)";
	EXPECT_NEAR(player.transform.position.x, x, 0.05f);
}

TEST(Player, ForgetsThePointersIntoAnUnloadedMap)
{
	PlayerTestWorld world([&](TileMapData &data) {
		AddScripted(data, kObjectMessage, 7, 5, 5, {});
	});
	Player &player = world.player;
	player.Setup(world.TileCentre(5, 5), 0);
	ASSERT_NE(player.GetCurrentArea(), nullptr);
	player.ShowUsePrompt("Inspect", player.GetCurrentArea());
	ASSERT_NE(player.GetUseTarget(), nullptr);
	player.ForgetMapObjects();
	EXPECT_EQ(player.GetCurrentArea(), nullptr);
	EXPECT_EQ(player.GetLastArea(), nullptr);
	EXPECT_EQ(player.GetUseTarget(), nullptr);
}

TEST(Player, HeartGiftsRaiseTheMaximumAndFillUp)
{
	PlayerTestWorld world;
	Player &player = world.player;
	player.stats.hearts = 1;
	player.stats.maxHearts = 4;
	player.GainWeapon(ItemKinds::kWholeHeart);
	EXPECT_EQ(player.stats.maxHearts, 6);
	EXPECT_EQ(player.stats.hearts, 6);
	player.GainWeapon(ItemKinds::kHalfHeart);
	EXPECT_EQ(player.stats.maxHearts, 7);
	EXPECT_EQ(player.stats.hearts, 7);
	EXPECT_EQ(player.stats.heldKind, 0u) << "a heart is never held";
	player.GainWeapon(ItemKinds::kAxe);
	EXPECT_EQ(player.stats.heldKind, ItemKinds::kAxe);
}

} // namespace
