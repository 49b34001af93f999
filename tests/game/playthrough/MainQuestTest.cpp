// The whole main quest, headless, on each mode the title menu offers: from a
// new game on home the registered route segments play region after region
// through the real in-game scene with key presses only, beating every ogre
// on the road, to the final foe's fall, the quest-complete count-up and the
// won screen; the save read back holds every story quest done. Every one of
// the five segments must be there; the output says which ran, and what the
// play took (frames, deaths, half hearts lost and regained).
#include <gtest/gtest.h>

#include "Routes.h"
#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "map/Missions.h"
#include "objects/Actor.h"
#include "objects/MapEntity.h"
#include "objects/Player.h"
#include "support/MissingDevice.h"
#include "support/PlaythroughDriver.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kFinalFoeKind = 56;
constexpr uint32_t kPlainSword = 43;

// What the hero holds and has done at the end of each segment: the border
// table of docs/world.md.
struct Border {
	int order;
	const char *map;                  // where the segment ends
	std::vector<uint32_t> heldKinds;  // one of these in hand
	std::vector<const char *> flags;  // quests done by then
};
const Border kBorders[] = {
	{kRouteHome, "town", {kPlainSword}, {"homechooks"}},
	{kRouteTownRoads, "far2", {kPlainSword}, {"northwatch", "smithsword", "tinpot"}},
	{kRouteFarMountains, "hot1", {kPlainSword}, {"farwell", "mountainpass"}},
	{kRouteHotCold, "blacktotown", {45, 47}, {"hotspring", "coldthaw"}},
	{kRouteBlackTower, "towerf5", {49}, {"blackgate", "towerdoor", "towerkey", "towertop"}},
};

// The ogres that stand on the road: the hero cannot go on past them.
struct RoadOgre {
	const char *map;
	const char *name;
};
const RoadOgre kRoadOgres[] = {
	{"far6", "Grool"},
	{"hot2", "Cinder Ogre"},
	{"black4", "Court Ogre"},
	{"towerf2", "Cook"},
};
constexpr uint32_t kOgreKind = 53;

const Border *BorderOf(int order)
{
	for (const Border &border : kBorders)
		if (border.order == order)
			return &border;
	return nullptr;
}

// The story quests: the missions table lists them first, up to the ending.
std::vector<const Mission *> StoryMissions()
{
	std::vector<const Mission *> story;
	Missions &table = Missions::Instance();
	for (size_t i = 0; i < table.GetCount(); i++) {
		const Mission *mission = table.GetMission(i);
		story.push_back(mission);
		if (mission->save == HashName("ending"))
			break;
	}
	return story;
}

// A live actor of the kind on the map the hero is on.
bool AnyStanding(PlaythroughDriver &play, uint32_t kind)
{
	TalvexGameScene &scene = play.Scene();
	for (uint16_t i = 0; i < scene.GetEntityCount(); i++) {
		Entity *entity = scene.GetEntityAt(i);
		if (IsLivingActor(entity) && static_cast<MapEntity *>(entity)->GetKind() == kind)
			return true;
	}
	return false;
}

bool PlacedOnMap(PlaythroughDriver &play, uint32_t kind)
{
	for (const MapObjectDef &record : play.Scene().GetMap().GetMapData().entityRecords)
		if (MapEntityKindFromType(record.type) == kind)
			return true;
	return false;
}

bool Beat(const PlayTally &tally, const RoadOgre &ogre)
{
	for (const BeatenFoe &foe : tally.beaten)
		if (foe.map == ogre.map && foe.name == ogre.name && foe.kind == kOgreKind)
			return true;
	return false;
}

void PlayMainQuest(const PlayMode &mode)
{
	PlaythroughDriver play;
	std::string whyNot;
	if (!play.Prepare(whyNot))
		SKIP_FOR_MISSING_DEVICE() << whyNot;
	EXPECT_TRUE(DuplicateRouteSegments().empty()) << "a route segment registered twice";

	// The segments that can run: the unbroken run from home on.
	const std::vector<RouteSegment> registered = RouteSegments();
	std::vector<RouteSegment> runnable;
	for (const RouteSegment &segment : registered)
		if (segment.order == static_cast<int>(runnable.size()) + 1)
			runnable.push_back(segment);
	std::string ran;
	std::string missing;
	for (int order = 1; order <= kRouteSegmentCount; order++) {
		bool present = false;
		for (const RouteSegment &segment : runnable)
			present = present || segment.order == order;
		if (!present)
			missing += " " + std::to_string(order);
	}
	for (const RouteSegment &segment : runnable)
		ran += std::string(" ") + segment.name;
	std::cout << "[ route    ] segments run:" << (ran.empty() ? " none" : ran) << "\n";
	EXPECT_TRUE(missing.empty()) << "route segments missing (road order):" << missing;
	testing::Test::RecordProperty("segments_run", ran);

	const bool played = play.Play([&] {
		play.NewGame(mode);
		ASSERT_EQ("home", play.MapName()) << "a new game starts on home";
		for (const RouteSegment &segment : runnable) {
			SCOPED_TRACE(segment.name);
			std::cout << "[ route    ] " << segment.name << " from " << play.MapName() << "\n";
			segment.run(play);
			const Border *border = BorderOf(segment.order);
			ASSERT_NE(nullptr, border);
			ASSERT_TRUE(play.InPlay()) << segment.name << " ended play (" << play.Game().LastScreen() << ")";
			EXPECT_EQ(border->map, play.MapName()) << segment.name << " ends on the wrong map";
			bool holds = false;
			for (uint32_t kind : border->heldKinds)
				holds = holds || play.HeldKind() == kind;
			EXPECT_TRUE(holds) << segment.name << " ends holding kind " << play.HeldKind();
			for (const char *flag : border->flags)
				EXPECT_TRUE(play.Flag(flag)) << segment.name << " ends without " << flag;
			if (testing::Test::HasFailure())
				return;
		}
		if (runnable.size() < static_cast<size_t>(kRouteSegmentCount))
			return;
		// The last segment ends with Vozaduzurizaz fallen on the tower top;
		// its "save ending" leads through the count-up to the won screen.
		EXPECT_TRUE(PlacedOnMap(play, kFinalFoeKind)) << "the final foe stands on " << play.MapName();
		EXPECT_FALSE(AnyStanding(play, kFinalFoeKind)) << "the tower's foe still stands";
		play.WaitForScreen("questcomplete", 60.0f);
		play.WaitForScreen("won", 60.0f);
	});
	std::cout << "[ tally    ] " << mode.name << ": " << play.TallyText() << "\n";
	testing::Test::RecordProperty("tally", play.TallyText());
	ASSERT_TRUE(played);
	if (runnable.size() < static_cast<size_t>(kRouteSegmentCount))
		return;
	for (const RoadOgre &ogre : kRoadOgres)
		EXPECT_TRUE(Beat(play.Tally(), ogre)) << ogre.name << " on " << ogre.map << " was not beaten";

	const std::vector<std::string> &screens = play.Game().screens;
	const auto complete = std::find(screens.begin(), screens.end(), "questcomplete");
	const auto won = std::find(screens.begin(), screens.end(), "won");
	ASSERT_NE(screens.end(), complete);
	ASSERT_NE(screens.end(), won);
	EXPECT_LT(complete, won);
	EXPECT_EQ(screens.end(), std::find(screens.begin(), screens.end(), "died"));

	GameProgress saved;
	ASSERT_TRUE(GameProgress::ReadSlot(saved, GameProgress::SaveSlot()));
	const std::vector<const Mission *> story = StoryMissions();
	ASSERT_FALSE(story.empty());
	EXPECT_EQ(HashName("ending"), story.back()->save);
	for (const Mission *mission : story)
		EXPECT_TRUE(saved.HasFlag(mission->save)) << "the story quest \"" << mission->stub << "\" is not done";
}

} // namespace

TEST(MainQuest, Relaxed) { PlayMainQuest(kRelaxed); }
TEST(MainQuest, Intended) { PlayMainQuest(kIntended); }
TEST(MainQuest, Brutal) { PlayMainQuest(kBrutal); }
TEST(MainQuest, OgIntended) { PlayMainQuest(kOgIntended); }
