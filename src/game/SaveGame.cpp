#include "game/SaveGame.h"

#include <algorithm>
#include <cstring>

#include "engine/core/NameHash.h"
#include "game/GameProgress.h"

constexpr uint8_t kMaxStoredCapacityLevel = 10; // a higher level in a file is damage
constexpr uint8_t kRepairedCapacityLevel = 1;   // what such a level is read as
constexpr size_t kOldMapStateSize = 32;         // state bytes per map in the old layout
constexpr size_t kMapRecordFileSize = 2 + kMapStateSize;
constexpr size_t kFixedSaveSize = 36;           // bytes of a save without maps or flags

static uint16_t SaveTag() { return HashName("v101"); }
static uint16_t WayTag() { return HashName("way"); }

// Little-endian fixed-width fields appended to a byte buffer.
static void PutU8(std::vector<uint8_t> &out, uint8_t value) { out.push_back(value); }

static void PutU16(std::vector<uint8_t> &out, uint16_t value)
{
	out.push_back((uint8_t)(value & 0xFF));
	out.push_back((uint8_t)(value >> 8));
}

static void PutU32(std::vector<uint8_t> &out, uint32_t value)
{
	PutU16(out, (uint16_t)(value & 0xFFFF));
	PutU16(out, (uint16_t)(value >> 16));
}

// Little-endian fixed-width fields taken from a file's bytes; every take
// checks the length first, and once one fails all later ones fail too.
struct SaveReader {
	const uint8_t *data;
	size_t size;
	size_t pos = 0;
	bool ok = true;

	size_t Remaining() const { return size - pos; }

	bool Take(void *out, size_t count)
	{
		if (!ok || count > Remaining()) {
			ok = false;
			return false;
		}
		memcpy(out, data + pos, count);
		pos += count;
		return true;
	}

	uint8_t U8()
	{
		uint8_t value = 0;
		Take(&value, 1);
		return value;
	}

	uint16_t U16()
	{
		uint8_t bytes[2] = {0, 0};
		Take(bytes, 2);
		return (uint16_t)(bytes[0] | (bytes[1] << 8));
	}

	uint32_t U32()
	{
		uint16_t low = U16();
		uint16_t high = U16();
		return (uint32_t)low | ((uint32_t)high << 16);
	}

	// Refuses a count of records that cannot fit in what is left, before
	// anything is allocated for them.
	bool Fits(size_t count, size_t recordSize)
	{
		if (ok && count * recordSize > Remaining())
			ok = false;
		return ok;
	}
};

std::vector<uint8_t> SaveGame::Encode(const GameProgress &record)
{
	std::vector<uint8_t> out;
	EncodeInto(record, out);
	return out;
}

void SaveGame::EncodeInto(const GameProgress &record, std::vector<uint8_t> &out)
{
	out.clear();
	out.reserve(kFixedSaveSize + kMapRecordFileSize * record.mapRecords.size() + 2 * record.flags.size());
	PutU16(out, SaveTag());
	PutU16(out, record.currentMap);
	PutU16(out, record.previousMap);
	PutU16(out, (uint16_t)record.mapRecords.size());
	for (const MapRecord &map : record.mapRecords) {
		PutU16(out, map.id);
		out.insert(out.end(), map.state, map.state + kMapStateSize);
	}
	PutU16(out, WayTag());
	PutU16(out, record.waypoint);
	PutU16(out, (uint16_t)record.flags.size());
	for (uint16_t id : record.flags)
		PutU16(out, id);
	PutU8(out, record.stats.hearts);
	PutU8(out, record.stats.maxHearts);
	PutU8(out, record.stats.weight);
	PutU8(out, record.stats.capacityLevel);
	PutU32(out, record.stats.heldKind);
	PutU8(out, record.exitSpan[0]);
	PutU8(out, record.exitSpan[1]);
	PutU16(out, record.startMap);
	PutU32(out, record.playSeconds);
	PutU16(out, record.deaths);
	PutU8(out, record.difficulty);
	PutU8(out, record.respawnLevel);
	PutU8(out, record.lowestDifficulty);
	PutU8(out, record.lowestRespawnLevel);
}

bool SaveGame::Decode(GameProgress &record, const uint8_t *data, size_t size)
{
	SaveReader in{data, size};

	uint16_t first = in.U16();
	bool currentLayout = first == SaveTag();
	record.currentMap = currentLayout ? in.U16() : first;
	record.previousMap = in.U16();

	uint16_t mapCount = in.U16();
	size_t stateSize = currentLayout ? (size_t)kMapStateSize : kOldMapStateSize;
	if (!in.Fits(mapCount, 2 + stateSize))
		return false;
	record.mapRecords.clear();
	for (uint16_t i = 0; i < mapCount; i++) {
		MapRecord map;
		map.id = in.U16();
		in.Take(map.state, stateSize);
		record.mapRecords.push_back(map);
	}

	// The old layout had no waypoint at first, so its flag count may sit
	// where the "way" tag is now.
	uint16_t marker = in.U16();
	uint16_t flagCount;
	if (currentLayout || marker == WayTag()) {
		record.waypoint = in.U16();
		flagCount = in.U16();
	} else {
		flagCount = marker;
	}
	if (!in.Fits(flagCount, 2))
		return false;
	for (uint16_t i = 0; i < flagCount; i++) {
		uint16_t id = in.U16();
		if (std::find(record.flags.begin(), record.flags.end(), id) == record.flags.end())
			record.flags.push_back(id);
	}
	if (!currentLayout) {
		record.SetFlagIn(HashName(kOriginalMapsFlag), 1);
		record.SetFlagIn(HashName(kOriginalContentFlag), 1);
	}

	record.stats.hearts = in.U8();
	record.stats.maxHearts = in.U8();
	record.stats.weight = in.U8();
	record.stats.capacityLevel = in.U8();
	record.stats.heldKind = in.U32();
	if (record.stats.capacityLevel > kMaxStoredCapacityLevel)
		record.stats.capacityLevel = kRepairedCapacityLevel;
	record.exitSpan[0] = in.U8();
	record.exitSpan[1] = in.U8();
	record.startMap = in.U16();
	record.playSeconds = in.U32();
	record.deaths = in.U16();
	record.difficulty = in.U8();
	record.respawnLevel = in.U8();
	record.lowestDifficulty = in.U8();
	record.lowestRespawnLevel = in.U8();
	return in.ok;
}
