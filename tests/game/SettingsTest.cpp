#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "game/Settings.h"
#include "support/TempFolder.h"

namespace {

const std::vector<uint8_t> kDefaultBytes = {2, 0, 0, 0, 0, 0, 0, 1, 0};

std::vector<uint8_t> BlockOf(Settings &settings)
{
	const uint8_t *block = settings.Get();
	return std::vector<uint8_t>(block, block + kSettingsSize);
}

}

TEST(SettingsFile, MissingOrForeignFilesAreReplacedByTheDefaults)
{
	const struct {
		const char *name;
		bool exists;
		std::vector<uint8_t> bytes;
	} rows[] = {
		{"no file", false, {}},
		{"empty file", true, {}},
		{"older version", true, {1, 1, 1, 1, 1, 1, 1, 1, 1}},
		{"version 2 but short", true, {2, 3, 1, 1, 0, 1, 0, 1}},
		{"version byte only", true, {2}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		TempFolder folder;
		std::string path = folder.Path("settings.dat");
		if (row.exists)
			TempFolder::WriteBytes(path, row.bytes);
		Settings settings(path.c_str());
		EXPECT_EQ(kDefaultBytes, BlockOf(settings));
		EXPECT_TRUE(settings.IsLoaded());
		EXPECT_EQ(kDefaultBytes, TempFolder::ReadBytes(path));
	}
}

TEST(SettingsFile, ValidFileIsTakenExceptTheTimerAndAnImpossibleSlot)
{
	const struct {
		const char *name;
		std::vector<uint8_t> file;
		std::vector<uint8_t> block;
	} rows[] = {
		{"everything kept", {2, 3, 4, 1, 0, 2, 6, 0, 1}, {2, 3, 4, 1, 0, 2, 6, 0, 1}},
		{"timer is off after every start", {2, 1, 0, 0, 1, 1, 0, 1, 0}, {2, 1, 0, 0, 0, 1, 0, 1, 0}},
		{"slot 3 does not exist", {2, 0, 0, 0, 0, 3, 0, 1, 0}, {2, 0, 0, 0, 0, 0, 0, 1, 0}},
		{"slot 255 does not exist", {2, 0, 0, 0, 0, 255, 0, 1, 0}, {2, 0, 0, 0, 0, 0, 0, 1, 0}},
		{"a graphics mode is not checked here", {2, 0, 200, 0, 0, 0, 0, 1, 0}, {2, 0, 200, 0, 0, 0, 0, 1, 0}},
		{"bytes after the ninth are ignored", {2, 2, 1, 1, 0, 1, 0, 1, 1, 7, 7}, {2, 2, 1, 1, 0, 1, 0, 1, 1}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		TempFolder folder;
		std::string path = folder.Path("settings.dat");
		TempFolder::WriteBytes(path, row.file);
		Settings settings(path.c_str());
		EXPECT_EQ(row.block, BlockOf(settings));
		// Loading writes nothing.
		EXPECT_EQ(row.file, TempFolder::ReadBytes(path));
	}
}

TEST(SettingsFile, IsReadOnceAndEveryChangeIsWrittenAtOnce)
{
	TempFolder folder;
	std::string path = folder.Path("settings.dat");
	TempFolder::WriteBytes(path, {2, 1, 2, 1, 1, 1, 0, 1, 0});
	Settings settings(path.c_str());
	EXPECT_FALSE(settings.IsLoaded());
	EXPECT_EQ(0, settings.Get()[kSettingTimedMode]);

	// Later changes to the file are not read again in this run.
	TempFolder::WriteBytes(path, {2, 3, 3, 3, 3, 2, 3, 3, 3});
	EXPECT_EQ(1, settings.Get()[kSettingAudioMode]);

	// Turning Timed Mode on in the menu writes it to the file again.
	uint8_t values[kSettingsSize];
	memcpy(values, settings.Get(), sizeof(values));
	values[kSettingTimedMode] = 1;
	settings.Set(values);
	EXPECT_EQ(std::vector<uint8_t>({2, 1, 2, 1, 1, 1, 0, 1, 0}), TempFolder::ReadBytes(path));
	EXPECT_EQ(1, settings.Get()[kSettingTimedMode]);
}

TEST(SettingsFile, ResetsTouchOnlyTheirBytes)
{
	const uint8_t start[kSettingsSize] = {2, 3, 4, 1, 1, 2, 6, 0, 1};
	const struct {
		const char *name;
		void (*reset)(uint8_t *);
		std::vector<uint8_t> after;
	} rows[] = {
		{"presentation", &Settings::ResetAudioVideo, {2, 0, 0, 1, 1, 2, 6, 1, 1}},
		{"all", &Settings::ResetAll, {2, 0, 0, 0, 0, 2, 6, 1, 1}},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		uint8_t block[kSettingsSize];
		memcpy(block, start, sizeof(block));
		row.reset(block);
		EXPECT_EQ(row.after, std::vector<uint8_t>(block, block + kSettingsSize));
	}

	TempFolder folder;
	std::string path = folder.Path("settings.dat");
	Settings settings(path.c_str());
	settings.Set(start);
	settings.ResetAllAndSave();
	EXPECT_EQ(rows[1].after, TempFolder::ReadBytes(path));
	EXPECT_EQ(rows[1].after, BlockOf(settings));
}

TEST(SettingsFile, FailedWriteKeepsThePreviousFileAndTheNewValuesForThisRun)
{
	const struct {
		const char *name;
		bool diskFull;
	} rows[] = {{"disk full", true}, {"temporary file cannot be made", false}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		TempFolder folder;
		std::string path = folder.Path("settings.dat");
		const std::vector<uint8_t> before = {2, 1, 0, 1, 0, 1, 0, 1, 0};
		TempFolder::WriteBytes(path, before);
		Settings settings(path.c_str());
		settings.Get();

		const uint8_t changed[kSettingsSize] = {2, 2, 5, 0, 0, 2, 0, 1, 1};
		bool written;
		if (row.diskFull) {
			FileSizeLimit limit(4);
			settings.Set(changed);
			written = settings.Write();
		} else {
			std::filesystem::create_directory(path + ".tmp");
			settings.Set(changed);
			written = settings.Write();
		}
		EXPECT_FALSE(written);
		EXPECT_EQ(before, TempFolder::ReadBytes(path));
		EXPECT_EQ(std::vector<uint8_t>(changed, changed + kSettingsSize), BlockOf(settings));
	}
}
