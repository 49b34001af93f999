#pragma once

#include <cstdint>
#include <string>

constexpr int kSettingsSize = 9; // bytes of the settings block and of its file

// Byte positions in the settings block.
enum SettingsByte : uint8_t {
	kSettingVersion = 0,
	kSettingAudioMode = 1,    // 0 all on, 1 music off, 2 all off, 3 all on with 8-bit music
	kSettingGraphicsMode = 2, // post-processing mode index
	kSettingWindowed = 3,     // 1 window, 0 full screen
	kSettingTimedMode = 4,    // 1 the play clock is shown
	kSettingLastSaveSlot = 5, // 0 to 2
	kSettingReserved6 = 6,
	kSettingReserved7 = 7,    // set to 1 by the presentation reset
	kSettingHasWon = 8,       // 1 once a save slot reached an ending
};

enum AudioMode : uint8_t {
	kAudioAllOn = 0,
	kAudioMusicOff = 1,
	kAudioAllOff = 2,
	kAudioEightBit = 3,
};

// The player's nine setting bytes, held in one block and mirrored in a file
// beside the executable ("settings.dat" for the game's own instance). The file
// is read once, on the first Get; from then on every change goes through the
// block and is written at once, whole, so a failed write never costs the
// previous file. The block never refers to anything else.
class Settings {
public:
	// A block of defaults (byte 0 left 0 until a load decides it) that is not
	// loaded yet, kept in fileName.
	explicit Settings(const char *fileName);
	// The game's settings, kept in "settings.dat".
	static Settings &Instance();

	// The nine bytes, loaded on the first call: a missing, short or foreign
	// file is replaced by the defaults at once. The timer byte of the file is
	// dropped, so Timed Mode starts off on every run.
	uint8_t *Get();
	// Copies all nine bytes into the block and writes the file.
	void Set(const uint8_t values[kSettingsSize]);
	// Changes one byte of the (loaded) block and writes the file.
	void SetValue(SettingsByte at, uint8_t value);
	// Writes the block to the file; false when the file was left as it was.
	bool Write();
	// Resets the presentation, window and timer bytes, writes them and makes
	// sure the block is loaded.
	void ResetAllAndSave();

	// Audio and graphics back to their defaults, byte 7 to 1.
	static void ResetAudioVideo(uint8_t *block);
	// ResetAudioVideo, then window and Timed Mode off.
	static void ResetAll(uint8_t *block);

	// Points the block at another file and forgets what was loaded, so that
	// the next Get reads that file. The game never moves its settings; tests
	// keep theirs in a temporary folder.
	void UseFile(const char *fileName);
	bool IsLoaded() const { return loaded != 0; }
	const std::string &GetFileName() const { return fileName; }

private:
	void FillDefaults();
	bool Load();

	uint8_t block[kSettingsSize];
	uint8_t loaded;
	std::string fileName;
};
