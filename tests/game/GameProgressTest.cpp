#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "map/Missions.h"
#include "objects/CollectableKind.h"
#include "support/TempFolder.h"

namespace {

// The slot line as the save picker gets it: the missions work out the
// completion, the record makes the line.
SaveSlotSummary SlotSummary(const GameProgress &record)
{
	ProgressSummary completion;
	Missions::Summarize(completion, record.Facts());
	return record.Summary(completion);
}

// Every test starts from a fresh live game in slot 0 whose slot files live in
// a temporary folder.
class GameProgressTest : public testing::Test {
protected:
	void SetUp() override
	{
		GameProgress::SetSaveFolder(folder.Folder().c_str());
		GameProgress::SetSaveSlot(0);
		GameProgress::ResetGlobal();
		GameProgress::Current().exitSpan[0] = GameProgress::Current().exitSpan[1] = 0;
		GameProgress::Current().pendingMap = 0;
	}
	void TearDown() override
	{
		GameProgress::SetSaveFolder("");
		GameProgress::SetSaveSlot(0);
		GameProgress::ResetGlobal();
		Settings::Instance().UseFile("settings.dat");
	}

	TempFolder folder;
};

}

TEST(GameFlags, AreSetOnceClearedOnceAndIdZeroIsNeverSet)
{
	GameProgress record;
	const struct {
		const char *name;
		uint16_t id;
		uint8_t on;
		std::vector<uint16_t> after;
	} steps[] = {
		{"set a", 0x0A, 1, {0x0A}},
		{"set b", 0x0B, 1, {0x0A, 0x0B}},
		{"set a again", 0x0A, 1, {0x0A, 0x0B}},
		{"clear a", 0x0A, 0, {0x0B}},
		{"clear a again", 0x0A, 0, {0x0B}},
		{"set a after b", 0x0A, 1, {0x0B, 0x0A}},
		{"store id 0", 0x00, 1, {0x0B, 0x0A, 0x00}},
	};
	for (const auto &step : steps) {
		SCOPED_TRACE(step.name);
		record.SetFlagIn(step.id, step.on);
		EXPECT_EQ(step.after, record.flags);
		EXPECT_EQ(step.on != 0 && step.id != 0, record.HasFlag(step.id));
	}
	EXPECT_FALSE(record.HasFlag(0));
}

TEST_F(GameProgressTest, RespawnLevelStaysWithinOneStepOfTheDifficulty)
{
	const struct {
		const char *name;
		uint8_t startRespawn;
		uint8_t startDifficulty;
		bool setDifficulty; // else the respawn level is set
		uint32_t value;
		int difficulty;
		int respawn;
	} rows[] = {
		{"brutal pulls respawn 0 up", 0, 1, true, 2, 2, 1},
		{"relaxed pulls respawn 2 down", 2, 1, true, 0, 0, 0},
		{"respawn 1 is never moved (brutal)", 1, 1, true, 2, 2, 1},
		{"respawn 1 is never moved (relaxed)", 1, 1, true, 0, 0, 1},
		{"intended leaves respawn 0", 0, 1, true, 1, 1, 0},
		{"intended leaves respawn 2", 2, 1, true, 1, 1, 2},
		{"respawn 0 at brutal is raised", 1, 2, false, 0, 2, 1},
		{"respawn 2 at relaxed is lowered", 1, 0, false, 2, 0, 0},
		{"only the low byte is stored", 1, 1, true, 0x102, 2, 1},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress::Current().difficulty = row.startDifficulty;
		GameProgress::Current().respawnLevel = row.startRespawn;
		if (row.setDifficulty)
			GameProgress::SetDifficulty(row.value);
		else
			GameProgress::SetRespawnLevel(row.value);
		EXPECT_EQ(row.difficulty, GameProgress::Difficulty());
		EXPECT_EQ(row.respawn, GameProgress::RespawnLevel());
	}
}

TEST_F(GameProgressTest, MapStateFollowsTheCurrentMap)
{
	uint8_t town[kMapStateSize];
	uint8_t cave[kMapStateSize];
	memset(town, 0x11, sizeof(town));
	memset(cave, 0x22, sizeof(cave));

	GameProgress::StoreMapState("maps/town.tmx", town);
	EXPECT_EQ(HashName("maps/town.tmx"), GameProgress::Current().currentMap);
	EXPECT_EQ(0, GameProgress::Current().previousMap);

	GameProgress::StoreMapState("maps/cave.tmx", cave);
	EXPECT_EQ(HashName("maps/cave.tmx"), GameProgress::Current().currentMap);
	EXPECT_EQ(HashName("maps/town.tmx"), GameProgress::Current().previousMap);

	// Storing the current map again keeps the previous one and replaces the bytes.
	cave[5] = 0x99;
	GameProgress::StoreMapState("MAPS/CAVE.TMX", cave);
	EXPECT_EQ(HashName("maps/town.tmx"), GameProgress::Current().previousMap);
	ASSERT_EQ(2u, GameProgress::Current().mapRecords.size());

	uint8_t out[kMapStateSize];
	GameProgress::FetchMapState("maps/cave.tmx", out);
	EXPECT_EQ(0, memcmp(cave, out, sizeof(out)));
	GameProgress::FetchMapState("maps/town.tmx", out);
	EXPECT_EQ(0, memcmp(town, out, sizeof(out)));

	// A map never stored leaves the caller's bytes alone.
	memset(out, 0x5A, sizeof(out));
	GameProgress::FetchMapState("maps/never.tmx", out);
	for (uint8_t b : out)
		EXPECT_EQ(0x5A, b);
}

TEST(GameProgressRecord, KnowsTheMapsItHasSeen)
{
	GameProgress record;
	record.currentMap = 0x0010;
	record.previousMap = 0x0020;
	MapRecord map;
	map.id = 0x0030;
	record.mapRecords.push_back(map);
	const struct {
		uint16_t id;
		bool known;
	} rows[] = {{0x0010, true}, {0x0020, true}, {0x0030, true}, {0x0040, false}, {0x0000, false}};
	for (const auto &row : rows) {
		SCOPED_TRACE(testing::Message() << "map " << row.id);
		EXPECT_EQ(row.known, record.HasMapRecord(row.id));
	}
	// Id 0 is none, even where an empty current map holds it.
	GameProgress fresh;
	EXPECT_FALSE(fresh.HasMapRecord(0));
}

TEST_F(GameProgressTest, PlayerWithoutHeartsComesBackWithFourHalfHearts)
{
	PlayerStats dead;
	dead.hearts = 0;
	dead.maxHearts = 10;
	dead.heldKind = 44;
	GameProgress::StorePlayerStats(dead);

	PlayerStats out;
	GameProgress::PlayerStats(out);
	EXPECT_EQ(4, out.hearts);
	EXPECT_EQ(10, out.maxHearts);
	EXPECT_EQ(44u, out.heldKind);
	EXPECT_EQ(4, GameProgress::Current().stats.hearts);
}

TEST(GameProgressRecord, ResetKeepsTheExitSpanAndThePendingMap)
{
	GameProgress record;
	EXPECT_EQ(0, record.exitSpan[0]);
	EXPECT_EQ(0, record.pendingMap);
	record.exitSpan[0] = 4;
	record.exitSpan[1] = 6;
	record.pendingMap = 0x1234;
	record.currentMap = 0x1111;
	record.flags.push_back(7);
	record.difficulty = 2;
	record.lowestDifficulty = 0;
	record.stats.capacityLevel = 3;
	record.Reset();
	EXPECT_EQ(4, record.exitSpan[0]);
	EXPECT_EQ(6, record.exitSpan[1]);
	EXPECT_EQ(0x1234, record.pendingMap);
	EXPECT_EQ(0, record.currentMap);
	EXPECT_TRUE(record.flags.empty());
	EXPECT_EQ(1, record.difficulty);
	EXPECT_EQ(3, record.lowestDifficulty);
	EXPECT_EQ(0, record.stats.capacityLevel);
}

TEST(SaveSlotSummaryLine, DescribesTheGame)
{
	struct Row {
		const char *name;
		std::vector<const char *> flags;
		uint8_t difficulty;
		uint8_t lowestDifficulty;
		uint32_t playSeconds;
		const char *line;
		const char *difficultyText;
		uint8_t played;
		uint8_t percent;
	};
	const Row rows[] = {
		{"fresh game", {}, 1, 3, 0, "NEW 1%", "Intended difficulty", 0, 1},
		{"dragon coins", {"dragon1", "dragon8"}, 0, 3, 20, "NEW 5%", "Relaxed difficulty", 1, 5},
		{"original content, ended, saved lower", {"oghacks", "ending", "traitor"}, 2, 0, 1, "OG The End* 6%!", "Brutal difficulty", 1, 6},
		{"play time kept to 16 bits", {}, 1, 1, 65536, "NEW 1%", "Intended difficulty", 0, 1},
		{"play time just past 16 bits", {}, 1, 1, 65537, "NEW 1%", "Intended difficulty", 1, 1},
		{"unknown difficulty", {}, 7, 7, 0, "NEW 1%", "Unknown difficulty", 0, 1},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress record;
		for (const char *flag : row.flags)
			record.SetFlagIn(HashName(flag), 1);
		record.difficulty = row.difficulty;
		record.lowestDifficulty = row.lowestDifficulty;
		record.playSeconds = row.playSeconds;
		SaveSlotSummary summary = SlotSummary(record);
		EXPECT_STREQ(row.line, summary.line);
		EXPECT_STREQ(row.difficultyText, summary.difficultyText);
		EXPECT_EQ(row.played, summary.played);
		EXPECT_EQ(row.percent, summary.percent);
		EXPECT_EQ(row.difficulty, summary.difficulty);
		EXPECT_EQ(row.lowestDifficulty < row.difficulty, summary.lowered != 0);
		EXPECT_EQ(record.HasFlag(HashName("ending")), summary.ended != 0);
		EXPECT_EQ(record.HasFlag(HashName("traitor")), summary.traitor != 0);
		EXPECT_EQ(record.HasFlag(HashName("oghacks")), summary.og != 0);
	}
}

// An area counts while it is the current map or once it has been left. The
// hero who walks home, town, north1 and dies there comes back at home with
// north1 never left: the load screen's line (the slot as saved on north1)
// and the pause menu's a moment later (home loaded and saved) differ by the
// area's point.
TEST_F(GameProgressTest, AnAreaNeverLeftCountsOnlyWhileItIsTheCurrentMap)
{
	// What the scene keeps at each map change: the map left, then the next.
	const uint8_t state[kMapStateSize] = {};
	GameProgress::SetCurrentMap("home");
	const char *const walk[][2] = {{"home", "town"}, {"town", "north1"}};
	for (const auto &step : walk) {
		GameProgress::StoreMapState(step[0], state);
		GameProgress::SetPreviousMap(step[0]);
		GameProgress::SetCurrentMap(step[1]);
	}
	EXPECT_STREQ("NEW 2%", SlotSummary(GameProgress::Current()).line);
	GameProgress::SetCurrentMap("home");
	EXPECT_STREQ("NEW 1%", SlotSummary(GameProgress::Current()).line);
}

TEST_F(GameProgressTest, GameSavedAtRelaxedThenBrutalIsMarkedLowered)
{
	GameProgress::SetDifficulty(0);
	ASSERT_TRUE(GameProgress::SaveCurrentSlot());
	GameProgress::SetDifficulty(2);
	ASSERT_TRUE(GameProgress::SaveCurrentSlot());

	GameProgress slot;
	ASSERT_TRUE(GameProgress::ReadSlot(slot, 0));
	SaveSlotSummary summary = SlotSummary(slot);
	EXPECT_EQ(1, summary.lowered);
	EXPECT_STREQ("NEW* 1%", summary.line);
	EXPECT_STREQ("Brutal difficulty", summary.difficultyText);
}

TEST_F(GameProgressTest, SlotFilesAreNumberedFromOne)
{
	const struct {
		uint8_t current;
		uint8_t asked;
		const char *file;
	} rows[] = {
		{0, 0, "Save_1.sav"}, {0, 1, "Save_2.sav"}, {0, 2, "Save_3.sav"},
		{2, 255, "Save_3.sav"}, {1, 255, "Save_2.sav"}, {1, 0, "Save_1.sav"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.file);
		GameProgress::SetSaveSlot(row.current);
		EXPECT_EQ(folder.Path(row.file), GameProgress::SaveFileName(row.asked));
	}
	GameProgress::SetSaveFolder("");
	GameProgress::SetSaveSlot(1);
	EXPECT_EQ(ResolvePath("Save_2.sav"), GameProgress::SaveFileName(255));
}

// Each save goes to the file of the slot and folder in force when it is
// made, however many saves to another slot or folder came before.
TEST_F(GameProgressTest, SavesFollowTheSlotAndTheFolder)
{
	const std::string other = folder.Path("other");
	std::filesystem::create_directory(other);
	const struct {
		const char *folder; // null: the test's own folder
		uint8_t slot;
		uint16_t map;
	} saves[] = {
		{nullptr, 0, 0x1111}, {nullptr, 0, 0x2222}, {nullptr, 2, 0x3333},
		{other.c_str(), 2, 0x4444}, {other.c_str(), 1, 0x5555}, {nullptr, 1, 0x6666},
	};
	for (const auto &save : saves) {
		SCOPED_TRACE(save.map);
		const std::string into = save.folder != nullptr ? save.folder : folder.Folder();
		GameProgress::SetSaveFolder(into.c_str());
		GameProgress::SetSaveSlot(save.slot);
		GameProgress::Current().currentMap = save.map;
		ASSERT_TRUE(GameProgress::SaveCurrentSlot());
		GameProgress written;
		ASSERT_TRUE(GameProgress::Read(written, (into + "/Save_" + std::to_string(save.slot + 1) + ".sav").c_str()));
		EXPECT_EQ(save.map, written.currentMap);
	}
	// What each folder holds at the end: the last save to each of its slots.
	const struct {
		std::string file;
		uint16_t map;
	} files[] = {
		{folder.Path("Save_1.sav"), 0x2222}, {folder.Path("Save_2.sav"), 0x6666},
		{folder.Path("Save_3.sav"), 0x3333}, {other + "/Save_2.sav", 0x5555}, {other + "/Save_3.sav", 0x4444},
	};
	for (const auto &file : files) {
		SCOPED_TRACE(file.file);
		GameProgress written;
		ASSERT_TRUE(GameProgress::Read(written, file.file.c_str()));
		EXPECT_EQ(file.map, written.currentMap);
	}
	EXPECT_FALSE(std::filesystem::exists(other + "/Save_1.sav"));
}

TEST_F(GameProgressTest, MissingSlotIsAFreshGame)
{
	GameProgress::SetFlag("haswon", 1);
	GameProgress::Current().currentMap = 0x4444;
	GameProgress::SetPendingValue(0x0555);
	EXPECT_TRUE(GameProgress::SelectSlotAndLoad(2));
	EXPECT_EQ(2, GameProgress::SaveSlot());
	EXPECT_TRUE(GameProgress::IsFresh());
	EXPECT_FALSE(GameProgress::Flag("haswon"));
	// The pending map was chosen before the reload and survives it.
	EXPECT_EQ(0x0555, GameProgress::PendingValue());

	GameProgress other;
	other.currentMap = 0x1;
	EXPECT_FALSE(GameProgress::ReadSlot(other, 1));
	EXPECT_EQ(0, other.currentMap);
}

TEST_F(GameProgressTest, DamagedSlotKeepsTheLiveGameAndIsNotOverwritten)
{
	const std::vector<uint8_t> damaged = {0x6D, 0xBB, 0x10, 0x00, 0x20};
	const struct {
		const char *name;
		bool viaScan; // found damaged while reading summaries, not when loading
	} rows[] = {{"found when loading", false}, {"found by the slot scan", true}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::string slotFile = folder.Path("Save_2.sav");
		TempFolder::WriteBytes(slotFile, damaged);
		GameProgress::SetSaveSlot(0);
		GameProgress::ResetGlobal();
		GameProgress::SetFlag("live", 1);

		if (row.viaScan) {
			GameProgress scanned;
			EXPECT_FALSE(GameProgress::ReadSlot(scanned, 1));
			GameProgress::SetSaveSlot(1);
		} else {
			EXPECT_FALSE(GameProgress::SelectSlotAndLoad(1));
			EXPECT_TRUE(GameProgress::Flag("live"));
		}
		EXPECT_FALSE(GameProgress::SaveCurrentSlot());
		GameProgress::SetPreviousMapIdAndSave(0x2222);
		EXPECT_EQ(damaged, TempFolder::ReadBytes(slotFile));

		// Starting a new game in the slot is the player's choice to replace it.
		GameProgress::ResetGlobal();
		EXPECT_TRUE(GameProgress::SaveCurrentSlot());
		EXPECT_EQ(36u, TempFolder::ReadBytes(slotFile).size());
	}
}

// The slot's game, kept before another save played in the slot first writes
// it, never replaces a file and never goes without a copy.
TEST_F(GameProgressTest, SlotGameKeptBeforeAnotherSaveWritesTheSlot)
{
	const std::string slotFile = folder.Path("Save_1.sav");
	const std::string kept = folder.Path("slot 1 before my old run.sav");
	const std::string second = folder.Path("slot 1 before my old run 2.sav");
	GameProgress::SetCurrentMap("woods");
	ASSERT_TRUE(GameProgress::SaveCurrentSlot());
	const std::vector<uint8_t> woods = TempFolder::ReadBytes(slotFile);
	GameProgress::SetCurrentMap("home");
	GameProgress::KeepSlotBeforeNextSave("slot 1 before my old run");

	// A name already taken is left alone; a copy that cannot be written
	// leaves the slot as it was.
	TempFolder::WriteBytes(kept, {1, 2, 3});
	std::filesystem::create_directory(second + ".tmp");
	testing::internal::CaptureStdout();
	EXPECT_FALSE(GameProgress::SaveCurrentSlot());
	const std::string log = testing::internal::GetCapturedStdout();
	EXPECT_NE(log.find("Save slot 1 is not overwritten"), std::string::npos) << log;
	EXPECT_EQ(woods, TempFolder::ReadBytes(slotFile));
	EXPECT_FALSE(TempFolder::Exists(second));

	// Once it can be, the next save keeps it first; the one after keeps nothing.
	std::filesystem::remove(second + ".tmp");
	EXPECT_TRUE(GameProgress::SaveCurrentSlot());
	EXPECT_EQ(woods, TempFolder::ReadBytes(second));
	EXPECT_EQ(std::vector<uint8_t>({1, 2, 3}), TempFolder::ReadBytes(kept));
	GameProgress home;
	ASSERT_TRUE(GameProgress::ReadSlot(home, 0));
	EXPECT_EQ(HashName("home"), home.currentMap);
	EXPECT_TRUE(GameProgress::SaveCurrentSlot());
	EXPECT_FALSE(TempFolder::Exists(folder.Path("slot 1 before my old run 3.sav")));
}

TEST_F(GameProgressTest, EraseAllSlotsWritesThreeFreshGamesAndResetsTheSettings)
{
	std::string settingsFile = folder.Path("settings.dat");
	Settings::Instance().UseFile(settingsFile.c_str());
	const uint8_t chosen[kSettingsSize] = {2, 3, 4, 1, 1, 2, 9, 0, 1};
	Settings::Instance().Set(chosen);

	// One slot holds a game, one is damaged: both are replaced on purpose.
	GameProgress::SetFlag("dragon1", 1);
	GameProgress::SetSaveSlot(2);
	ASSERT_TRUE(GameProgress::SaveCurrentSlot());
	TempFolder::WriteBytes(folder.Path("Save_2.sav"), {1, 2, 3});
	GameProgress::SetSaveSlot(1);
	EXPECT_FALSE(GameProgress::LoadCurrentSlot());

	EXPECT_TRUE(GameProgress::EraseAllSlots());
	EXPECT_EQ(0, GameProgress::SaveSlot());
	EXPECT_TRUE(GameProgress::IsFresh());
	EXPECT_FALSE(GameProgress::Flag("dragon1"));
	for (const char *file : {"Save_1.sav", "Save_2.sav", "Save_3.sav"}) {
		SCOPED_TRACE(file);
		std::vector<uint8_t> bytes = TempFolder::ReadBytes(folder.Path(file));
		ASSERT_EQ(36u, bytes.size());
		EXPECT_EQ(0x6D, bytes[0]);
		EXPECT_EQ(0, bytes[12]); // no flags
	}
	const std::vector<uint8_t> settings = {2, 0, 0, 0, 0, 2, 9, 1, 1};
	EXPECT_EQ(settings, TempFolder::ReadBytes(settingsFile));
}

// A record with everything found: its facts carry the world's collectables,
// the special sets' flags and the cooler, so the summary reaches 105.
TEST(GameProgressFacts, EverythingFoundShowsAsHundredAndFive)
{
	Missions shipped;
	ASSERT_TRUE(shipped.Load());
	GameProgress record;
	record.mapRecords.push_back(MapRecord{HashName("towerf5"), {}});
	for (int coin = 1; coin <= kDragonCoinCount; ++coin)
		record.SetFlagIn(HashName(("dragon" + std::to_string(coin)).c_str()), 1);
	for (size_t i = 0; i < kSummaryMissionCount; ++i)
		record.SetFlagIn(shipped.GetMission(i)->save, 1);
	record.stats.capacityLevel = 7; // the largest cooler
	const struct {
		const char *set;
		uint8_t n;
	} special[] = {{"puzzle", CollectableKind::kHalfFound}, {"puzzle", CollectableKind::kComplete},
	               {"letter", CollectableKind::kComplete}, {"tri", CollectableKind::kComplete}};
	for (const auto &flag : special)
		record.SetFlagIn(CollectableFlagHash(flag.set, flag.n), 1);
	for (uint32_t set = 0; set < CollectableKind::kSetCount; ++set)
		for (uint8_t n = 1; n <= CollectableKind::Get(set)->count; ++n)
			record.SetFlagIn(CollectableFlagKey(CollectableKind::Get(set)->baseFlag, n), 1);

	ProgressSummary summary;
	shipped.SummarizeRecord(summary, record.Facts());
	// 1 + 24 areas + 16 dragons + 60 missions + 1 capacity + 4 special = 106.
	EXPECT_EQ(105, summary.percent);
	EXPECT_EQ(1, summary.complete);
	EXPECT_EQ(12, summary.missions);
	EXPECT_EQ(8, summary.dragons);
	EXPECT_EQ(23, summary.items) << "counted in the record summarized, not the current one";
	EXPECT_STREQ(shipped.GetMission(11)->stub, summary.latestMission);

	record.SetFlagIn(CollectableFlagHash("tri", CollectableKind::kComplete), 0);
	record.SetFlagIn(CollectableFlagHash("letter", CollectableKind::kComplete), 0);
	shipped.SummarizeRecord(summary, record.Facts());
	EXPECT_EQ(104, summary.percent);
	EXPECT_EQ(0, summary.complete);
}
