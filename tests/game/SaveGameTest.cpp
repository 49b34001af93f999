#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "game/SaveGame.h"
#include "support/TempFolder.h"

namespace {

// A game with something in every field, so that a field written or read in
// the wrong place shows.
GameProgress RichRecord(int mapCount, int flagCount)
{
	GameProgress record;
	record.currentMap = 0x1234;
	record.previousMap = 0xBEEF;
	for (int m = 0; m < mapCount; m++) {
		MapRecord map;
		map.id = (uint16_t)(0x4000 + m * 7);
		for (int b = 0; b < kMapStateSize; b++)
			map.state[b] = (uint8_t)(m * 31 + b * 3 + 1);
		record.mapRecords.push_back(map);
	}
	for (int f = 0; f < flagCount; f++)
		record.flags.push_back((uint16_t)(0x8100 + f * 13));
	record.stats.hearts = 7;
	record.stats.maxHearts = 12;
	record.stats.weight = 123;
	record.stats.capacityLevel = 5;
	record.stats.heldKind = 0x0A0B0C0D;
	record.exitSpan[0] = 3;
	record.exitSpan[1] = 9;
	record.startMap = 0x5151;
	record.playSeconds = 0x01020304;
	record.deaths = 0x0605;
	record.difficulty = 2;
	record.respawnLevel = 1;
	record.lowestDifficulty = 1;
	record.lowestRespawnLevel = 0;
	record.waypoint = 0x7777;
	return record;
}

void ExpectSameRecord(const GameProgress &expected, const GameProgress &actual)
{
	EXPECT_EQ(expected.currentMap, actual.currentMap);
	EXPECT_EQ(expected.previousMap, actual.previousMap);
	ASSERT_EQ(expected.mapRecords.size(), actual.mapRecords.size());
	for (size_t i = 0; i < expected.mapRecords.size(); i++) {
		EXPECT_EQ(expected.mapRecords[i].id, actual.mapRecords[i].id) << "map " << i;
		EXPECT_EQ(0, memcmp(expected.mapRecords[i].state, actual.mapRecords[i].state, kMapStateSize)) << "map " << i;
	}
	EXPECT_EQ(expected.flags, actual.flags);
	EXPECT_EQ(0, memcmp(&expected.stats, &actual.stats, sizeof(PlayerStats)));
	EXPECT_EQ(expected.exitSpan[0], actual.exitSpan[0]);
	EXPECT_EQ(expected.exitSpan[1], actual.exitSpan[1]);
	EXPECT_EQ(expected.startMap, actual.startMap);
	EXPECT_EQ(expected.playSeconds, actual.playSeconds);
	EXPECT_EQ(expected.deaths, actual.deaths);
	EXPECT_EQ(expected.difficulty, actual.difficulty);
	EXPECT_EQ(expected.respawnLevel, actual.respawnLevel);
	EXPECT_EQ(expected.lowestDifficulty, actual.lowestDifficulty);
	EXPECT_EQ(expected.lowestRespawnLevel, actual.lowestRespawnLevel);
	EXPECT_EQ(expected.waypoint, actual.waypoint);
}

void PutU16(std::vector<uint8_t> &out, uint16_t value)
{
	out.push_back((uint8_t)value);
	out.push_back((uint8_t)(value >> 8));
}

// The fields after the flag ids, the same in both layouts.
void PutTail(std::vector<uint8_t> &out, uint8_t capacityLevel)
{
	const uint8_t tail[] = {
		5, 8, 40, capacityLevel, 0x2C, 0, 0, 0, // stats
		2, 4,                                   // exit span
		0x11, 0x22,                             // start map
		0x10, 0x0E, 0, 0,                       // play seconds 3600
		3, 0,                                   // deaths
		0, 0, 0, 0,                             // difficulty, respawn, both lowest
	};
	out.insert(out.end(), tail, tail + sizeof(tail));
}

class SaveGameFiles : public testing::Test {
protected:
	void SetUp() override
	{
		GameProgress::SetSaveFolder(folder.Folder().c_str());
		GameProgress::SetSaveSlot(0);
		GameProgress::ResetGlobal();
	}
	void TearDown() override
	{
		GameProgress::SetSaveFolder("");
		GameProgress::ResetGlobal();
	}

	TempFolder folder;
};

}

TEST_F(SaveGameFiles, FreshGameIsWrittenByteForByte)
{
	GameProgress::Assign(GameProgress());
	std::string path = folder.Path("fresh.sav");
	ASSERT_TRUE(GameProgress::Write(path.c_str()));
	const std::vector<uint8_t> golden = {
		0x6D, 0xBB, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x66, 0xF9, 0x00, 0x00,
		0x00, 0x00, 0x01, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
		0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x01,
	};
	EXPECT_EQ(golden, TempFolder::ReadBytes(path));
	// Saving is what lowers the "lowest" fields of the live record.
	EXPECT_EQ(1, GameProgress::Current().lowestDifficulty);
	EXPECT_EQ(1, GameProgress::Current().lowestRespawnLevel);
}

TEST_F(SaveGameFiles, RecordsSurviveAWriteAndAReadWhole)
{
	const struct {
		int maps;
		int flags;
	} rows[] = {{0, 0}, {1, 0}, {0, 1}, {3, 5}, {40, 300}};
	for (const auto &row : rows) {
		SCOPED_TRACE(testing::Message() << row.maps << " maps, " << row.flags << " flags");
		GameProgress original = RichRecord(row.maps, row.flags);
		GameProgress::Assign(original);
		std::string path = folder.Path("round.sav");
		ASSERT_TRUE(GameProgress::Write(path.c_str()));
		EXPECT_EQ(36u + 66u * row.maps + 2u * row.flags, TempFolder::ReadBytes(path).size());

		GameProgress loaded;
		ASSERT_TRUE(GameProgress::Read(loaded, path.c_str()));
		ExpectSameRecord(original, loaded);
	}
}

TEST_F(SaveGameFiles, LowestDifficultiesOnlyEverGoDown)
{
	const struct {
		uint8_t difficulty;
		uint8_t respawn;
		uint8_t lowestDifficulty;
		uint8_t lowestRespawn;
	} saves[] = {
		{2, 2, 2, 2},
		{0, 0, 0, 0},
		{2, 1, 0, 0},
		{1, 2, 0, 0},
	};
	std::string path = folder.Path("lowest.sav");
	for (const auto &save : saves) {
		SCOPED_TRACE(testing::Message() << "saved at " << (int)save.difficulty << "/" << (int)save.respawn);
		GameProgress::Current().difficulty = save.difficulty;
		GameProgress::Current().respawnLevel = save.respawn;
		ASSERT_TRUE(GameProgress::Write(path.c_str()));
		std::vector<uint8_t> bytes = TempFolder::ReadBytes(path);
		ASSERT_EQ(36u, bytes.size());
		EXPECT_EQ(save.lowestDifficulty, bytes[34]);
		EXPECT_EQ(save.lowestRespawn, bytes[35]);
		EXPECT_EQ(save.lowestDifficulty, GameProgress::Current().lowestDifficulty);
		EXPECT_EQ(save.lowestRespawn, GameProgress::Current().lowestRespawnLevel);
	}
}

TEST(SaveGameLayout, OldLayoutIsReadWithOrWithoutItsWaypoint)
{
	const struct {
		const char *name;
		bool withWay;
		uint16_t waypoint;
	} rows[] = {{"with way", true, 0x3344}, {"without way", false, 0}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::vector<uint8_t> bytes;
		PutU16(bytes, 0x0101); // current map, not the "v101" tag
		PutU16(bytes, 0x0202);
		PutU16(bytes, 2);
		for (uint16_t m = 0; m < 2; m++) {
			PutU16(bytes, (uint16_t)(0x0A00 + m));
			for (int b = 0; b < 32; b++)
				bytes.push_back((uint8_t)(0x80 + b));
		}
		if (row.withWay) {
			PutU16(bytes, HashName("way"));
			PutU16(bytes, row.waypoint);
		}
		PutU16(bytes, 2); // flag count
		PutU16(bytes, 0x5555);
		PutU16(bytes, HashName("oghacks"));
		PutTail(bytes, 3);

		GameProgress record;
		ASSERT_TRUE(SaveGame::Decode(record, bytes.data(), bytes.size()));
		EXPECT_EQ(0x0101, record.currentMap);
		EXPECT_EQ(0x0202, record.previousMap);
		ASSERT_EQ(2u, record.mapRecords.size());
		EXPECT_EQ(0x0A01, record.mapRecords[1].id);
		EXPECT_EQ(0x80, record.mapRecords[1].state[0]);
		EXPECT_EQ(0x80 + 31, record.mapRecords[1].state[31]);
		for (int b = 32; b < kMapStateSize; b++)
			EXPECT_EQ(0, record.mapRecords[1].state[b]) << "state byte " << b;
		EXPECT_EQ(row.waypoint, record.waypoint);
		// Old saves are original content; a flag already in the file is not doubled.
		std::vector<uint16_t> flags = {0x5555, HashName("oghacks"), HashName("ogmaps")};
		EXPECT_EQ(flags, record.flags);
		EXPECT_EQ(40, record.stats.weight);
		EXPECT_EQ(0x2Cu, record.stats.heldKind);
		EXPECT_EQ(3600u, record.playSeconds);
		EXPECT_EQ(3, record.deaths);
	}
}

TEST(SaveGameLayout, CurrentLayoutIgnoresWhatStandsWhereWayShouldBe)
{
	GameProgress original = RichRecord(1, 2);
	std::vector<uint8_t> bytes = SaveGame::Encode(original);
	size_t wayOffset = 8 + 66;
	ASSERT_EQ(HashName("way"), bytes[wayOffset] | (bytes[wayOffset + 1] << 8));
	bytes[wayOffset] = 0x12;
	bytes[wayOffset + 1] = 0x34;

	GameProgress record;
	ASSERT_TRUE(SaveGame::Decode(record, bytes.data(), bytes.size()));
	ExpectSameRecord(original, record);
	EXPECT_FALSE(record.HasFlag(HashName("ogmaps")));
}

TEST(SaveGameLayout, StoredFieldsAreRepairedOrMergedOnRead)
{
	const struct {
		const char *name;
		uint8_t capacityLevel;
		uint8_t expectedLevel;
	} rows[] = {{"level 10 stays", 10, 10}, {"level 11 becomes 1", 11, 1}, {"level 255 becomes 1", 255, 1}, {"level 0 stays", 0, 0}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress original = RichRecord(0, 0);
		original.stats.capacityLevel = row.capacityLevel;
		original.flags = {0x0042, 0x0099, 0x0042, 0x0042};
		std::vector<uint8_t> bytes = SaveGame::Encode(original);

		GameProgress record;
		ASSERT_TRUE(SaveGame::Decode(record, bytes.data(), bytes.size()));
		EXPECT_EQ(row.expectedLevel, record.stats.capacityLevel);
		std::vector<uint16_t> once = {0x0042, 0x0099};
		EXPECT_EQ(once, record.flags);
	}
}

TEST_F(SaveGameFiles, EveryTruncationFailsAndKeepsTheRecordItWasReadInto)
{
	GameProgress::Assign(RichRecord(2, 3));
	std::string full = folder.Path("full.sav");
	ASSERT_TRUE(GameProgress::Write(full.c_str()));
	std::vector<uint8_t> bytes = TempFolder::ReadBytes(full);

	GameProgress live = RichRecord(1, 1);
	live.currentMap = 0x0DD0;
	live.pendingMap = 0x0777;
	std::string cut = folder.Path("cut.sav");
	for (size_t length = 0; length < bytes.size(); length++) {
		SCOPED_TRACE(testing::Message() << "cut to " << length << " bytes");
		TempFolder::WriteBytes(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + length));
		GameProgress record = live;
		EXPECT_FALSE(GameProgress::Read(record, cut.c_str()));
		ExpectSameRecord(live, record);
		EXPECT_EQ(0x0777, record.pendingMap);
	}
}

TEST(SaveGameLayout, CountsThatOverrunTheFileAreRefused)
{
	const struct {
		const char *name;
		bool oldLayout;
		uint16_t mapCount;
		uint16_t flagCount;
	} rows[] = {
		{"current layout, too many maps", false, 0xFFFF, 0},
		{"current layout, too many flags", false, 0, 0xFFFF},
		{"old layout, too many maps", true, 0xFFFF, 0},
		{"old layout, too many flags", true, 0, 0xFFFF},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::vector<uint8_t> bytes;
		if (!row.oldLayout)
			PutU16(bytes, HashName("v101"));
		PutU16(bytes, 1);
		PutU16(bytes, 2);
		PutU16(bytes, row.mapCount);
		PutU16(bytes, HashName("way"));
		PutU16(bytes, 0);
		PutU16(bytes, row.flagCount);
		PutTail(bytes, 0);
		GameProgress record;
		EXPECT_FALSE(SaveGame::Decode(record, bytes.data(), bytes.size()));
	}
}

TEST_F(SaveGameFiles, FailedWriteLeavesThePreviousFileAsItWas)
{
	std::string path = folder.Path("slot.sav");
	GameProgress::Assign(RichRecord(1, 2));
	ASSERT_TRUE(GameProgress::Write(path.c_str()));
	const std::vector<uint8_t> before = TempFolder::ReadBytes(path);

	const struct {
		const char *name;
		bool diskFull;
	} rows[] = {{"disk full half-way", true}, {"temporary file cannot be made", false}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		GameProgress bigger = RichRecord(5, 40);
		bigger.difficulty = 0;
		bigger.respawnLevel = 0;
		GameProgress::Assign(bigger);
		bool written;
		if (row.diskFull) {
			FileSizeLimit limit(before.size());
			written = GameProgress::Write(path.c_str());
		} else {
			std::filesystem::create_directory(path + ".tmp");
			written = GameProgress::Write(path.c_str());
			std::filesystem::remove(path + ".tmp");
		}
		EXPECT_FALSE(written);
		EXPECT_EQ(before, TempFolder::ReadBytes(path));
		// A game that was not saved was not saved at a lower difficulty.
		EXPECT_EQ(1, GameProgress::Current().lowestDifficulty);
		EXPECT_EQ(0, GameProgress::Current().lowestRespawnLevel);
	}
}
