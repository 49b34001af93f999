#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class GameProgress;

// The layout of a save-game file: the progress record as little-endian
// fixed-width fields, tagged "v101". Files of the older, untagged layout
// (32 state bytes per map, the waypoint optional) are still read and mark the
// game as original content. Only bytes pass through here; opening, writing
// and choosing the slot are the progress record's.
class SaveGame {
public:
	// The bytes of record in the current layout, exactly as they go to disk.
	static std::vector<uint8_t> Encode(const GameProgress &record);
	// The same bytes written over out, whose storage is used again when it
	// is large enough.
	static void EncodeInto(const GameProgress &record, std::vector<uint8_t> &out);
	// Fills record (already reset by the caller) from the bytes of either
	// layout. False when the bytes end before the record does, including a
	// count of maps or flags that overruns them; record is then partly filled
	// and must not be used.
	static bool Decode(GameProgress &record, const uint8_t *data, size_t size);
};
