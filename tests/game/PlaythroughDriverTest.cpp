// The playthrough driver at work on the shipped start of the world: a new
// game as the title menu starts one, the walk from home's start to town
// through the link and a word with a townsperson there, all by key presses.
#include <gtest/gtest.h>

#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "map/TMXLoader.h"
#include "map/TileCode.h"
#include "objects/Player.h"
#include "support/MissingDevice.h"
#include "support/PlaythroughDriver.h"
#include "support/TempFolder.h"

#include <cstdio>

namespace {

class PlaythroughDriverTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!play.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
	}

	PlaythroughDriver play;
};

} // namespace

TEST_F(PlaythroughDriverTest, NewGameWalksFromHomeToTownAndTalks)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		EXPECT_EQ("home", play.MapName());
		EXPECT_EQ((std::vector<std::string>{"preintro", "play"}), play.Game().screens);
		EXPECT_EQ(HashName("home"), GameProgress::Current().currentMap);
		// Home's north gate opens once the sword beside the house has beaten
		// the chooks of the yard.
		play.WalkTo(11, 8);
		play.WaitUntil([&] { return play.HeldKind() == 43; }, "the old sword in hand", 5.0f);
		play.Continue();
		play.Strike("yard chook 1");
		play.WaitUntil([&] { return play.Flag("homechooks"); }, "the north gate to open");
		play.Continue();
		play.FollowLink("town");
		EXPECT_EQ("town", play.MapName());
		play.Talk("Wyn");
		play.WaitUntil([&] { return play.MessageShown(); }, "Wyn to speak", 5.0f);
		const std::string said = play.MessageText();
		play.Continue();
		EXPECT_FALSE(said.empty());
		EXPECT_FALSE(play.MessageShown());
	}));
}

TEST_F(PlaythroughDriverTest, WalksToTheFarCornersOfHomeOverItsOwnGround)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		// Home's ground as the map has it: ramps, terraces, the pond. The hero
		// walks to the tile of its reach furthest toward each corner in turn.
		const int corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
		int walks = 0;
		for (const auto &corner : corners) {
			const std::set<PathTile> reach = play.ReachableTiles();
			ASSERT_GT(reach.size(), 50u);
			PathTile best = play.HeroTile();
			for (const PathTile &tile : reach)
				if (tile.x * corner[0] + tile.y * corner[1] > best.x * corner[0] + best.y * corner[1])
					best = tile;
			SCOPED_TRACE("to " + std::to_string(best.x) + ", " + std::to_string(best.y));
			play.WalkTo(best.x, best.y);
			EXPECT_EQ(best, play.HeroTile());
			EXPECT_EQ("home", play.MapName());
			walks++;
		}
		EXPECT_EQ(4, walks);
	}));
}

namespace {

// Maps of the test's own, written as TMX files the way the map authors
// write theirs and read by the game's own reader: "maps/<name>.tmx" is read
// from the folder.
class FolderMaps : public MapLoader {
public:
	explicit FolderMaps(const TempFolder &from) : folder(from) {}
	bool CanLoad(const char *path) override { return TempFolder::Exists(FileOf(path)); }
	bool Load(const char *path, TileMapData &data, uint16_t flags) override
	{
		return reader.Load(FileOf(path).c_str(), data, flags);
	}
	void Write(const std::string &name, const std::string &text) const
	{
		TempFolder::WriteBytes(folder.Path(name + ".tmx"), std::vector<uint8_t>(text.begin(), text.end()));
	}

private:
	std::string FileOf(const char *path) const
	{
		std::string name = path != nullptr ? path : "";
		const size_t slash = name.find_last_of('/');
		if (slash != std::string::npos)
			name = name.substr(slash + 1);
		return folder.Path(name);
	}

	const TempFolder &folder;
	TMXLoader reader;
};

constexpr int kYardW = 20;
constexpr int kYardH = 18;
constexpr int kPondTop = 8;     // rows 8 and 9 are water ...
constexpr int kPondEnd = 15;    // ... from column 0 to 15; the way round is east of it
constexpr int kTownSize = 18;

// A tile layer of level 1 ground with the pond.
std::string YardTiles()
{
	std::string csv;
	for (int y = 0; y < kYardH; y++) {
		for (int x = 0; x < kYardW; x++) {
			const bool water = (y == kPondTop || y == kPondTop + 1) && x <= kPondEnd;
			csv += water ? "7" : "2";
			if (x + 1 < kYardW || y + 1 < kYardH)
				csv += ",";
		}
		csv += "\n";
	}
	return csv;
}

// A tile object of the entity kind on a tile (Tiled's tile objects stand on
// their bottom-left corner).
std::string Thing(int id, const char *name, uint32_t kind, int x, int y, const std::string &properties = "")
{
	std::string text = "  <object id=\"" + std::to_string(id) + "\"";
	if (name != nullptr)
		text += std::string(" name=\"") + name + "\"";
	text += " gid=\"" + std::to_string(63 + kind) + "\" x=\"" + std::to_string(x * 16) + "\" y=\"" +
		std::to_string((y + 1) * 16) + "\" width=\"16\" height=\"16\"";
	if (properties.empty())
		return text + "/>\n";
	return text + ">\n   <properties>\n" + properties + "   </properties>\n  </object>\n";
}

std::string Area(int id, const char *name, const char *type, int x, int y, int w, int h, const std::string &properties = "")
{
	std::string text = "  <object id=\"" + std::to_string(id) + "\" name=\"" + name + "\"";
	if (type != nullptr)
		text += std::string(" type=\"") + type + "\"";
	text += " x=\"" + std::to_string(x * 16) + "\" y=\"" + std::to_string(y * 16) + "\" width=\"" +
		std::to_string(w * 16) + "\" height=\"" + std::to_string(h * 16) + "\"";
	if (properties.empty())
		return text + "/>\n";
	return text + ">\n   <properties>\n" + properties + "   </properties>\n  </object>\n";
}

std::string Property(const char *name, const char *value, const char *type = nullptr)
{
	std::string text = std::string("    <property name=\"") + name + "\"";
	if (type != nullptr)
		text += std::string(" type=\"") + type + "\"";
	return text + " value=\"" + value + "\"/>\n";
}

std::string MapText(int w, int h, const std::string &tiles, const std::string &objects)
{
	return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
		   "<map version=\"1.10\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" + std::to_string(w) +
		"\" height=\"" + std::to_string(h) + "\" tilewidth=\"16\" tileheight=\"16\" infinite=\"0\">\n"
		" <properties>\n  <property name=\"env\" value=\"grassland\"/>\n </properties>\n"
		" <tileset firstgid=\"1\" source=\"terrain.tsx\"/>\n <tileset firstgid=\"65\" source=\"entities.tsx\"/>\n"
		" <layer id=\"1\" name=\"ground\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
		"\">\n  <data encoding=\"csv\">\n" + tiles + "</data>\n </layer>\n <objectgroup id=\"2\" name=\"objects\">\n" +
		objects + " </objectgroup>\n</map>\n";
}

class PlaythroughDriverYard : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!play.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		// The yard: a townswoman with a question, a sword, a crate, a fire, and
		// beyond the pond a chook and the road to town.
		std::string objects;
		objects += Area(1, "start", "spawn", 4, 2, 1, 1);
		objects += Area(2, "town", "map", 2, kYardH - 1, 3, 1);
		objects += Area(3, "town", "spawn", 3, kYardH - 2, 1, 1);
		objects += Area(4, "ana yes", nullptr, 0, 0, 1, 1, Property("01 say", "Thank you kindly.") + Property("02 save", "anahelped"));
		objects += Thing(10, "Ana", 26, 10, 3,
			Property("01 prompt 4", "Will you help me?") + Property("02 say", "Another time, then."));
		objects += Thing(11, "sword", 43, 4, 5);
		objects += Thing(12, "crate", 2, 12, 13);
		objects += Thing(13, "fire", 22, 17, 4);
		objects += Thing(14, "chook", 50, 8, 16);
		maps.Write("home", MapText(kYardW, kYardH, YardTiles(), objects));
		// Town: a walled square with an ogre in the middle and a fire by the
		// gate in the north wall.
		std::string road;
		for (int y = 0; y < kTownSize; y++) {
			for (int x = 0; x < kTownSize; x++) {
				const bool wall = x == 0 || y == 0 || x + 1 == kTownSize || y + 1 == kTownSize;
				const bool gate = y == 0 && x >= 4 && x <= 6;
				road += std::string(wall && !gate ? "5" : "2") + (x + 1 < kTownSize || y + 1 < kTownSize ? "," : "");
			}
			road += "\n";
		}
		maps.Write("town", MapText(kTownSize, kTownSize, road,
			Area(1, "home", "spawn", 5, 1, 1, 1) + Area(2, "home", "map", 4, 0, 3, 1) +
				Thing(3, "ogre", 53, kTownSize / 2, kTownSize / 2 + 2) + Thing(4, "fire", 22, 9, 2)));
	}

	TempFolder folder;
	FolderMaps maps{folder};
	PlaythroughDriver play{&maps};
};

} // namespace

TEST_F(PlaythroughDriverYard, AnswersTakesWalksRoundWaterPushesStrikesSavesAndLeaves)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		ASSERT_EQ("home", play.MapName());

		// A question answered yes runs the answer's lines.
		play.Talk("Ana");
		play.Answer(true);
		play.Continue();
		EXPECT_TRUE(play.Flag("anahelped"));

		play.Take("sword");
		EXPECT_EQ(43u, play.HeldKind());

		// Across the pond by the way round it, dry.
		play.WalkTo(4, 12);
		EXPECT_EQ(0, play.Hero().splashed);
		EXPECT_EQ((PathTile{4, 12}), play.HeroTile());

		play.Push("crate", kDirEast, 2);
		EXPECT_EQ((PathTile{14, 13}), play.TileOfEntity("crate"));

		EXPECT_TRUE(play.IsAlive("chook"));
		play.Strike("chook");
		EXPECT_FALSE(play.IsAlive("chook"));

		play.SaveAtFire();
		play.FollowLink("town");
		EXPECT_EQ("town", play.MapName());
	}));
}

// An ogre (twelve hearts for each step of difficulty, an axe that takes a
// whole heart) beaten with the plain sword on every difficulty: the hero
// strikes while it staggers or has just swung, and keeps out of its blows.
TEST_F(PlaythroughDriverYard, BeatsAnOgreWithTheSwordOnEveryDifficulty)
{
	for (int difficulty : {0, 1, 2}) {
		SCOPED_TRACE("difficulty " + std::to_string(difficulty));
		ASSERT_TRUE(play.Play([&] {
			play.NewGame(difficulty);
			play.Take("sword");
			play.FollowLink("town");
			const FightReport fight = play.Strike("ogre");
			EXPECT_FALSE(play.IsAlive("ogre"));
			std::printf("difficulty %d: the ogre fell after %d frames; %d half hearts lost, %d fallbacks\n", difficulty,
				fight.frames, fight.heartsLost, fight.fallbacks);
		}));
	}
}
