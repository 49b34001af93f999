#include "map/CustomSequence.h"
#include "objects/CollectableKind.h"
#include "objects/Player.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace objecttest;

namespace {

uint16_t ItemFlag(uint32_t set, uint8_t n)
{
	return CollectableFlagKey(CollectableKind::Get(set)->baseFlag, n);
}

// Runs a taken item's sequence to its end as the player would, reading each
// message; returns the texts shown.
std::vector<std::string> RunToEnd(ObjectTestWorld &world, CustomSequence &sequence)
{
	world.link.messages.clear();
	sequence.Start();
	for (int poll = 0; poll < 200 && sequence.state != Sequence::kStateDone; poll++) {
		world.link.messageVisible = false;
		world.link.playTimeMs += 100;
		if (sequence.IsReadyToResume())
			sequence.Resume();
	}
	EXPECT_EQ(sequence.state, Sequence::kStateDone);
	return world.link.messages;
}

TEST(CollectableKind, KeysOfTheThreeSets)
{
	EXPECT_EQ(CollectableKind::Get(3), nullptr);
	const struct {
		uint32_t index;
		const char *name;
		uint8_t count;
	} sets[] = {{0, "tri", 3}, {1, "letter", 4}, {2, "puzzle", 16}};
	for (const auto &set : sets) {
		SCOPED_TRACE(set.name);
		const CollectableKind *kind = CollectableKind::Get(set.index);
		ASSERT_NE(kind, nullptr);
		EXPECT_STREQ(kind->name, set.name);
		EXPECT_EQ(kind->count, set.count);
		EXPECT_EQ(kind->baseFlag, CollectableFlagHash(set.name, 0));
		EXPECT_EQ(CollectableKindByName(set.name), set.index);
		// Item n's key, however it is reached, is one and the same.
		const std::string item2 = std::string(set.name) + "2";
		EXPECT_EQ(CollectableFlagFromName(item2.c_str()), CollectableFlagHash(set.name, 2));
		EXPECT_EQ(CollectableFlagKey(kind->baseFlag, 2), CollectableFlagHash(set.name, 2));
		EXPECT_EQ(static_cast<uint16_t>(CollectableFlagHash(set.name, 255) - CollectableFlagHash(set.name, 128)), 127);
	}
	EXPECT_EQ(CollectableKindByName("gem"), CollectableKind::kPuzzle);
	EXPECT_EQ(CollectableFlagFromName(""), 0);
	EXPECT_EQ(CollectableFlagFromName(nullptr), 0);
	EXPECT_NE(CollectableFlagHash("tri", 1), CollectableFlagHash("letter", 1));
}


TEST(PickupCollectable, UsesItsItemFlagAndStaysAwayOnceFound)
{
	ObjectTestWorld world;
	world.Place(40, 3, 3, 7, "tri2");
	world.Place(40, 5, 3, 0, "tri3"); // no object id: never skipped
	world.link.flagIds.insert(ItemFlag(CollectableKind::kTri, 3));
	world.Load();
	auto *tri2 = world.Find<PickupCollectable>(7);
	ASSERT_NE(tri2, nullptr);
	EXPECT_EQ(tri2->GetFlagId(), CollectableFlagHash("tri", 2));
	EXPECT_EQ(tri2->GetItemNumber(), 2);
	EXPECT_STREQ(tri2->GetSoundPath(), "sfx/collecttri.wav");
	EXPECT_TRUE(tri2->IsActive());
	EXPECT_TRUE(world.Find<PickupCollectable>(0)->IsActive());

	Player player;
	tri2->OnTaken(&player);
	EXPECT_TRUE(world.link.FlagId(CollectableFlagHash("tri", 2)));
	EXPECT_EQ(world.sounds.Count("sfx/collecttri.wav"), 1u);
	EXPECT_TRUE(IsSequenceRunning());
	EXPECT_FALSE(tri2->IsActive());
	tri2->OnTaken(&player); // twice: nothing more
	EXPECT_EQ(world.sounds.Count("sfx/collecttri.wav"), 1u);
	EndActiveSequence();

	world.Load(); // a second visit
	EXPECT_FALSE(world.Find<PickupCollectable>(7)->IsActive());
}

TEST(PickupCollectable, TheEighthOfSixteenFeedsMarksHalfTheSet)
{
	ObjectTestWorld world;
	for (uint8_t n = 1; n <= 6; n++)
		world.link.flagIds.insert(ItemFlag(CollectableKind::kPuzzle, n));
	world.Place(40, 3, 3, 7, "puzzle7");
	world.Place(40, 5, 3, 8, "puzzle8");
	world.Load();
	Player player;
	const uint16_t half = ItemFlag(CollectableKind::kPuzzle, CollectableKind::kHalfFound);
	std::unique_ptr<CustomSequence> seventh = world.Find<PickupCollectable>(7)->BuildTakenSequence(&player);
	EXPECT_FALSE(world.link.FlagId(half));
	EXPECT_EQ(RunToEnd(world, *seventh).back(), "9 more remain...");
	world.Find<PickupCollectable>(8)->BuildTakenSequence(&player);
	EXPECT_TRUE(world.link.FlagId(half));
	EXPECT_FALSE(world.link.FlagId(ItemFlag(CollectableKind::kPuzzle, CollectableKind::kComplete)));
}

TEST(PickupCollectable, AFeedFillsTheCoolerAsFarAsItHasRoom)
{
	struct Case {
		const char *name;
		uint8_t level;
		uint8_t weight;
		std::vector<std::string> texts; // before "N more remain..."
		uint8_t weightAfter;
	};
	const int cap0 = PlayerStats::MaxWeightForLevel(0);
	const Case cases[] = {
		{"room", 0, 0, {"You found a piping-hot three-piece feed.", "...it contains 1.0kg of chicken."}, 10},
		{"little room", 0, static_cast<uint8_t>(cap0 - 4),
		 {"You found a piping-hot three-piece feed.", "...it contains 1.0kg of chicken.",
		  "...but you only have room for 0.4kg."},
		 static_cast<uint8_t>(cap0)},
		{"full", 0, static_cast<uint8_t>(cap0),
		 {"You found a piping-hot three-piece feed.", "...but you already filled up on chicken. Offload some!"},
		 static_cast<uint8_t>(cap0)},
		{"bigger cooler", 1, 0, {"You discovered a hot six-piece feed.", "...it contains 1.5kg of chicken."}, 15},
		{"biggest", 9, 0, {"You found a massive bucket of dubious chicken.", "...it contains 3.0kg of chicken."}, 30},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		ObjectTestWorld world;
		world.Place(40, 3, 3, 7, "puzzle1");
		world.Load();
		Player player;
		player.stats.capacityLevel = c.level;
		player.stats.weight = c.weight;
		player.stats.maxHearts = 6;
		player.stats.hearts = 1;
		auto sequence = world.Find<PickupCollectable>(7)->BuildTakenSequence(&player);
		std::vector<std::string> texts = RunToEnd(world, *sequence);
		ASSERT_FALSE(texts.empty());
		EXPECT_EQ(texts.back(), "15 more remain...");
		texts.pop_back();
		EXPECT_EQ(texts, c.texts);
		EXPECT_EQ(player.stats.weight, c.weightAfter);
		const bool gotChicken = c.weight < PlayerStats::MaxWeightForLevel(c.level);
		EXPECT_EQ(player.stats.hearts, gotChicken ? 6 : 1); // the chicken refills the hearts
	}
}

TEST(PickupCollectable, FinishingASetGivesAHeartExceptForTheFeeds)
{
	struct Case {
		const char *name;
		uint32_t set;
		std::string last;
		uint16_t achievement;
		std::vector<std::string> texts;
		uint8_t maxHeartsAfter;
	};
	const Case cases[] = {
		{"tri", CollectableKind::kTri, "tri3", HashName("triangles"),
		 {"You now wield the Triangle of Sick Kickflips.",
		  "The force of the three Triangles combine to grant you an extra life.", "You gained an extra heart!"},
		 8},
		{"letter", CollectableKind::kLetter, "letter4", HashName("donks"), {"You gained an extra heart!"}, 8},
		{"puzzle", CollectableKind::kPuzzle, "puzzle16", HashName("puzzles"),
		 {"You found a piping-hot three-piece feed.", "...it contains 1.0kg of chicken.", "You have all the shit!"}, 6},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		ObjectTestWorld world;
		const CollectableKind *set = CollectableKind::Get(c.set);
		for (uint8_t n = 1; n < set->count; n++)
			world.link.flagIds.insert(ItemFlag(c.set, n));
		world.Place(40, 3, 3, 7, c.last.c_str());
		world.Load();
		Player player;
		player.stats.maxHearts = 6;
		player.stats.hearts = 2;
		auto sequence = world.Find<PickupCollectable>(7)->BuildTakenSequence(&player);
		EXPECT_EQ(RunToEnd(world, *sequence), c.texts);
		EXPECT_EQ(player.stats.maxHearts, c.maxHeartsAfter);
		EXPECT_EQ(player.stats.hearts, c.maxHeartsAfter);
		EXPECT_TRUE(world.link.FlagId(ItemFlag(c.set, CollectableKind::kComplete)));
		EXPECT_EQ(world.link.achievements, std::vector<uint16_t>({c.achievement}));
		if (c.set == CollectableKind::kLetter) { // shown, then flashed seven times
			EXPECT_EQ(world.link.letters,
				std::vector<bool>({true, true, true, false, true, false, true, false, true}));
		}
	}
}

} // namespace
