// The endings and secrets of the shipped world, read from the data tree as
// the game reads it: every ending's trigger lies in a map a new game can
// reach, every achievement is earned by a reachable script line or by the
// rule of the game that grants it, and the collectables placed are exactly
// what the progress summaries count. What the world does not hold yet is
// listed in the one table below, as in the world test; a listed lack that
// is gone fails too, so the table only ever shrinks.
#include <gtest/gtest.h>

#include "game/Achievements.h"
#include "map/Missions.h"
#include "map/ProgressSummary.h"
#include "objects/CollectableKind.h"
#include "objects/PlayerStats.h"
#include "support/ShippedWorld.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kNewsScroll = 15;
constexpr uint32_t kDress = 48;
constexpr uint32_t kFinalFoe = 56;

// What is still to be placed, by the item or trigger it names: empty now
// that every region is built, and kept so that a map author who takes
// something out says so here.
const std::vector<std::string> kStillToPlace = {};

// The areas whose scrolls the news count divides by.
const char *const kNewsAreas[] = {"black3", "blacktotown", "cold4", "far6", "far41", "mountain2", "north2", "nortow3",
	"south0", "south4"};

bool Pending(const std::string &what)
{
	return std::find(kStillToPlace.begin(), kStillToPlace.end(), what) != kStillToPlace.end();
}

class ShippedEndings : public testing::Test {
protected:
	void SetUp() override
	{
		world.Load("maps");
		reachable = world.Reachable("home", [](const std::string &, const std::string &) { return true; });
	}

	// Whether some reachable map has what the test asks of it.
	bool InReachableMap(const std::function<bool(const ShippedMap &)> &has) const
	{
		for (const std::string &name : reachable)
			if (const ShippedMap *map = world.Find(name); map != nullptr && has(*map))
				return true;
		return false;
	}
	bool SavedReachably(const std::string &flag) const
	{
		return InReachableMap([&](const ShippedMap &map) { return map.saves.count(flag) != 0; });
	}
	bool LinkedReachably(const std::string &target) const
	{
		return InReachableMap([&](const ShippedMap &map) {
			return std::find(map.links.begin(), map.links.end(), target) != map.links.end();
		});
	}
	bool PlacedReachably(uint32_t kind) const
	{
		return InReachableMap([&](const ShippedMap &map) { return map.kinds.count(kind) != 0; });
	}
	// The reachable maps holding a pickup of that name.
	int PickupCount(const std::string &name) const
	{
		int count = 0;
		for (const std::string &map : reachable)
			if (const ShippedMap *shipped = world.Find(map); shipped != nullptr)
				count += static_cast<int>(shipped->pickups.count(name));
		return count;
	}

	// Found must match the table: a lack not listed fails, and so does a
	// listed one that is there now.
	void Expect(const std::string &what, bool found, const std::string &why)
	{
		if (Pending(what))
			EXPECT_FALSE(found) << "placed now, strike \"" << what << "\" from the still-to-place table";
		else
			EXPECT_TRUE(found) << what << ": " << why;
	}

	ShippedWorld world;
	std::set<std::string> reachable;
};

} // namespace

TEST_F(ShippedEndings, EveryEndingsTriggerLiesInAMapANewGameReaches)
{
	ASSERT_TRUE(reachable.count("home"));
	Expect("end_north", LinkedReachably("end_north"), "endings 1 and 2 need a link out to \"end_north\"");
	Expect("kind 48", PlacedReachably(kDress), "ending 2 needs the lady's dress on the way to the north road");
	Expect("end_hole", LinkedReachably("end_hole"), "ending 3 needs a link down to \"end_hole\"");
	Expect("rankmeat", InReachableMap([](const ShippedMap &map) { return map.ranksMeat; }),
		"ending 4 needs a \"rankmeat\" line");
	Expect("end_fr", SavedReachably("end_fr"), "ending 5 needs a \"save end_fr\" line");
	Expect("ending", SavedReachably("ending"), "the main quest ends with \"save ending\"");
	Expect("kind 56", PlacedReachably(kFinalFoe), "the final foe stands on the tower top");
	// Dry feet mean something only where a lake can wet them.
	Expect("lake", SavedReachably("lake"), "some lake saves \"lake\" as the hero falls in");
}

TEST_F(ShippedEndings, EveryAchievementIsEarnedByAReachableLineOrItsRule)
{
	Achievements &achievements = Achievements::Instance();
	ASSERT_TRUE(achievements.LoadDefinitions(Achievements::kDefinitionsFile));
	ASSERT_GT(achievements.Count(), 0u);

	auto allPlaced = [&](const char *set, int count) {
		for (int n = 1; n <= count; n++)
			if (PickupCount(set + std::to_string(n)) != 1)
				return false;
		return true;
	};
	const bool won = SavedReachably("ending") && PlacedReachably(kFinalFoe);
	// The won screen's rules and the pickups' rules, by achievement.
	const std::map<std::string, std::function<bool()>> rules = {
		{"news", [&] {
			 for (const char *area : kNewsAreas)
				 if (reachable.count(area) == 0 || world.Find(area) == nullptr ||
					 world.Find(area)->kinds.count(kNewsScroll) == 0)
					 return false;
			 return true;
		 }},
		{"donks", [&] { return allPlaced("dragon", kDragonCoinCount); }},
		{"triangles", [&] { return allPlaced("tri", CollectableKind::Get(0)->count); }},
		{"puzzles", [&] { return allPlaced("puzzle", CollectableKind::Get(2)->count); }},
		{"complete", [&] { return won; }},
		{"complete_intended", [&] { return won; }},
		{"complete_maso", [&] { return won; }},
		// 104 and 105 per cent need every collectable of the summary too.
		{"cranky", [&] { return won && allPlaced("dragon", kDragonCoinCount) && allPlaced("puzzle", 16); }},
		{"ultralord2", [&] { return won && allPlaced("dragon", kDragonCoinCount) && allPlaced("puzzle", 16); }},
		{"speedy", [&] { return won; }},
		{"lakeless", [&] { return won && SavedReachably("lake"); }},
		{"end_north", [&] { return LinkedReachably("end_north"); }},
		{"end_lady", [&] { return LinkedReachably("end_north") && PlacedReachably(kDress); }},
		{"end_hole", [&] { return LinkedReachably("end_hole"); }},
		{"end_meat", [&] { return InReachableMap([](const ShippedMap &map) { return map.ranksMeat; }); }},
		{"end_chicken", [&] { return InReachableMap([](const ShippedMap &map) { return map.ranksMeat; }); }},
	};
	for (size_t i = 0; i < achievements.Count(); i++) {
		const std::string id = achievements.At(i)->idText;
		SCOPED_TRACE(id);
		const auto rule = rules.find(id);
		const bool earned = rule != rules.end() ? rule->second() : SavedReachably(id);
		if (Pending(id))
			EXPECT_FALSE(earned) << "earned now, strike \"" << id << "\" from the still-to-place table";
		else if (rule == rules.end())
			EXPECT_TRUE(earned) << "no reachable map saves \"" << id << "\" and no rule of the game earns it";
		else
			EXPECT_TRUE(earned) << "what the game's rule for \"" << id << "\" needs is not all in the world";
	}
}

TEST_F(ShippedEndings, PlacedCollectablesAreWhatTheSummariesCount)
{
	// Each numbered item of each set exactly once, and no number past the
	// set's count.
	struct Set {
		std::string name;
		int count;
	};
	const std::vector<Set> sets = {
		{"puzzle", CollectableKind::Get(2)->count},
		{"letter", CollectableKind::Get(1)->count},
		{"tri", CollectableKind::Get(0)->count},
		{"dragon", kDragonCoinCount},
	};
	EXPECT_EQ(16, sets[0].count);
	EXPECT_EQ(4, sets[1].count);
	EXPECT_EQ(3, sets[2].count);
	EXPECT_EQ(8, sets[3].count);
	for (const Set &set : sets) {
		for (int n = 1; n <= set.count + 4; n++) {
			const std::string name = set.name + std::to_string(n);
			SCOPED_TRACE(name);
			const int count = PickupCount(name);
			if (n > set.count)
				EXPECT_EQ(0, count) << "the summaries count no " << name;
			else if (Pending(name))
				EXPECT_EQ(0, count) << "placed now, strike \"" << name << "\" from the still-to-place table";
			else
				EXPECT_EQ(1, count) << name << " is placed " << count << " times in the maps a new game reaches";
		}
	}

	// Every news area holds its scroll, and they are the ones the count
	// divides by.
	EXPECT_EQ(Missions::kNewsTotal, static_cast<int>(std::size(kNewsAreas)));
	for (const char *area : kNewsAreas) {
		const ShippedMap *map = world.Find(area);
		const bool scroll = map != nullptr && reachable.count(area) != 0 && map->kinds.count(kNewsScroll) != 0;
		Expect(std::string("news ") + area, scroll, "the news area holds a scroll");
	}

	// Coolers enough to grow a new game's cooler to the largest: one level
	// each, from the level a new game starts on.
	const PlayerStats fresh;
	int levels = 0;
	while (PlayerStats::MaxWeightForLevel(static_cast<uint8_t>(fresh.capacityLevel + levels)) < 250)
		levels++;
	EXPECT_EQ(7, levels);
	int coolers = 0;
	for (int n = 1; n <= levels + 4; n++) {
		const std::string name = "cooler" + std::to_string(n);
		SCOPED_TRACE(name);
		const int count = PickupCount(name);
		EXPECT_LE(count, 1) << name << " is placed more than once";
		if (Pending(name)) {
			EXPECT_EQ(0, count) << "placed now, strike \"" << name << "\" from the still-to-place table";
		}
		coolers += count;
	}
	int pending = 0;
	for (const std::string &what : kStillToPlace)
		pending += what.rfind("cooler", 0) == 0 ? 1 : 0;
	EXPECT_GE(coolers + pending, levels) << "the coolers placed and still to place reach the largest cooler";
	EXPECT_EQ(levels, coolers + pending) << "one cooler a level, no spare";
}
