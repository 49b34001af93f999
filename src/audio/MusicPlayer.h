#pragma once

#include <string>

#include "audio/ModMusicPlayer.h"

// The game's one music player, which plays the cues of the game's cue list.
// So far it only remembers which cue list it was asked for; reading the list
// and playing from it are not built yet.
class MusicPlayer : public ModMusicPlayer {
public:
	// The single player, built on first use; every call makes it the current
	// ModMusicPlayer.
	static MusicPlayer *Instance();

	// The cue list file to play from ("data/music.xml" or "data/music8.xml").
	void LoadCues(const char *fileName);
	const std::string &CueListName() const { return cueListName; }

private:
	MusicPlayer() = default;

	std::string cueListName;
};
