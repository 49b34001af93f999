#pragma once

#include <SDL.h>
#include <libmodplug/modplug.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// One music cue: a range of orders of one module, with the order it loops
// back to. Names are kept as 16-bit name hashes. A default cue is all zeros.
struct MusicCue {
	uint16_t id = 0;         // name hash of the cue's name; 0 = unnamed
	uint16_t module = 0;     // name hash of the module file it plays
	uint16_t env = 0;        // name hash of the environment it belongs to; 0 = any
	uint16_t startOrder = 0;
	uint16_t endOrder = 0;   // 0 = no end, the module plays on
	uint16_t loopOrder = 0;  // 0 = loop back to the start order
	uint8_t persistent = 0;  // a persistent main cue refuses overlay cues
};

// One loaded module file. The libmodplug module is null when the library
// refused the file's data; such a module never reaches a deck.
struct MusicModule {
	uint16_t key = 0;        // name hash of the file name as the caller spelled it
	ModPlugFile *file = nullptr;
	uint16_t volume = 480;   // libmodplug master volume when one of its cues starts
};

// What one deck plays. Deck 0 holds the main cue (the area's music), deck 1
// the overlay that replaces it for a while (the fight music).
struct MusicDeck {
	uint32_t rendered = 0;   // bytes rendered since the cue started or last looped
	uint16_t order = 0;      // the module's order after the last rendering
	uint16_t row = 0;        // the module's row at the last loop-back
	MusicCue cue;            // a copy, its loop order filled in with the start order when 0
	MusicModule *module = nullptr; // null = the deck is empty
};

// A player of tracker-music modules on an SDL audio device of its own, apart
// from the sound-effect mixer. Music comes as cues on two decks: the main cue
// on deck 0 and an overlay cue on deck 1 that silences it until the overlay
// ends, after which deck 0 goes on where it was. The player can also pause for
// a few seconds (a fanfare played as an effect), be muted from the settings,
// and play a whole module file. The device's callback renders the top deck on
// SDL's audio thread; every change the main thread makes to the decks, seeks,
// volumes and flags happens with the device locked, so the callback always
// sees a whole change. The most recently built (or asked for) player is the
// current one, reached through Instance; only the current player sounds.
// Modules stay loaded until ReleaseModules or the player's end, and the
// device is closed before anything it reads is freed.
class ModMusicPlayer {
public:
	static constexpr int kDeckCount = 2;
	static constexpr int kMainDeck = 0;
	static constexpr int kOverlayDeck = 1;
	static constexpr uint16_t kDefaultModuleVolume = 480;

	ModMusicPlayer();
	virtual ~ModMusicPlayer();
	ModMusicPlayer(const ModMusicPlayer &) = delete;
	ModMusicPlayer &operator=(const ModMusicPlayer &) = delete;

	// The current player, or null before any exists.
	static ModMusicPlayer *Instance();

	// Plays the named cue on deck 0; false (with log lines) when there is no
	// such cue or it cannot start.
	virtual bool PlayCueByName(const char *name);
	// Starts the top deck again at the saved order.
	virtual void Resume();

	// Plays a cue on deck 0. A cue whose start lies inside the range deck 0
	// already plays of the same module takes over only the end and loop
	// orders, without a jump. False when muted, null or its module is missing.
	bool PlayCue(const MusicCue *cue);
	// Plays a cue on deck 1 over the main cue; refused under a persistent
	// main cue and while muted.
	bool PlayOverlayCue(const MusicCue *cue);
	// Plays a whole module file on deck 0 from its first order, with no end.
	void PlayModule(const char *fileName);

	const MusicCue *FindCue(const char *name);
	const MusicCue *FindCueById(uint16_t id);
	// As FindCue, without log lines; id 0 is never found.
	bool HasCue(const char *name) const;
	bool HasCueId(uint16_t id) const;

	// Runs the pause timer; called once per frame with the frame time.
	void Update(float seconds);
	// Scales deck 0's module volume (0.3 behind menus, 1.0 to restore).
	void SetVolume(float factor);
	void Pause();
	// Pauses now and resumes by itself after the given seconds of Update.
	void PauseFor(float seconds);
	// Deck 0 holds a module and its cue is persistent.
	bool IsMainCueExclusive() const;
	// Empties both decks and pauses the device.
	void Stop();
	void EndOverlayCue();
	// Muting pauses; unmuting resumes the top deck.
	void SetMuted(bool mute);
	bool IsMuted() const { return muted != 0; }

	// The id of deck 0's cue; 0 when empty.
	uint16_t CurrentCueId() const;

	// A copy of a deck, taken with the device locked.
	MusicDeck GetDeck(int deck) const;
	bool IsPlaying() const { return playing != 0; }
	uint8_t GetSavedOrder() const { return savedOrder; }
	SDL_AudioDeviceID GetDevice() const { return device; }
	size_t GetModuleCount() const { return modules.size(); }
	const MusicModule *GetModule(size_t index) const;

	// The device's callback. It renders the player given as userdata into
	// the buffer when that player is the current one, is not muted, the game
	// is running and the top deck holds a playable module; everything it
	// does not render is silence.
	static void SDLCALL AudioCallback(void *userdata, Uint8 *stream, int length);

	// How many bytes at the head of a buffer of `length` stay as rendered when
	// the module has gone past its cue's end; the rest belongs to the order
	// after the end and is rendered again from the loop order. rendered is the
	// deck's count since its cue started or looped, row the module's row, and
	// a row lasts a quarter beat at tempo beats a minute. Always whole sample
	// frames; the whole buffer when the tempo or the row size is 0.
	static uint32_t LoopKeepBytes(uint32_t length, uint32_t rendered, uint32_t row, int tempo, uint32_t frequency,
		uint32_t channels);

protected:
	static void MakeCurrent(ModMusicPlayer *player);

	// The module loaded from the file, loading it on first use; null when the
	// file cannot be read. The audio device opens with the first load.
	MusicModule *OpenModule(const char *fileName);
	// Empties both decks and frees every loaded module (the cue list that
	// named them is being replaced).
	void ReleaseModules();
	std::vector<MusicCue> &Cues() { return cues; }
	const std::vector<MusicCue> &Cues() const { return cues; }
	// The module that cue numbers without a file name refer to: deck 0's,
	// else the first loaded one; null when none is loaded.
	const MusicModule *DefaultModule() const;

private:
	// Holds the device's lock for one change; nothing when the device is closed.
	class DeviceLock {
	public:
		explicit DeviceLock(SDL_AudioDeviceID id);
		~DeviceLock();
		DeviceLock(const DeviceLock &) = delete;
		DeviceLock &operator=(const DeviceLock &) = delete;

	private:
		SDL_AudioDeviceID lockedDevice;
	};

	bool OpenDevice();
	MusicModule *FindModule(uint16_t key) const;
	// Deck 1 when it holds a module, else deck 0 when it does; null otherwise.
	MusicDeck *TopDeck();
	const MusicDeck *TopDeck() const;
	bool IsCueInDeck(int deck, const MusicCue &cue) const;
	bool LoadCueIntoDeck(int deck, const MusicCue &cue);
	void SeekDeck(MusicDeck &deck, uint16_t order);
	void PauseDevice(bool pause);
	// The order that a resume after a pause goes back to.
	uint8_t OrderToSave() const;
	void PauseUnlocked();
	void EndOverlayUnlocked();
	void Render(Uint8 *stream, uint32_t length);

	MusicDeck decks[kDeckCount];
	uint8_t playing = 0;
	std::vector<std::unique_ptr<MusicModule>> modules; // stable addresses: decks point at them
	std::vector<MusicCue> cues;
	float pauseTimer = 0.0f; // seconds; 0 = not pausing
	uint8_t savedOrder = 0;
	SDL_AudioDeviceID device = 0;
	std::unique_ptr<SDL_AudioSpec> obtainedSpec;
	uint8_t muted = 0;

	static std::atomic<ModMusicPlayer *> currentPlayer;
};
