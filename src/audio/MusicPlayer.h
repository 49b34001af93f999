#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "audio/ModMusicPlayer.h"

// Reads up to three numbers (start, end and loop order) from a cue's "music"
// text: within its first 16 characters a space moves on to the next number,
// digits build the current one (16 bits, wrapping) and anything else is
// skipped, so "4 6 2" gives 4, 6, 2 and "4  6" gives 4, 0, 6. Digits after a
// third space are ignored. Null outputs are skipped; a null or empty text
// changes nothing.
void ParseCueNumbers(const char *text, uint16_t *startOrder, uint16_t *endOrder, uint16_t *loopOrder);

// The game's one music player. It reads a cue list ("data/music.xml" or
// "data/music8.xml", whichever the settings choose), whose cues name a module,
// a range of its orders, a volume, the game flag that names and selects the
// cue and the map environment it belongs to; it plays cues by name and picks
// the music for a freshly loaded map from the game flags, the list's order
// being its priority. Switching lists frees the old list's modules.
class MusicPlayer : public ModMusicPlayer {
public:
	static constexpr uint16_t kInitialDefaultVolume = 300;

	// The single player, built on first use; every call makes it the current
	// ModMusicPlayer.
	static MusicPlayer *Instance();

	// Reads a cue list, unless it is the list read last time; a list that
	// failed to read is read again on the next call. Switching lists stops
	// the music.
	void LoadCues(const char *fileName);
	// The name LoadCues was last called with.
	const std::string &CueListName() const { return cueListName; }

	// A name beginning with a digit is read as cue numbers and plays that
	// range of deck 0's module (the first loaded module when deck 0 is
	// empty); any other name plays the cue of that name.
	bool PlayCueByName(const char *name) override;
	// Answers whether the game flag with this id is set. The game hands it
	// over, so that the music never needs to know where the flags are kept.
	using FlagTest = std::function<bool(uint16_t flagId)>;

	// Plays the first cue, in list order, whose game flag is set and whose
	// environment is any, unknown (0) or envKey; nothing changes when none is
	// (nor without a flag test).
	bool PlayForArea(uint16_t envKey, const FlagTest &isFlagSet);

	size_t CueCount() const;
	// The index of the first cue with deck 0's cue id; 0 when none.
	uint8_t CurrentCueIndex() const;
	// The id of cue number index; 0 past the end.
	uint16_t CueAt(uint8_t index) const;
	const MusicCue *GetCue(size_t index) const;
	uint16_t GetDefaultVolume() const { return defaultVolume; }

private:
	MusicPlayer() = default;
	~MusicPlayer() override = default;

	// Fills the lists from the file; false (after one log line) when it
	// cannot be read or has no cue list.
	bool ReadCueList(const char *fileName);

	uint16_t listKey = 0;
	uint16_t defaultVolume = kInitialDefaultVolume;
	std::string cueListName;
};
