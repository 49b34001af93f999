#include "game/Settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"

constexpr uint8_t kSettingsVersion = 2;
constexpr uint8_t kLastSaveSlot = 2; // highest save slot a settings file may name

Settings::Settings(const char *name)
	: loaded(0), fileName(name)
{
	FillDefaults();
}

Settings &Settings::Instance()
{
	static Settings settings("settings.dat");
	return settings;
}

void Settings::FillDefaults()
{
	memset(block, 0, sizeof(block));
	block[kSettingReserved7] = 1;
}

// Reads the file into the block; true only when all nine bytes were there and
// the version matched. The block may be partly overwritten on failure.
bool Settings::Load()
{
	std::string path = ResolvePath(fileName.c_str());
	FILE *file = fopen(path.c_str(), "rb");
	if (file == nullptr)
		return false;

	uint8_t bytes[kSettingsSize];
	size_t got = fread(bytes, 1, sizeof(bytes), file);
	fclose(file);
	if (got < 1 || bytes[kSettingVersion] != kSettingsVersion || got < sizeof(bytes))
		return false;

	uint8_t timedMode = block[kSettingTimedMode];
	memcpy(block, bytes, sizeof(block));
	// Timed Mode is a choice for one run only; the file's byte is not trusted.
	block[kSettingTimedMode] = timedMode;
	if (block[kSettingLastSaveSlot] > kLastSaveSlot)
		block[kSettingLastSaveSlot] = 0;
	return true;
}

uint8_t *Settings::Get()
{
	if (!loaded) {
		LogDebug("Load settings\n");
		if (Load())
			loaded = 1;
	}
	if (loaded)
		return block;

	FillDefaults();
	block[kSettingVersion] = kSettingsVersion;
	Write();
	loaded = 1;
	return block;
}

void Settings::Set(const uint8_t values[kSettingsSize])
{
	memcpy(block, values, sizeof(block));
	Write();
}

void Settings::SetValue(SettingsByte at, uint8_t value)
{
	uint8_t values[kSettingsSize];
	memcpy(values, Get(), sizeof(values));
	values[at] = value;
	Set(values);
}

bool Settings::Write()
{
	if (!WriteFileAtomic(fileName.c_str(), block, sizeof(block))) {
		std::string reason = std::string(": ") + strerror(errno);
		Log("Couldn't save settings%s\n", reason.c_str());
		return false;
	}
	LogDebug("saved settings\n");
	return true;
}

void Settings::ResetAllAndSave()
{
	ResetAll(block);
	Write();
	Get();
}

void Settings::ResetAudioVideo(uint8_t *values)
{
	values[kSettingAudioMode] = 0;
	values[kSettingGraphicsMode] = 0;
	values[kSettingReserved7] = 1;
}

void Settings::ResetAll(uint8_t *values)
{
	ResetAudioVideo(values);
	values[kSettingWindowed] = 0;
	values[kSettingTimedMode] = 0;
}

void Settings::UseFile(const char *name)
{
	fileName = name;
	loaded = 0;
	FillDefaults();
}
