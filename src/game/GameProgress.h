#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/MapRecord.h"
#include "game/SaveSlotSummary.h"
#include "map/MapFiles.h"
#include "map/MapGameLink.h"
#include "map/ProgressFacts.h"
#include "map/ProgressSummary.h"
#include "objects/PlayerStats.h"

constexpr uint8_t kCurrentSaveSlot = 255; // slot argument meaning "the current save slot"
constexpr uint8_t kSaveSlotCount = 3;
constexpr const char *kSaveExtension = "sav"; // of every save file, in a slot or not

// The name of a difficulty: "Relaxed", "Intended", "Brutal", else "Unknown".
const char *DifficultyName(uint8_t difficulty);

// The record of one game in progress: where the player is, what each visited
// map looked like when left, which game flags are set, the player's stats,
// play time, deaths and the two difficulty axes. One global record is the live
// game (the static operations below work on it); temporary records are read
// from the other save slots to describe them. A save file is this record
// written field by field; a damaged file is never read over the live game, and
// the slot it came from is not overwritten until the player starts a new game
// there.
//
// Map ids and flag ids are 16-bit name hashes; id 0 means none.
class GameProgress {
public:
	// The defaults of Reset, with exitSpan and pendingMap zeroed too.
	GameProgress();

	// --- On one record ---
	// False for id 0, whatever the list holds.
	bool HasFlag(uint16_t id) const;
	// on: appends id when it is not there; off: removes it when it is.
	void SetFlagIn(uint16_t id, uint8_t on);
	// False for id 0; true for the current and previous map and every map
	// with a record.
	bool HasMapRecord(uint16_t id) const;
	// What the missions read of this record to work out its completion
	// (Missions::Summarize), with the collectables the world holds.
	ProgressFacts Facts() const;
	// The slot's line from this record and its completion, which the
	// missions work out (Missions::Summarize).
	SaveSlotSummary Summary(const ProgressSummary &completion) const;
	// Back to a fresh game. exitSpan and pendingMap are kept: a pending map is
	// set before the slot it starts from is reloaded.
	void Reset();
	// Keeps the two difficulty axes at most one step apart by moving
	// respawnLevel only.
	void ClampDifficulty();

	// --- On the global record ---
	static GameProgress &Current();
	static void SetFlag(const char *name, uint8_t on);
	static void SetFlagId(uint16_t id, uint8_t on);
	static bool Flag(const char *name);
	static bool FlagId(uint16_t id);
	// Makes the named map current (moving the old current map to previousMap
	// when it differs) and keeps its state bytes.
	static void StoreMapState(const char *mapName, const uint8_t state[kMapStateSize]);
	// Copies the map's state bytes into out; out is left untouched when the
	// map was never stored.
	static void FetchMapState(const char *mapName, uint8_t out[kMapStateSize]);
	static void SetCurrentMap(const char *name);
	static void SetPreviousMap(const char *name);
	static void SetPreviousMapIdAndSave(uint16_t id);
	static void StorePlayerStats(const ::PlayerStats &source);
	// A record without hearts gets 4 half hearts before it is copied out.
	static void PlayerStats(::PlayerStats &out);
	static void SetSpawnBytes(uint8_t xSpan, uint8_t ySpan);
	static void SpawnBytes(uint8_t &xSpan, uint8_t &ySpan);
	static void SetStartMap(uint16_t id);
	static uint16_t StartMap();
	static void SetPendingValue(uint16_t id);
	static uint16_t PendingValue();
	static void SetWaypoint(uint16_t id);
	static uint16_t Waypoint();
	static void SetPlaySeconds(uint32_t seconds);
	static uint32_t PlaySeconds();
	static void AddDeath();
	static uint16_t Deaths();
	// Both store the low byte and then apply ClampDifficulty.
	static void SetDifficulty(uint32_t difficulty);
	static int Difficulty();
	static void SetRespawnLevel(uint32_t level);
	static int RespawnLevel();
	// True while no map has been played.
	static bool IsFresh();
	// A fresh global game. This is how the player chooses a new game for the
	// current slot, so that slot may be written again even if its file was
	// found damaged.
	static void ResetGlobal();
	static void Assign(const GameProgress &record);
	static void SetSaveSlot(uint8_t slot);
	static uint8_t SaveSlot();

	// --- Save files ---
	// "Save_%d.sav" numbered from 1, beside the executable; kCurrentSaveSlot
	// names the current slot's file.
	static std::string SaveFileName(uint8_t slot);
	// The folder the slot files live in; empty (the game's choice) keeps them
	// beside the executable. Tests keep theirs in a temporary folder.
	static void SetSaveFolder(const char *folder);
	// Writes the global record to path as a whole; the lowest difficulties
	// follow the saved ones down only when the file was written. On failure
	// the old file is left as it was and false is returned.
	static bool Write(const char *path);
	// Reads path into record; true when the whole record was read. A missing
	// file resets record (an empty slot is a fresh game); a damaged one leaves
	// record as it was.
	static bool Read(GameProgress &record, const char *path);
	static bool ReadSlot(GameProgress &record, uint8_t slot);
	// Makes the file the live game. A missing file gives a fresh game and
	// counts as success; a damaged file leaves the live game as it was and
	// returns false.
	static bool LoadFrom(const char *path);
	static bool LoadCurrentSlot();
	static bool SelectSlotAndLoad(uint8_t slot);
	// Writes the current slot, unless its file was found damaged and the
	// player has not started a new game in it since; then false. The first
	// write after KeepSlotBeforeNextSave keeps the slot's game first, and
	// does not write over the slot (false) when that game cannot be kept.
	static bool SaveCurrentSlot();
	// A game loaded from another save file is played in the current slot,
	// whose own game would be gone with the slot's next write. Before that
	// write the slot's file is copied, byte for byte, to keptName + ".sav"
	// in the save folder (keptName + " 2.sav" and so on when the name is
	// taken), where the other saves are listed. A missing slot, or one that
	// holds no game, keeps nothing. Loading the slot, starting a new game or
	// changing the folder forgets it.
	static void KeepSlotBeforeNextSave(const std::string &keptName);
	// The folder the slot files and the other save files live in.
	static std::string SaveFolderPath();
	// Writes a fresh game into all three slots, loads slot 0 and resets the
	// settings; the player's "Clear All Data". True when every file was written.
	static bool EraseAllSlots();

	uint16_t currentMap;
	uint16_t previousMap;
	::PlayerStats stats;
	std::vector<MapRecord> mapRecords;
	std::vector<uint16_t> flags; // in the order set, no duplicates
	uint8_t exitSpan[2];         // x span, y span in tiles of the last map exit
	uint16_t startMap;
	uint32_t playSeconds;
	uint16_t deaths;
	uint8_t difficulty;         // 0 "Relaxed", 1 "Intended", 2 "Brutal"
	uint8_t respawnLevel;       // same scale, for save points
	uint8_t lowestDifficulty;   // lowest difficulty ever saved; 3 = never saved
	uint8_t lowestRespawnLevel; // lowest respawn level ever saved
	uint16_t waypoint;
	uint16_t pendingMap;

private:
	enum class ReadResult : uint8_t { Loaded, Missing, Damaged };
	// The whole file at the resolved path; Damaged when it cannot be read.
	static ReadResult ReadFileBytes(const std::string &fullPath, std::vector<uint8_t> &bytes);
	static ReadResult ReadInto(GameProgress &record, const char *path);
	// Copies the current slot's file as KeepSlotBeforeNextSave asked; true
	// when it was kept or held nothing to keep.
	static bool KeepSlotGame();
	// ReadInto on a slot's file, remembering whether the file is damaged.
	static ReadResult ReadSlotInto(GameProgress &record, uint8_t slot);
};
