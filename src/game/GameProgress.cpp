#include "game/GameProgress.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "game/SaveGame.h"
#include "game/Settings.h"
#include "objects/CollectableKind.h"

constexpr uint8_t kDefaultDifficulty = 1; // "Intended"
constexpr uint8_t kNeverSavedLevel = 3;   // lowest level of a game never saved
constexpr uint8_t kFreshHalfHearts = 4;   // hearts given to a record that has none
constexpr size_t kSaveFileNameSize = 16;  // "Save_%d.sav" with its terminator
constexpr int kMaxKeptCopies = 99;        // names tried for a kept slot game

// The slots whose file exists but could not be read, one bit per slot.
static uint8_t damagedSlots = 0;
static uint8_t currentSaveSlot = 0;
static std::string saveFolder;
// The current slot's file name as last made, and its slot (-1: none), kept
// for the saves that follow until the slot or the folder changes.
static std::string currentSlotPath;
static int currentSlotPathOf = -1;
// The bytes of the last save, their storage kept for the next one.
static std::vector<uint8_t> saveBytes;
// The name, without its ending, that the current slot's game is kept under
// before the slot's next write; empty when nothing waits to be kept.
static std::string keepSlotAs;

static uint8_t SlotBit(uint8_t slot)
{
	return slot < 8 ? (uint8_t)(1u << slot) : 0;
}

const char *DifficultyName(uint8_t difficulty)
{
	switch (difficulty) {
	case 0: return "Relaxed";
	case 1: return "Intended";
	case kDifficultyBrutal: return "Brutal";
	default: return "Unknown";
	}
}

GameProgress::GameProgress()
	: exitSpan{0, 0}, pendingMap(0)
{
	Reset();
}

bool GameProgress::HasFlag(uint16_t id) const
{
	if (id == 0)
		return false;
	return std::find(flags.begin(), flags.end(), id) != flags.end();
}

void GameProgress::SetFlagIn(uint16_t id, uint8_t on)
{
	auto found = std::find(flags.begin(), flags.end(), id);
	if (on) {
		if (found == flags.end())
			flags.push_back(id);
	} else if (found != flags.end()) {
		flags.erase(found);
	}
}

bool GameProgress::HasMapRecord(uint16_t id) const
{
	if (id == 0)
		return false;
	if (id == currentMap || id == previousMap)
		return true;
	for (const MapRecord &record : mapRecords)
		if (record.id == id)
			return true;
	return false;
}

ProgressFacts GameProgress::Facts() const
{
	ProgressFacts facts;
	facts.flags = flags;
	for (uint16_t id : {currentMap, previousMap})
		if (id != 0)
			facts.visitedMaps.push_back(id);
	for (const MapRecord &record : mapRecords)
		facts.visitedMaps.push_back(record.id);
	facts.maxWeight = stats.GetMaxWeight();
	facts.capacityLevel = stats.capacityLevel;
	facts.playSeconds = playSeconds;
	facts.deaths = deaths;
	for (uint32_t set = 0; set < CollectableKind::kSetCount; ++set) {
		const CollectableKind *kind = CollectableKind::Get(set);
		for (uint8_t n = 1; n <= kind->count; ++n)
			facts.itemFlags.push_back(CollectableFlagKey(kind->baseFlag, n));
	}
	// Half the chicken feed, all of it, every letter and every triangle.
	facts.bonusFlags = {
		CollectableFlagHash("puzzle", CollectableKind::kHalfFound),
		CollectableFlagHash("puzzle", CollectableKind::kComplete),
		CollectableFlagHash("letter", CollectableKind::kComplete),
		CollectableFlagHash("tri", CollectableKind::kComplete),
	};
	return facts;
}

SaveSlotSummary GameProgress::Summary(const ProgressSummary &completion) const
{
	SaveSlotSummary summary;

	summary.played = completion.playTime != 0;
	summary.lowered = lowestDifficulty < difficulty;
	summary.difficulty = difficulty;
	summary.ended = HasFlag(HashName("ending"));
	summary.traitor = HasFlag(HashName("traitor"));
	summary.og = HasFlag(HashName(kOriginalContentFlag));
	summary.percent = completion.percent;

	// The line is cut to its field; the label has at most 15 characters.
	char label[kMissionStubSize];
	memcpy(label, completion.latestMission, sizeof(label));
	label[sizeof(label) - 1] = '\0';
	char line[64];
	snprintf(line, sizeof(line), "%s%s%s %d%%%s", summary.og ? "OG " : "", label,
		summary.lowered ? "*" : "", (int)summary.percent, summary.ended ? "!" : "");
	memcpy(summary.line, line, sizeof(summary.line) - 1);
	summary.line[sizeof(summary.line) - 1] = '\0';

	snprintf(summary.difficultyText, sizeof(summary.difficultyText), "%s difficulty",
		DifficultyName(difficulty));
	return summary;
}

void GameProgress::Reset()
{
	currentMap = 0;
	previousMap = 0;
	mapRecords.clear();
	flags.clear();
	startMap = 0;
	playSeconds = 0;
	deaths = 0;
	respawnLevel = kDefaultDifficulty;
	difficulty = kDefaultDifficulty;
	lowestRespawnLevel = kNeverSavedLevel;
	lowestDifficulty = kNeverSavedLevel;
	waypoint = 0;
	stats = ::PlayerStats();
}

void GameProgress::ClampDifficulty()
{
	if (difficulty >= kDifficultyBrutal && respawnLevel == 0)
		respawnLevel = 1;
	if (difficulty == 0 && respawnLevel >= kDifficultyBrutal)
		respawnLevel = 0;
}

// --- The global record ---

GameProgress &GameProgress::Current()
{
	static GameProgress current;
	return current;
}

void GameProgress::SetFlag(const char *name, uint8_t on) { Current().SetFlagIn(HashName(name), on); }
void GameProgress::SetFlagId(uint16_t id, uint8_t on) { Current().SetFlagIn(id, on); }
bool GameProgress::Flag(const char *name) { return Current().HasFlag(HashName(name)); }
bool GameProgress::FlagId(uint16_t id) { return Current().HasFlag(id); }

void GameProgress::StoreMapState(const char *mapName, const uint8_t state[kMapStateSize])
{
	GameProgress &progress = Current();
	uint16_t id = HashName(mapName);
	if (id != progress.currentMap)
		progress.previousMap = progress.currentMap;
	progress.currentMap = id;

	for (MapRecord &record : progress.mapRecords) {
		if (record.id == id) {
			memcpy(record.state, state, kMapStateSize);
			return;
		}
	}
	MapRecord record;
	record.id = id;
	memcpy(record.state, state, kMapStateSize);
	progress.mapRecords.push_back(record);
}

void GameProgress::FetchMapState(const char *mapName, uint8_t out[kMapStateSize])
{
	uint16_t id = HashName(mapName);
	for (const MapRecord &record : Current().mapRecords) {
		if (record.id == id) {
			memcpy(out, record.state, kMapStateSize);
			return;
		}
	}
}

void GameProgress::SetCurrentMap(const char *name) { Current().currentMap = HashName(name); }
void GameProgress::SetPreviousMap(const char *name) { Current().previousMap = HashName(name); }

void GameProgress::SetPreviousMapIdAndSave(uint16_t id)
{
	Current().previousMap = id;
	SaveCurrentSlot();
}

void GameProgress::StorePlayerStats(const ::PlayerStats &source) { Current().stats = source; }

void GameProgress::PlayerStats(::PlayerStats &out)
{
	GameProgress &progress = Current();
	if (progress.stats.hearts == 0)
		progress.stats.hearts = kFreshHalfHearts;
	out = progress.stats;
}

void GameProgress::SetSpawnBytes(uint8_t xSpan, uint8_t ySpan)
{
	Current().exitSpan[0] = xSpan;
	Current().exitSpan[1] = ySpan;
}

void GameProgress::SpawnBytes(uint8_t &xSpan, uint8_t &ySpan)
{
	xSpan = Current().exitSpan[0];
	ySpan = Current().exitSpan[1];
}

void GameProgress::SetStartMap(uint16_t id) { Current().startMap = id; }
uint16_t GameProgress::StartMap() { return Current().startMap; }
void GameProgress::SetPendingValue(uint16_t id) { Current().pendingMap = id; }
uint16_t GameProgress::PendingValue() { return Current().pendingMap; }
void GameProgress::SetWaypoint(uint16_t id) { Current().waypoint = id; }
uint16_t GameProgress::Waypoint() { return Current().waypoint; }
void GameProgress::SetPlaySeconds(uint32_t seconds) { Current().playSeconds = seconds; }
uint32_t GameProgress::PlaySeconds() { return Current().playSeconds; }
void GameProgress::AddDeath() { Current().deaths++; }
uint16_t GameProgress::Deaths() { return Current().deaths; }

void GameProgress::SetDifficulty(uint32_t value)
{
	Current().difficulty = (uint8_t)value;
	Current().ClampDifficulty();
}

int GameProgress::Difficulty() { return Current().difficulty; }

void GameProgress::SetRespawnLevel(uint32_t level)
{
	Current().respawnLevel = (uint8_t)level;
	Current().ClampDifficulty();
}

int GameProgress::RespawnLevel() { return Current().respawnLevel; }
bool GameProgress::IsFresh() { return Current().currentMap == 0; }

void GameProgress::ResetGlobal()
{
	Current().Reset();
	keepSlotAs.clear();
	damagedSlots &= (uint8_t)~SlotBit(currentSaveSlot);
}

void GameProgress::Assign(const GameProgress &record) { Current() = record; }

void GameProgress::SetSaveSlot(uint8_t slot)
{
	LogDebug("Set save slot %d", (int)slot);
	currentSaveSlot = slot;
}

uint8_t GameProgress::SaveSlot() { return currentSaveSlot; }

// --- Save files ---

std::string GameProgress::SaveFileName(uint8_t slot)
{
	if (slot == kCurrentSaveSlot)
		slot = currentSaveSlot;
	char name[kSaveFileNameSize];
	snprintf(name, sizeof(name), "Save_%d.sav", slot + 1);
	if (saveFolder.empty())
		return ResolvePath(name);
	return ResolvePath(JoinPath(saveFolder.c_str(), name).c_str());
}

void GameProgress::SetSaveFolder(const char *folder)
{
	saveFolder = folder != nullptr ? folder : "";
	currentSlotPathOf = -1;
	keepSlotAs.clear();
	// What was found damaged was in the old folder.
	damagedSlots = 0;
}

bool GameProgress::Write(const char *path)
{
	LogDebug("Saving game to %s...\n", path);
	GameProgress &progress = Current();
	// The file holds the lowest difficulties as they are once it is written;
	// the record has them back as they were if it is not.
	const uint8_t lowestDifficulty = progress.lowestDifficulty;
	const uint8_t lowestRespawnLevel = progress.lowestRespawnLevel;
	progress.lowestDifficulty = std::min(progress.difficulty, lowestDifficulty);
	progress.lowestRespawnLevel = std::min(progress.respawnLevel, lowestRespawnLevel);

	SaveGame::EncodeInto(progress, saveBytes);
	if (!WriteFileAtomic(path, saveBytes.data(), saveBytes.size())) {
		progress.lowestDifficulty = lowestDifficulty;
		progress.lowestRespawnLevel = lowestRespawnLevel;
		Log("Error: Unable to save file! %s\n", strerror(errno));
		return false;
	}
	return true;
}

std::string GameProgress::SaveFolderPath()
{
	std::string folder = SaveFileName(0);
	const size_t slash = folder.find_last_of('/');
	return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

GameProgress::ReadResult GameProgress::ReadFileBytes(const std::string &fullPath, std::vector<uint8_t> &bytes)
{
	bytes.clear();
	FILE *file = fopen(fullPath.c_str(), "rb");
	if (file == nullptr) {
		if (errno == ENOENT)
			return ReadResult::Missing;
		Log("Couldn't read save %s: %s\n", fullPath.c_str(), strerror(errno));
		return ReadResult::Damaged;
	}
	uint8_t chunk[4096];
	size_t got;
	while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
		bytes.insert(bytes.end(), chunk, chunk + got);
	bool readError = ferror(file) != 0;
	fclose(file);
	if (readError) {
		Log("Couldn't read save %s: read error\n", fullPath.c_str());
		return ReadResult::Damaged;
	}
	return ReadResult::Loaded;
}

GameProgress::ReadResult GameProgress::ReadInto(GameProgress &record, const char *path)
{
	std::string fullPath = ResolvePath(path);
	std::vector<uint8_t> bytes;
	const ReadResult read = ReadFileBytes(fullPath, bytes);
	if (read == ReadResult::Missing)
		record.Reset();
	if (read != ReadResult::Loaded)
		return read;

	// Decoded into a copy so that a damaged file leaves the record whole.
	GameProgress decoded = record;
	decoded.Reset();
	if (!SaveGame::Decode(decoded, bytes.data(), bytes.size())) {
		Log("Couldn't read save %s: the file ends early\n", fullPath.c_str());
		return ReadResult::Damaged;
	}
	record = decoded;
	return ReadResult::Loaded;
}

GameProgress::ReadResult GameProgress::ReadSlotInto(GameProgress &record, uint8_t slot)
{
	if (slot == kCurrentSaveSlot)
		slot = currentSaveSlot;
	ReadResult result = ReadInto(record, SaveFileName(slot).c_str());
	if (result == ReadResult::Damaged)
		damagedSlots |= SlotBit(slot);
	else
		damagedSlots &= (uint8_t)~SlotBit(slot);
	return result;
}

bool GameProgress::Read(GameProgress &record, const char *path)
{
	return ReadInto(record, path) == ReadResult::Loaded;
}

bool GameProgress::ReadSlot(GameProgress &record, uint8_t slot)
{
	return ReadSlotInto(record, slot) == ReadResult::Loaded;
}

bool GameProgress::LoadFrom(const char *path)
{
	LogDebug("Loading save from %s...\n", path);
	return ReadInto(Current(), path) != ReadResult::Damaged;
}

bool GameProgress::LoadCurrentSlot()
{
	LogDebug("Loading save from %s...\n", SaveFileName(kCurrentSaveSlot).c_str());
	if (ReadSlotInto(Current(), kCurrentSaveSlot) == ReadResult::Damaged)
		return false;
	// The live game is the slot's own again: nothing of the slot is lost
	// when it is written.
	keepSlotAs.clear();
	return true;
}

bool GameProgress::SelectSlotAndLoad(uint8_t slot)
{
	SetSaveSlot(slot);
	return LoadCurrentSlot();
}

bool GameProgress::SaveCurrentSlot()
{
	if (currentSlotPathOf != currentSaveSlot) {
		currentSlotPath = SaveFileName(kCurrentSaveSlot);
		currentSlotPathOf = currentSaveSlot;
	}
	const std::string &path = currentSlotPath;
	if (damagedSlots & SlotBit(currentSaveSlot)) {
		Log("Save slot %d could not be read, so it is not overwritten: %s\n", currentSaveSlot + 1, path.c_str());
		return false;
	}
	if (!keepSlotAs.empty()) {
		if (!KeepSlotGame()) {
			Log("Save slot %d is not overwritten: its game could not be kept as %s.%s\n", currentSaveSlot + 1,
				keepSlotAs.c_str(), kSaveExtension);
			return false;
		}
		keepSlotAs.clear();
	}
	return Write(path.c_str());
}

void GameProgress::KeepSlotBeforeNextSave(const std::string &keptName)
{
	keepSlotAs = keptName;
}

bool GameProgress::KeepSlotGame()
{
	const std::string slotPath = SaveFileName(kCurrentSaveSlot);
	std::vector<uint8_t> bytes;
	const ReadResult read = ReadFileBytes(slotPath, bytes);
	if (read == ReadResult::Damaged)
		return false;
	if (read == ReadResult::Missing || bytes.empty())
		return true;
	// A slot holding a fresh game (as "Clear All Data" leaves it) has no
	// game to lose. Bytes that do not read as a game are kept all the same:
	// they may still be worth something to their player.
	GameProgress old;
	if (SaveGame::Decode(old, bytes.data(), bytes.size()) && old.currentMap == 0 && old.playSeconds == 0)
		return true;

	const std::string folder = SaveFolderPath();
	for (int copy = 1; copy <= kMaxKeptCopies; copy++) {
		std::string name = keepSlotAs;
		if (copy > 1)
			name += " " + std::to_string(copy);
		name += std::string(".") + kSaveExtension;
		const std::string path = JoinPath(folder.c_str(), name.c_str());
		// Whatever sits at the name already, or cannot be looked at, is
		// left alone.
		std::error_code error;
		if (std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found)
			continue;
		if (!WriteFileAtomic(path.c_str(), bytes.data(), bytes.size()))
			return false;
		LogDebug("Kept the game of save slot %d as %s\n", currentSaveSlot + 1, path.c_str());
		return true;
	}
	Log("No free name to keep save slot %d as %s in %s\n", currentSaveSlot + 1, keepSlotAs.c_str(), folder.c_str());
	return false;
}

bool GameProgress::EraseAllSlots()
{
	bool allWritten = true;
	for (uint8_t slot = 0; slot < kSaveSlotCount; slot++) {
		SetSaveSlot(slot);
		ResetGlobal();
		allWritten = Write(SaveFileName(slot).c_str()) && allWritten;
	}
	SetSaveSlot(0);
	LoadCurrentSlot();
	Settings::Instance().ResetAllAndSave();
	return allWritten;
}
