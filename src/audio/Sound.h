#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Mix_Chunk;
class Camera;

// One loaded sound effect, found again by the name hash of the file name the
// caller gave. The sample stays loaded until the player goes at exit.
struct SoundEntry {
	uint16_t key = 0;
	Mix_Chunk *chunk = nullptr;
	uint32_t lastStart = 0; // millisecond tick of the last start; 0 until first played
};

// The level and stereo position at which an effect placed in the world is
// heard from the current camera.
struct SoundPlacement {
	float volume = 0.0f;
	float pan = 0.0f; // -1 left, 0 centre, 1 right
};

// The process-wide player of short sound effects (WAV and OGG files under
// "sfx"). It opens the mixer once, loads each file the first time it is asked
// for and keeps it, and plays effects on a rotation of fifteen mixer channels
// with a volume and a stereo pan; a sixteenth channel is kept for plays that
// ask for it. Music never plays here: the tracker player has its own device.
// All calls come from the main thread; the mixer mixes on its own thread.
class Sound {
public:
	using TickFunction = uint32_t (*)();

	static constexpr int kMixChannels = 16;
	static constexpr uint8_t kRotationChannels = 15;        // channels 0..14 take turns
	static constexpr int kReservedChannel = 15;              // only for plays with kPlayOnReservedChannel
	static constexpr uint16_t kPlayOnReservedChannel = 0x1; // Play flag
	static constexpr uint32_t kRestartGuardMs = 60;          // the same file never restarts sooner
	static constexpr int kMaxMixerVolume = 128;

	// The single player, created (and the mixer opened) on first use.
	static Sound *Instance();

	// Plays an effect once. volume 0..1 (clamped as MixerVolume says), pan -1
	// (left) to 1 (right). Returns the mixer volume used (0..128); 0 also when
	// nothing was played: effects off, the file missing, or the same file
	// started less than 60 ms ago.
	uint8_t Play(const char *fileName, float volume, float pan, uint16_t flags);
	// Plays an effect heard from a world position (three floats) through the
	// current camera; returns as Play.
	uint8_t PlayAt(const char *fileName, const float *position, float volume);

	// Switching effects back on also stops everything still sounding.
	void SetDisabled(bool off);
	bool IsDisabled() const { return off != 0; }
	// Stops all sixteen channels at once.
	void HaltAll();

	// False when the mixer could not be opened; nothing ever plays then.
	bool IsOutputOpen() const { return outputOpen != 0; }
	uint8_t GetNextChannel() const { return nextChannel; }
	size_t GetEntryCount() const { return entries.size(); }
	// Null puts back SDL's millisecond clock.
	void SetClock(TickFunction ticks);

	// 0 for volume <= 0, 128 above 1, else 128 x volume truncated.
	static uint8_t MixerVolume(float volume);
	// The mixer's per-side gains for a pan: p = 127 + 127 x clamp(pan, -1, 1)
	// truncated, left = 255 - p, right = p (so pan 0 is 128 left, 127 right).
	static void PanGains(float pan, uint8_t &left, uint8_t &right);
	// The volume and pan of an effect at position as heard by camera: the
	// horizontal distance to the camera's listening point lowers the level
	// from 1.3 x volume down to 0.39 x volume at 20 units and beyond, and the
	// pan follows the camera's right axis. Without a camera or listening point
	// the volume passes unchanged and the effect sits in the centre.
	static SoundPlacement PlaceInWorld(const Camera *camera, const float *position, float volume);

	// Reads one effect file into a mixer sample (the caller frees it with
	// Mix_FreeChunk); null, with a log line naming the file and why, when it
	// cannot be read or is not a whole WAV or Ogg Vorbis file.
	static Mix_Chunk *LoadChunk(const char *fileName);

private:
	Sound();
	// Stops every channel and frees the loaded samples; the mixer stays open
	// until the process ends.
	~Sound();
	Sound(const Sound &) = delete;
	Sound &operator=(const Sound &) = delete;

	bool OpenOutput();
	// The entry for the name, loading the file on first use; null (logged)
	// when it cannot be loaded (nothing is stored, so a later play tries again).
	SoundEntry *FindOrLoad(const char *fileName);

	std::vector<SoundEntry> entries;
	uint8_t nextChannel = 0;
	uint8_t off = 0;
	uint8_t outputOpen = 0;
	TickFunction tickFunction = nullptr;
};
