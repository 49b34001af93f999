// Sound effects, tracker modules and the music cue lists.
#include "fuzz/FuzzTargets.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "audio/Sound.h"

namespace {

// An effect read by the sound player's own loader, then played and halted.
int FuzzSound(const uint8_t *data, size_t size)
{
	Sound *sound = Sound::Instance();
	if (sound == nullptr || sound->IsDisabled())
		return 0;
	if (Mix_Chunk *chunk = Sound::LoadChunk(WriteFuzzFile("fuzz.wav", data, size).c_str())) {
		const int channel = Mix_PlayChannel(-1, chunk, 0);
		if (channel >= 0)
			Mix_HaltChannel(channel);
		Mix_FreeChunk(chunk);
	}
	return 0;
}

// A module through the music player: opened, played for a moment on the
// player's own device, stopped.
int FuzzModule(const uint8_t *data, size_t size)
{
	ModMusicPlayer player;
	player.PlayModule(WriteFuzzFile("fuzz.it", data, size).c_str());
	player.Update(0.05f);
	SDL_Delay(1);
	player.Stop();
	return 0;
}

// The game's player reads a list again only under another name, so the
// inputs take two names in turn.
int FuzzMusicCues(const uint8_t *data, size_t size)
{
	static bool other = false;
	other = !other;
	MusicPlayer *player = MusicPlayer::Instance();
	player->LoadCues(WriteFuzzFile(other ? "music_b.xml" : "music_a.xml", data, size).c_str());
	player->PlayCueByName("start");
	player->Stop();
	return 0;
}

}

void AddAudioFuzzTargets(std::vector<FuzzTarget> &targets)
{
	targets.push_back({"sound", FuzzSound, "sfx", ".wav", 256 << 10, false, "sound.dict"});
	targets.push_back({"module", FuzzModule, "data", ".it", 512 << 10, false, "module.dict"});
	targets.push_back({"musiccues", FuzzMusicCues, "data", "music.xml", 32 << 10, false, "xml.dict"});
}
