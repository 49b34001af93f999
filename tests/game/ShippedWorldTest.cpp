// The shipped world as a whole, read from the data tree through the game's
// own reader and entity factory: every map reachable from home by its links,
// every link arriving on an object named for where it came from, every foe
// and townsfolk kind placed on the road, every story quest completed by a
// script line in a reachable map, every gate opened before the road beyond
// it, sizes, layouts, the older-content copies and the plan in
// docs/world.md. What the world does not have yet is listed in the one table
// below; each check fails both on a new fault and on a listed one that is
// gone, so the table only ever shrinks.
#include <gtest/gtest.h>

#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "map/Missions.h"
#include "map/WorldMap.h"
#include "support/GateSolver.h"
#include "support/SharedRenderer.h"
#include "support/ShippedWorld.h"
#include "support/WorldPlan.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// What the world still lacks, map by map ("world" for the whole): empty, as
// every region is built. A map author who leaves something unfinished for a
// while lists it here, and strikes it when it is built.
struct Lack {
	const char *map;
	const char *what;
};
const std::vector<Lack> kStillToBuild = {};

struct Violation {
	std::string map;
	std::string what;
	std::string detail;
};

bool Listed(const std::string &map, const std::string &what)
{
	for (const Lack &lack : kStillToBuild)
		if (map == lack.map && what == lack.what)
			return true;
	return false;
}

bool StartsWith(const std::string &text, const std::string &prefix) { return text.rfind(prefix, 0) == 0; }

// Every violation must be listed, and every listed lack of this check (its
// "what" starts with one of the prefixes) must still be found.
void ExpectOnlyListed(const std::vector<Violation> &found, std::initializer_list<const char *> prefixes)
{
	for (const Violation &violation : found)
		EXPECT_TRUE(Listed(violation.map, violation.what))
			<< violation.map << ": " << violation.what << " (" << violation.detail << ")";
	for (const Lack &lack : kStillToBuild) {
		bool mine = false;
		for (const char *prefix : prefixes)
			mine = mine || StartsWith(lack.what, prefix);
		if (!mine)
			continue;
		bool still = false;
		for (const Violation &violation : found)
			still = still || (violation.map == lack.map && violation.what == lack.what);
		EXPECT_TRUE(still) << "built now, strike it from the still-to-build table: {\"" << lack.map << "\", \"" << lack.what << "\"}";
	}
}

std::string SourcePath(const char *relative) { return std::string(TALVEX_SOURCE_DIR) + "/" + relative; }

// The gates of the plan.
std::vector<Gate> PlanGates(const WorldPlan &plan)
{
	std::vector<Gate> gates;
	for (const PlanTable *table : plan.TablesStartingWith("gate map"))
		for (const std::vector<std::string> &row : table->rows)
			if (row.size() >= 3)
				gates.push_back({row[0], row[1], row[2]});
	return gates;
}

std::set<std::string> PlanSmallMaps(const WorldPlan &plan)
{
	std::set<std::string> small;
	for (const PlanTable *table : plan.TablesStartingWith("small map"))
		for (const std::vector<std::string> &row : table->rows)
			if (!row.empty())
				small.insert(row[0]);
	return small;
}

// The story quests' flags: the missions file lists them first, in the order
// the journey meets them, up to the ending.
std::vector<std::string> StoryFlags()
{
	std::vector<std::string> flags;
	std::ifstream file(GetBaseDirectory() + kMissionsFile);
	const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
	size_t at = 0;
	while ((at = text.find("<mission save=\"", at)) != std::string::npos) {
		at += 15;
		const size_t end = text.find('"', at);
		flags.push_back(text.substr(at, end - at));
		if (flags.back() == "ending")
			break;
	}
	return flags;
}

std::string Lower(std::string text)
{
	for (char &letter : text)
		letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
	return text;
}

// A file's name written into what a player reads: a word with a file's
// extension, or a map's file name in capitals that its place's own title
// does not hold ("SOUTH0 NEWS", where the title is "Southwood Edge"). Empty
// when there is none.
std::string FileNameIn(const std::string &text, const ShippedWorld &world)
{
	static const std::set<std::string> extensions = {"tmx", "tsx", "png", "iqm", "wav", "ogg", "xml", "sav", "glsl", "fnt"};
	std::string word;
	for (size_t i = 0; i <= text.size(); i++) {
		const char c = i < text.size() ? text[i] : ' ';
		if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.') {
			word += c;
			continue;
		}
		while (!word.empty() && word.back() == '.')
			word.pop_back();
		const size_t dot = word.rfind('.');
		if (dot != std::string::npos && extensions.count(word.substr(dot + 1)) != 0)
			return word;
		const std::string lower = Lower(word);
		const bool capitals = !word.empty() &&
			std::none_of(word.begin(), word.end(), [](char letter) { return std::islower(static_cast<unsigned char>(letter)); });
		const ShippedMap *map = capitals ? world.Find(lower) : nullptr;
		if (map != nullptr && Lower(map->title).find(lower) == std::string::npos)
			return word;
		word.clear();
	}
	return "";
}

// The sentences of a text of two words or more: what would read as a stock
// phrase if another map said it too.
std::vector<std::string> Sentences(const std::string &text)
{
	std::vector<std::string> sentences;
	std::string sentence;
	for (size_t i = 0; i < text.size(); i++) {
		sentence += text[i];
		const bool end = text[i] == '.' || text[i] == '!' || text[i] == '?';
		if ((end && (i + 1 == text.size() || text[i + 1] == ' ')) || i + 1 == text.size()) {
			const size_t start = sentence.find_first_not_of(" \n");
			if (start != std::string::npos && sentence.find(' ', start) != std::string::npos)
				sentences.push_back(sentence.substr(start));
			sentence.clear();
		}
	}
	return sentences;
}

// The main road: the fewest links from home to the tower's top, in order.
std::vector<std::string> RoadMaps(const ShippedWorld &world)
{
	std::map<std::string, std::string> cameFrom{{"home", ""}};
	std::vector<std::string> todo{"home"};
	for (size_t at = 0; at < todo.size() && cameFrom.count("towerf5") == 0; at++)
		for (const std::string &next : world.Find(todo[at])->Targets())
			if (world.Find(next) != nullptr && cameFrom.emplace(next, todo[at]).second)
				todo.push_back(next);
	std::vector<std::string> road;
	if (cameFrom.count("towerf5") == 0)
		return road;
	for (std::string map = "towerf5"; !map.empty(); map = cameFrom[map])
		road.insert(road.begin(), map);
	return road;
}

class ShippedWorldTest : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		if (World().Maps().empty()) {
			World().Load("maps");
			ASSERT_FALSE(World().Maps().empty()) << "no maps in the data tree";
		}
		ASSERT_TRUE(plan.Read(SourcePath("docs/world.md"))) << SourcePath("docs/world.md");
	}
	static ShippedWorld &World()
	{
		static ShippedWorld world;
		return world;
	}
	// The maps a new game reaches with the gates solved.
	std::set<std::string> Road()
	{
		GateSolver solver(World(), PlanGates(plan));
		solver.Solve("home");
		return solver.Reached();
	}

	WorldPlan plan;
};

} // namespace

TEST_F(ShippedWorldTest, EveryMapLoadsThroughEveryPhase)
{
	std::vector<Violation> found;
	for (const auto &[name, map] : World().Maps())
		if (!map.loaded)
			found.push_back({name, "loads", map.log});
	EXPECT_GE(World().Maps().size(), 40u);
	ExpectOnlyListed(found, {"loads"});
}

TEST_F(ShippedWorldTest, EveryMapIsReachableFromHomeByLinks)
{
	const std::set<std::string> reached = World().Reachable("home", nullptr);
	EXPECT_NE(0u, reached.count("home"));
	std::vector<Violation> found;
	for (const auto &[name, map] : World().Maps()) {
		if (reached.count(name) == 0)
			found.push_back({name, "reachable from home", "no chain of links leads here"});
		for (const std::string &target : map.Targets())
			if (World().Find(target) == nullptr && !ShippedWorld::IsEndingTarget(target))
				found.push_back({name, "link to " + target, "no such map"});
	}
	ExpectOnlyListed(found, {"reachable from home", "link to "});
}

TEST_F(ShippedWorldTest, EveryLinkArrivesOnAnObjectNamedForItsSource)
{
	std::vector<Violation> found;
	for (const auto &[name, map] : World().Maps()) {
		for (const std::string &target : map.Targets()) {
			const ShippedMap *next = World().Find(target);
			if (next == nullptr)
				continue;
			// A spawn area named for the map come from; out of a hut's
			// inside, the hut itself (its door) will do.
			const bool arrives = next->spawns.count(name) != 0 || next->entityNames.count(name) != 0;
			if (!arrives)
				found.push_back({target, "arrival from " + name, name + " links here but " + target + " has no spawn named " + name});
		}
	}
	ExpectOnlyListed(found, {"arrival from "});
}

TEST_F(ShippedWorldTest, EveryCreatureAndTownsfolkKindIsPlacedBeforeTheFinalFight)
{
	const std::set<std::string> road = Road();
	// The final fight is where the ending is saved; every other kind must be
	// met before it.
	std::set<std::string> final;
	for (const auto &[name, map] : World().Maps())
		if (map.saves.count("ending") != 0)
			final.insert(name);
	std::vector<Violation> found;
	std::vector<uint32_t> kinds = {26, 27, 28, 29, 30, 31, 50, 51, 52, 53, 54, 55, 56, 57, 61, 62};
	for (uint32_t kind : kinds) {
		bool placed = false;
		for (const std::string &name : road) {
			const ShippedMap *map = World().Find(name);
			if (map->kinds.count(kind) != 0 && (kind == 56 || final.count(name) == 0))
				placed = true;
		}
		if (!placed)
			found.push_back({"world", "kind " + std::to_string(kind), "placed in no map of the road before the final fight"});
	}
	ExpectOnlyListed(found, {"kind "});
}

TEST_F(ShippedWorldTest, EveryStoryQuestIsCompletedInAReachableMap)
{
	const std::vector<std::string> story = StoryFlags();
	ASSERT_FALSE(story.empty());
	EXPECT_EQ("ending", story.back());
	// Each story quest is a mission the game knows.
	Missions &missions = Missions::Instance();
	for (size_t i = 0; i < story.size(); i++) {
		const Mission *mission = missions.GetMission(i);
		ASSERT_NE(nullptr, mission);
		EXPECT_EQ(HashName(story[i].c_str()), mission->save) << story[i];
	}
	const std::set<std::string> road = Road();
	std::vector<Violation> found;
	for (const std::string &flag : story) {
		bool saved = false;
		for (const std::string &name : road)
			saved = saved || World().Find(name)->saves.count(flag) != 0;
		if (!saved)
			found.push_back({"world", "quest " + flag, "no reachable map saves " + flag});
	}
	// The ending comes with the final foe's fall, on the map it stands on.
	for (const auto &[name, map] : World().Maps())
		if (map.saves.count("ending") != 0 && map.kinds.count(56) == 0)
			found.push_back({name, "final foe", name + " saves the ending but Vozaduzurizaz (kind 56) stands elsewhere"});
	ExpectOnlyListed(found, {"quest ", "final foe"});
}

TEST_F(ShippedWorldTest, EveryGateOpensBeforeTheRoadBeyondIt)
{
	const std::vector<Gate> gates = PlanGates(plan);
	GateSolver solver(World(), gates);
	solver.Solve("home");
	std::vector<Violation> found;
	for (size_t i = 0; i < gates.size(); i++) {
		const Gate &gate = gates[i];
		const std::string problem = solver.CheckGate(gate);
		if (!problem.empty())
			found.push_back({gate.map, "gate to " + gate.leadsTo, problem});
		else if (solver.OpenedIn(i) == 0)
			found.push_back({gate.map, "gate to " + gate.leadsTo, gate.opener + " is done nowhere reached before the gate"});
	}
	for (const auto &[name, map] : World().Maps())
		if (solver.Reached().count(name) == 0)
			found.push_back({name, "reached past the gates", "the gates shut the way here for good"});
	// Every stretch of the road opens with its quest.
	std::vector<std::string> story = StoryFlags();
	story.erase(std::remove(story.begin(), story.end(), "ending"), story.end());
	story.erase(std::remove(story.begin(), story.end(), "towertop"), story.end());
	for (const std::string &flag : story) {
		bool opens = false;
		for (const Gate &gate : gates)
			opens = opens || gate.opener == flag;
		if (!opens)
			found.push_back({"world", "gate opened by " + flag, "no gate of the plan waits for " + flag});
	}
	ExpectOnlyListed(found, {"gate to ", "reached past the gates", "gate opened by "});
}

TEST_F(ShippedWorldTest, MapsAreBigEnoughExceptRoomsAndHuts)
{
	const std::set<std::string> small = PlanSmallMaps(plan);
	std::vector<Violation> found;
	for (const auto &[name, map] : World().Maps()) {
		const int least = small.count(name) != 0 ? 12 : 16;
		if (map.width < least || map.height < least)
			found.push_back({name, "size", std::to_string(map.width) + " x " + std::to_string(map.height) + ", at least " +
				std::to_string(least) + " a side wanted"});
	}
	for (const std::string &name : small)
		EXPECT_NE(nullptr, World().Find(name)) << "the small map " << name << " of the plan is no shipped map";
	ExpectOnlyListed(found, {"size"});
}

TEST_F(ShippedWorldTest, NoTwoMapsShareATileLayer)
{
	std::vector<Violation> found;
	std::vector<const ShippedMap *> seen;
	for (const auto &[name, map] : World().Maps()) {
		for (const ShippedMap *other : seen) {
			if (other->width != map.width || other->height != map.height || other->tiles.size() != map.tiles.size())
				continue;
			const bool same = std::equal(map.tiles.begin(), map.tiles.end(), other->tiles.begin(), [](const MapTile &a, const MapTile &b) {
				return a.kind == b.kind && a.level == b.level && a.secondLevel == b.secondLevel;
			});
			if (same) {
				found.push_back({name, "layout", "the same tiles as " + other->name});
				break;
			}
		}
		seen.push_back(&map);
	}
	ExpectOnlyListed(found, {"layout"});
}

TEST_F(ShippedWorldTest, TheOlderContentCopiesMatchTheMaps)
{
	ShippedWorld copies;
	copies.Load("mapo");
	std::vector<Violation> found;
	for (const auto &[name, map] : World().Maps()) {
		const ShippedMap *copy = copies.Find(name);
		if (copy == nullptr) {
			found.push_back({name, "mapo copy", "mapo/" + name + ".tmx is missing"});
			continue;
		}
		const bool same = copy->width == map.width && copy->height == map.height && copy->kinds == map.kinds &&
			copy->links == map.links && copy->spawns == map.spawns && copy->saves == map.saves &&
			std::equal(map.tiles.begin(), map.tiles.end(), copy->tiles.begin(), copy->tiles.end(), [](const MapTile &a, const MapTile &b) {
				return a.kind == b.kind && a.level == b.level && a.secondLevel == b.secondLevel;
			});
		if (!same)
			found.push_back({name, "mapo copy", "mapo/" + name + ".tmx differs from maps/" + name + ".tmx"});
	}
	for (const auto &[name, copy] : copies.Maps())
		EXPECT_NE(nullptr, World().Find(name)) << "mapo/" << name << ".tmx has no map in maps/";
	ExpectOnlyListed(found, {"mapo copy"});
}

TEST_F(ShippedWorldTest, ThePlanHasOneRowPerShippedMap)
{
	std::map<std::string, int> rows;
	for (const PlanTable *table : plan.TablesStartingWith("map"))
		if (table->section == "Maps")
			for (const std::vector<std::string> &row : table->rows)
				if (!row.empty())
					rows[row[0]]++;
	ASSERT_FALSE(rows.empty()) << "no map tables under \"## Maps\" in docs/world.md";
	for (const auto &[name, count] : rows) {
		EXPECT_NE(nullptr, World().Find(name)) << "docs/world.md has a row for " << name << ", which is no shipped map";
		EXPECT_EQ(1, count) << "docs/world.md has " << count << " rows for " << name;
	}
	std::vector<Violation> found;
	for (const auto &[name, map] : World().Maps())
		if (rows.count(name) == 0)
			found.push_back({name, "plan row", "docs/world.md has no row for it"});
	ExpectOnlyListed(found, {"plan row"});
}

TEST_F(ShippedWorldTest, TheWorldMapHasOnePlacePerShippedMap)
{
	WorldMap places;
	ASSERT_TRUE(places.Load(false));
	std::map<uint16_t, int> count;
	std::set<std::pair<uint16_t, uint16_t>> spots;
	for (uint16_t i = 0; i < places.GetCount(); i++) {
		const WorldMapLocation *place = places.GetLocation(i);
		count[place->nameKey]++;
		EXPECT_TRUE(spots.insert({place->x, place->y}).second) << place->name << " stands on another place's spot";
		bool shipped = false;
		for (const auto &[name, map] : World().Maps())
			shipped = shipped || HashName(name.c_str()) == place->nameKey;
		EXPECT_TRUE(shipped) << "the world map's place " << place->name << " is no shipped map";
	}
	std::vector<Violation> found;
	for (const auto &[name, map] : World().Maps()) {
		const int times = count[HashName(name.c_str())];
		if (times == 0)
			found.push_back({name, "world map place", "maps/worldmap.tmx has no place for it"});
		EXPECT_LE(times, 1) << name << " has " << times << " places on the world map";
	}
	ExpectOnlyListed(found, {"world map place"});
}

// What a player reads is the world's own: no file's name, no sentence of the
// world's said again on another map, every person's name capitalised as
// names are, and one name for one person (the same name on two maps is the
// same kind of townsfolk, met again).
TEST_F(ShippedWorldTest, EveryLineAPlayerReadsIsTheWorldsOwn)
{
	std::vector<Violation> found;
	std::map<std::string, std::pair<std::string, uint32_t>> people;
	std::map<std::string, std::string> sentences; // the first map that says each
	for (const auto &[name, map] : World().Maps()) {
		std::vector<std::string> texts = map.texts;
		texts.push_back(map.title);
		for (const std::string &text : texts) {
			const std::string file = FileNameIn(text, World());
			if (!file.empty())
				found.push_back({name, "text names a file", file + " in \"" + text + "\""});
		}
		for (const std::string &text : map.texts)
			for (const std::string &sentence : Sentences(text)) {
				const auto [first, fresh] = sentences.try_emplace(sentence, name);
				if (!fresh && first->second != name)
					found.push_back({name, "line said again", "\"" + sentence + "\", said on " + first->second});
			}
		for (const auto &[person, kind] : map.people) {
			if (!std::isupper(static_cast<unsigned char>(person[0])))
				found.push_back({name, "name in lower case", person});
			const auto [first, fresh] = people.try_emplace(person, name, kind);
			if (!fresh && first->second.second != kind)
				found.push_back({name, "name of another person", person + " is also the kind " +
					std::to_string(first->second.second) + " on " + first->second.first});
		}
	}
	ExpectOnlyListed(found, {"text names", "line said", "name "});
}

// Nobody and nothing stands where the hero can never walk: people and foes
// on ground (not a wall, hole, water or lava) that a walk from an arrival
// reaches, every find where it can be taken, and every counted find named
// for the flag its count needs.
TEST_F(ShippedWorldTest, EveryoneAndEveryFindStandsWhereAWalkReaches)
{
	ShippedWorld brutal; // every difficulty's placements
	brutal.Load("maps", true);
	std::vector<Violation> found;
	for (const auto &[name, map] : brutal.Maps()) {
		for (const std::string &where : map.stranded)
			found.push_back({name, "out of reach", where});
		for (const std::string &where : map.unnamed)
			found.push_back({name, "find without a name", where});
	}
	ExpectOnlyListed(found, {"out of reach", "find without"});
}

// Along the main road a fire is never three maps away, and past home (whose
// ogre is tame) ogres stand on it for a hero to beat.
TEST_F(ShippedWorldTest, TheRoadHasFiresAlongItAndOgresOnIt)
{
	constexpr uint32_t kFireplace = 22;
	constexpr uint32_t kOgre = 53;
	constexpr int kRoadOgres = 4;
	const std::vector<std::string> road = RoadMaps(World());
	ASSERT_FALSE(road.empty()) << "no road of links from home to towerf5";
	std::vector<Violation> found;
	std::vector<std::string> dark;
	int ogres = 0;
	std::string ogreMaps;
	for (const std::string &name : road) {
		const ShippedMap &map = *World().Find(name);
		if (name != road.front() && map.kinds.count(kOgre) != 0) {
			ogres += map.kinds.at(kOgre);
			ogreMaps += " " + name;
		}
		if (map.kinds.count(kFireplace) != 0) {
			dark.clear();
			continue;
		}
		dark.push_back(name);
		if (dark.size() == 3)
			found.push_back({name, "no fire", "none on " + dark[0] + ", " + dark[1] + " or " + dark[2]});
	}
	ExpectOnlyListed(found, {"no fire"});
	EXPECT_GE(ogres, kRoadOgres) << "ogres on the road past home: " << ogres << " (on" << ogreMaps << ")";
}
