#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/AchievementDef.h"

class IAchievementHandler;

// The achievements: their definitions from "achievements/achievements.xml"
// (read once per run) and the ids the player has earned, in the order
// earned, kept in "achievements.dat" beside the executable across every save
// slot. Earning one sets the game flag of the same id (so the save knows it
// too), writes the earned list, tells the pop-up handler (not owned) and
// reports it to the game service. One instance, built on first use.
//
// "achievements.dat": a u16 count, then that many u16 ids, little-endian.
class Achievements {
public:
	static constexpr const char *kDefinitionsFile = "achievements/achievements.xml";
	static constexpr const char *kStateFile = "achievements.dat";

	static Achievements &Instance();

	// Reads the definitions on the first call of the run, then the earned
	// list again from "achievements.dat".
	void Load();
	// Reads definitions from another file (tests and tools); an unreadable
	// file keeps the definitions as they were. False then.
	bool LoadDefinitions(const char *path);

	size_t Count() const { return definitions.size(); }
	size_t UnlockedCount() const { return unlocked.size(); }
	// Null when out of range.
	const AchievementDef *At(size_t index) const;
	// The first definition with that id; null when none.
	const AchievementDef *Find(uint16_t id) const;
	bool IsUnlocked(uint16_t id) const;
	bool IsUnlockedByName(const char *name) const;
	const std::vector<uint16_t> &GetUnlocked() const { return unlocked; }

	// Sets the game flag; a defined achievement not yet earned is earned,
	// reported, shown and written.
	void Unlock(uint16_t id);
	void UnlockByName(const char *name);
	// Forgets every earned achievement and writes the empty list.
	void Reset();
	// While in play: earns every defined achievement whose game flag the
	// game in progress has set.
	void SyncFromFlags();
	// The handler is kept apart from the instance, so that a handler going
	// away at exit can let go of it without building the achievements.
	static void SetHandler(IAchievementHandler *value);
	static IAchievementHandler *GetHandler();
	// Clears the handler when it is this one.
	static void ForgetHandler(const IAchievementHandler *value);
	// Writes the earned list whole; false (and the old file kept) on failure.
	bool Save() const;

	// Where "achievements.dat" is kept; "" for beside the executable.
	static void SetStateFolder(const char *folder);
	static std::string StatePath();

private:
	Achievements();
	// Reads the earned ids from the state file, with bounds.
	void ReadState();

	std::vector<AchievementDef> definitions; // file order
	std::vector<uint16_t> unlocked;          // in the order earned, no repeats
	uint8_t loaded = 0;
	uint8_t definitionsRead = 0;
};
