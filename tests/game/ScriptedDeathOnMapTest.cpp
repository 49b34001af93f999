// Someone put down by their own script, in the running game, headless: two
// small maps written as the editor writes them and read by the real TMX
// reader, so the lines are compiled as the game compiles them. The hero talks
// to a townsman whose "say" line is followed by "dead"; he walks out to the
// next map and back, and the townsman still lies where he fell.
#include <gtest/gtest.h>

#include <string>

#include "objects/NPCTownee.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"
#include "support/TempFolder.h"

namespace {

constexpr uint16_t kBrawlerId = 41; // its group is 41

// A flat map of level 1 (tile id 2), w by h tiles of 16 pixels, with the
// given objects.
std::string FlatTmx(int w, int h, const std::string &objects)
{
	std::string rows;
	for (int y = 0; y < h; y++) {
		for (int x = 0; x < w; x++)
			rows += (y == h - 1 && x == w - 1) ? "2" : "2,";
		rows += "\n";
	}
	return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
		   "<map version=\"1.10\" orientation=\"orthogonal\" width=\"" + std::to_string(w) + "\" height=\"" +
		std::to_string(h) + "\" tilewidth=\"16\" tileheight=\"16\">\n"
		" <tileset firstgid=\"1\" source=\"terrain.tsx\"/>\n"
		" <tileset firstgid=\"65\" source=\"entities.tsx\"/>\n"
		" <layer id=\"1\" name=\"ground\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) +
		"\">\n  <data encoding=\"csv\">\n" + rows + "</data>\n </layer>\n"
		" <objectgroup id=\"2\" name=\"objects\">\n" + objects + " </objectgroup>\n</map>\n";
}

class ScriptedDeathOnMap : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!world.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		// "home": the hero starts at the top, the townsman stands a few rows
		// below him, facing whoever comes; the east edge leads to "lane".
		AddTmx("home", FlatTmx(12, 10,
			"  <object id=\"1\" name=\"lane\" type=\"map\" x=\"176\" y=\"48\" width=\"16\" height=\"48\"/>\n"
			"  <object id=\"2\" name=\"start\" type=\"spawn\" x=\"96\" y=\"16\" width=\"16\" height=\"16\"/>\n"
			"  <object id=\"41\" name=\"Hobb\" gid=\"89\" x=\"96\" y=\"80\" width=\"16\" height=\"16\">\n"
			"   <properties>\n"
			"    <property name=\"01 say\" value=\"Fine. You win. I am done.\"/>\n"
			"    <property name=\"02 dead\" type=\"int\" value=\"0\"/>\n"
			"    <property name=\"facing\" type=\"bool\" value=\"true\"/>\n"
			"   </properties>\n"
			"  </object>\n"));
		// "lane": its west edge leads back to "home".
		AddTmx("lane", FlatTmx(12, 10,
			"  <object id=\"1\" name=\"home\" type=\"map\" x=\"0\" y=\"48\" width=\"16\" height=\"48\"/>\n"));
	}

	void AddTmx(const std::string &name, const std::string &text)
	{
		const std::string path = folder.Path(name + ".tmx");
		TempFolder::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
		world.book.maps[name] = [this, path, name](TileMapData &data) {
			ASSERT_TRUE(reader.Load(path.c_str(), data, 0)) << name;
		};
	}
	Player &Hero() { return world.scene->GetPlayer(); }
	Actor *Brawler()
	{
		MapObjectDef *record = world.scene->GetMap().FindEntityRecordById(kBrawlerId);
		return record != nullptr ? dynamic_cast<Actor *>(record->entity) : nullptr;
	}

	TempFolder folder;
	TMXLoader reader;
	GameSceneTestWorld world;
};

TEST_F(ScriptedDeathOnMap, KilledByItsDeadLineStaysDeadAfterLeavingAndComingBack)
{
	ASSERT_TRUE(world.BeginPlay());
	ASSERT_TRUE(world.UntilOn("home"));
	Actor *brawler = Brawler();
	ASSERT_NE(nullptr, dynamic_cast<NPCTownee *>(brawler)) << "the compiled record places a townsman";
	ASSERT_TRUE(brawler->HasHearts());
	const uint8_t fullHearts = brawler->GetStats().hearts;

	// Up to him and talk: his "say" line waits for the message to close,
	// then his "dead" line puts him down.
	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_DOWN, [&] { return world.scene->GetHud().IsPromptShown(); }));
	world.Tap(SDL_SCANCODE_SPACE, 5);
	ASSERT_TRUE(world.scene->GetHud().IsMessageVisible()) << "the townsman speaks first";
	EXPECT_TRUE(brawler->HasHearts()) << "it still stands while it speaks";
	world.CloseMessages();
	world.Frames(10);
	EXPECT_FALSE(brawler->HasHearts());
	EXPECT_TRUE(world.scene->GetMap().IsGroupEnabled((uint8_t)kBrawlerId)) << "its fall opens its group";
	world.Frames(120); // the death plays out

	// Out east to "lane", and back west to "home".
	Hero().SetPosition(world.TileCentre(9, 4));
	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_RIGHT, [&] { return world.scene->IsMapLoading(); }, 300));
	ASSERT_TRUE(world.UntilOn("lane"));
	world.Frames(30);
	ASSERT_TRUE(world.HoldUntil(SDL_SCANCODE_LEFT, [&] { return world.scene->IsMapLoading(); }, 600));
	ASSERT_TRUE(world.UntilOn("home"));
	world.Frames(5);

	brawler = Brawler();
	ASSERT_NE(nullptr, brawler) << "the townsman is placed again with the map";
	EXPECT_TRUE(world.scene->GetMap().IsGroupEnabled((uint8_t)kBrawlerId)) << "the map kept its group";
	EXPECT_FALSE(brawler->HasHearts()) << "he starts defeated, not at " << (int)fullHearts << " hearts";
	EXPECT_GT(brawler->deathTimer, 0.0f) << "its fall is under way from the first frame";
	world.Frames(120);
	EXPECT_FALSE(brawler->HasHearts()) << "he does not stand again";
}

} // namespace
