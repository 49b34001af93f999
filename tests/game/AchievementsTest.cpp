#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "game/AchievementDef.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/GameService.h"
#include "game/GameServiceSteam.h"
#include "game/IAchievementHandler.h"
#include "game/TalvexGame.h"
#include "map/Missions.h"
#include "objects/CollectableKind.h"
#include "objects/GameLink.h"
#include "support/StoreQuestion.h"
#include "support/StdoutPipe.h"
#include "support/TempFolder.h"

namespace {

class RecordingService : public GameService {
public:
	uint32_t Init() override { return 0; }
	void Shutdown() override {}
	bool UnlockAchievement(const char *apiName) override
	{
		reported.push_back(apiName);
		return true;
	}
	std::vector<std::string> reported;
};

class RecordingHandler : public IAchievementHandler {
public:
	void OnAchievement(const AchievementDef &def) override { shown.push_back(def.idText); }
	std::vector<std::string> shown;
};

class PlayingGame : public TalvexGame {
public:
	void SetInGame(bool on) { inGame = on ? 1 : 0; }
};

std::vector<uint8_t> StateBytes(std::vector<uint16_t> words)
{
	std::vector<uint8_t> bytes;
	for (uint16_t w : words) {
		bytes.push_back((uint8_t)(w & 0xff));
		bytes.push_back((uint8_t)(w >> 8));
	}
	return bytes;
}

// A definitions file of the test's own, read instead of the data tree's, and
// "achievements.dat" in the test's folder. Unlocks are reported to a
// recording service and shown to a recording handler.
class AchievementsTest : public testing::Test {
protected:
	void SetUp() override
	{
		Achievements::SetStateFolder(folder.Folder().c_str());
		GameProgress::ResetGlobal();
		SetGameService(&service);
		Achievements::SetHandler(&handler);
		Define({"news", "donks", "cranky", "speedy"});
	}
	void TearDown() override
	{
		Achievements::SetHandler(nullptr);
		SetGameService(nullptr);
		GameProgress::ResetGlobal();
		Achievements::Instance().LoadDefinitions(Achievements::kDefinitionsFile);
	}

	void Define(const std::vector<std::string> &ids, const char *type = "story")
	{
		std::string xml = "<achievements>";
		for (const std::string &id : ids)
			xml += "<achievement id=\"" + id + "\" type=\"" + type + "\" name=\"N " + id + "\" description=\"D\"/>";
		xml += "</achievements>";
		const std::string path = folder.Path("defs.xml");
		TempFolder::WriteBytes(path, std::vector<uint8_t>(xml.begin(), xml.end()));
		ASSERT_TRUE(achievements().LoadDefinitions(path.c_str()));
		achievements().Load();
	}
	Achievements &achievements() { return Achievements::Instance(); }
	std::string StateFile() const { return folder.Path("achievements.dat"); }

	TempFolder folder;
	RecordingService service;
	RecordingHandler handler;
};

}

TEST(AchievementDefs, TypesAndLabels)
{
	const struct {
		const char *text;
		uint32_t type;
		const char *label;
	} rows[] = {
		{"story", 1, "Beat"},     {"STORY", 1, "Beat"},       {"secret", 2, "Victory"}, {"ending", 3, "Ending"},
		{"Ending", 3, "Ending"},  {"quest", 0, "Victory"},    {"", 0, "Victory"},       {nullptr, 0, "Victory"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.text != nullptr ? row.text : "(none)");
		AchievementDef def;
		def.type = AchievementDef::TypeFromText(row.text);
		EXPECT_EQ(row.type, def.type);
		EXPECT_STREQ(row.label, AchievementDef::TypeLabel(def));
	}
}

TEST_F(AchievementsTest, UnlockSetsTheFlagAndEarnsOnce)
{
	const uint16_t undefined = HashName("nothing_here");
	achievements().Unlock(undefined);
	EXPECT_TRUE(GameProgress::FlagId(undefined)) << "the flag is set all the same";
	EXPECT_FALSE(TempFolder::Exists(StateFile()));
	EXPECT_TRUE(service.reported.empty());
	EXPECT_TRUE(handler.shown.empty());

	achievements().UnlockByName("cranky");
	GameProgress::SetFlag("cranky", 0);
	achievements().Unlock(HashName("cranky"));
	EXPECT_TRUE(GameProgress::Flag("cranky")) << "the second call sets the flag again";
	EXPECT_EQ(std::vector<std::string>({"cranky"}), service.reported);
	EXPECT_EQ(std::vector<std::string>({"cranky"}), handler.shown);
	EXPECT_EQ(StateBytes({1, HashName("cranky")}), TempFolder::ReadBytes(StateFile()));
	EXPECT_TRUE(achievements().IsUnlockedByName("CRANKY"));

	// A restart reads the list back.
	achievements().UnlockByName("news");
	achievements().Load();
	EXPECT_EQ(std::vector<uint16_t>({HashName("cranky"), HashName("news")}), achievements().GetUnlocked());
}

// Reset, then a sync in a game whose save holds three flags: exactly those
// three come back, each with a pop-up; outside play nothing does.
TEST_F(AchievementsTest, ResetThenSyncGivesBackTheSavesAchievements)
{
	achievements().UnlockByName("news");
	achievements().Reset();
	EXPECT_EQ(StateBytes({0}), TempFolder::ReadBytes(StateFile()));
	for (const char *name : {"donks", "speedy", "news"})
		GameProgress::SetFlag(name, 1);
	handler.shown.clear();
	PlayingGame game;
	achievements().SyncFromFlags();
	EXPECT_EQ(0u, achievements().UnlockedCount()) << "not in play";
	game.SetInGame(true);
	achievements().SyncFromFlags();
	EXPECT_EQ(std::vector<std::string>({"news", "donks", "speedy"}), handler.shown) << "in definition order";
	EXPECT_EQ(3u, achievements().UnlockedCount());
}

// "achievements.dat" cut at every byte and a table of hostile files: only
// defined, new ids are taken; nothing is read past the end.
TEST_F(AchievementsTest, DamagedStateFilesAreReadWithBounds)
{
	const uint16_t news = HashName("news"), donks = HashName("donks"), cranky = HashName("cranky");
	const std::vector<uint8_t> whole = StateBytes({3, news, donks, cranky});
	for (size_t cut = 0; cut <= whole.size(); cut++) {
		SCOPED_TRACE(cut);
		TempFolder::WriteBytes(StateFile(), std::vector<uint8_t>(whole.begin(), whole.begin() + (long)cut));
		testing::internal::CaptureStdout();
		achievements().Load();
		testing::internal::GetCapturedStdout();
		const size_t ids = cut < 2 ? 0 : (cut - 2) / 2;
		EXPECT_EQ(ids, achievements().UnlockedCount());
	}
	const struct {
		const char *name;
		std::vector<uint8_t> bytes;
		std::vector<uint16_t> unlocked;
	} rows[] = {
		{"count larger than the file", StateBytes({60000, news}), {news}},
		{"count smaller than the file", StateBytes({1, news, donks}), {news}},
		{"undefined ids skipped", StateBytes({3, 7, news, 9}), {news}},
		{"repeats skipped", StateBytes({3, news, news, donks}), {news, donks}},
		{"an odd byte at the end", [&] { auto b = StateBytes({2, news}); b.push_back(0x41); return b; }(), {news}},
		{"empty", {}, {}},
		{"zero count", StateBytes({0, news}), {}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		TempFolder::WriteBytes(StateFile(), row.bytes);
		testing::internal::CaptureStdout();
		achievements().Load();
		testing::internal::GetCapturedStdout();
		EXPECT_EQ(row.unlocked, achievements().GetUnlocked());
	}
}

TEST_F(AchievementsTest, AFailedWriteKeepsTheOldFile)
{
	achievements().UnlockByName("news");
	const std::vector<uint8_t> before = TempFolder::ReadBytes(StateFile());
	StdoutPipe printed; // a captured file would be held to the limit too
	{
		FileSizeLimit limit(1);
		achievements().UnlockByName("donks");
	}
	const std::string log = printed.Release();
	EXPECT_NE(std::string::npos, log.find("Couldn't open achievements file for write")) << log;
	EXPECT_EQ(before, TempFolder::ReadBytes(StateFile()));
	EXPECT_FALSE(TempFolder::Exists(StateFile() + ".tmp"));
	EXPECT_TRUE(achievements().IsUnlockedByName("donks")) << "earned for this run all the same";
}

// Walks use full-width indices: 300 definitions are all synced and listed.
TEST_F(AchievementsTest, ThreeHundredDefinitionsSyncWhole)
{
	std::vector<std::string> ids;
	std::vector<uint16_t> hashes;
	for (int i = 0; ids.size() < 300; i++) {
		const std::string id = "quest" + std::to_string(i);
		if (std::find(hashes.begin(), hashes.end(), HashName(id.c_str())) != hashes.end())
			continue; // names that hash alike are one achievement
		hashes.push_back(HashName(id.c_str()));
		ids.push_back(id);
	}
	Define(ids);
	ASSERT_EQ(300u, achievements().Count());
	ASSERT_NE(nullptr, achievements().At(299));
	EXPECT_EQ(nullptr, achievements().At(300));
	for (const std::string &id : ids)
		GameProgress::SetFlag(id.c_str(), 1);
	PlayingGame game;
	game.SetInGame(true);
	achievements().SyncFromFlags();
	EXPECT_EQ(300u, achievements().UnlockedCount());
	EXPECT_EQ(2u + 600u, TempFolder::ReadBytes(StateFile()).size());
	achievements().Load();
	EXPECT_EQ(300u, achievements().UnlockedCount());
}

// The data tree's definitions: enough to scroll, every kind, every name the
// game unlocks, ids short enough and hashing like no other flag of the game.
TEST_F(AchievementsTest, TheDataTreesDefinitions)
{
	ASSERT_TRUE(achievements().LoadDefinitions(Achievements::kDefinitionsFile));
	ASSERT_GE(achievements().Count(), 10u);
	int types[4] = {};
	for (size_t i = 0; i < achievements().Count(); i++) {
		const AchievementDef *def = achievements().At(i);
		types[def->type]++;
		EXPECT_LE(strlen(def->idText), AchievementDef::kMaxIdLength) << def->idText;
		EXPECT_TRUE(TempFolder::Exists(ResolvePath(("achievements/" + std::string(def->idText) + ".png").c_str())))
			<< def->idText << " has no icon";
		for (size_t j = 0; j < i; j++)
			EXPECT_NE(achievements().At(j)->id, def->id) << def->idText;
	}
	EXPECT_TRUE(TempFolder::Exists(ResolvePath("achievements/locked.png")));
	for (int t = 0; t < 4; t++)
		EXPECT_GT(types[t], 0) << "type " << t;
	for (const char *name : {"news", "donks", "triangles", "puzzles", "complete", "complete_intended", "complete_maso",
		     "cranky", "ultralord2", "speedy", "lakeless"})
		EXPECT_NE(nullptr, achievements().Find(HashName(name))) << name;
	std::vector<uint16_t> flags;
	// Every quest has the achievement of its flag's name.
	const Missions &missions = Missions::Instance();
	ASSERT_GT(missions.GetCount(), 0u);
	for (size_t i = 0; i < missions.GetCount(); i++)
		EXPECT_NE(nullptr, achievements().Find(missions.GetMission(i)->save)) << missions.GetMission(i)->name;
	// ("ending" is a quest's own flag, so it is no other flag.)
	for (const char *name : {"oghacks", "ogmaps", "newgame+", "haswon", "shotmap", "chooksdoor", "temptress"})
		flags.push_back(HashName(name));
	for (const char *set : {"tri", "letter", "puzzle"})
		for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 128, 255})
			flags.push_back(CollectableFlagHash(set, (uint8_t)n));
	for (size_t i = 0; i < achievements().Count(); i++)
		for (uint16_t flag : flags)
			EXPECT_NE(flag, achievements().At(i)->id) << achievements().At(i)->idText;
}

// Reading the news of the tenth and last area earns "news", not before.
TEST_F(AchievementsTest, TheTenthNewsAreaEarnsNews)
{
	PlayingGame game;
	const char *areas[] = {"black3", "blacktotown", "cold4", "far6", "far41", "mountain2", "north2", "nortow3",
		"south0", "south4"};
	ASSERT_EQ(Missions::GetNewsTotal(), (int)(sizeof(areas) / sizeof(areas[0])));
	for (size_t i = 0; i < sizeof(areas) / sizeof(areas[0]); i++) {
		SCOPED_TRACE(areas[i]);
		EXPECT_FALSE(achievements().IsUnlockedByName("news"));
		GameLink::Get().MarkNewsRead(areas[i]);
		GameLink::Get().MarkNewsRead(areas[0]); // reading one again counts once
	}
	EXPECT_TRUE(achievements().IsUnlockedByName("news"));
	EXPECT_EQ(std::vector<std::string>({"news"}), handler.shown);
}
