#pragma once

#include <cstdint>

// A player of tracker-music cues. The most recently built (or most recently
// asked for) player is the current one that the game's code reaches through
// Instance. So far it only keeps the muted switch; decks, cues and the audio
// device are not built yet.
class ModMusicPlayer {
public:
	ModMusicPlayer();
	virtual ~ModMusicPlayer();

	// The current player, or null before any exists.
	static ModMusicPlayer *Instance();

	void SetMuted(bool mute);
	bool IsMuted() const { return muted != 0; }

protected:
	static void MakeCurrent(ModMusicPlayer *player);

private:
	uint8_t muted = 0;
};
