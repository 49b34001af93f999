#include "audio/Sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cmath>
#include <vector>

#include "audio/SoundFileCheck.h"
#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/MathUtil.h"
#include "engine/core/NameHash.h"
#include "engine/core/LoadClock.h"

namespace {

constexpr int kMixerFrequency = 44100;    // samples per second
constexpr int kMixerOutputChannels = 2;   // stereo
constexpr int kMixerBufferSamples = 512;  // sample frames per mixer buffer

constexpr int kPanCentre = 127;           // gain on the right at pan 0
constexpr int kPanFullGain = 255;         // the mixer's largest panning gain

constexpr float kPlacementBoost = 1.3f;       // level of an effect right at the listener
constexpr float kFalloffDistance = 20.0f;     // world units over which the level falls by 1
constexpr float kFalloffStart = 1.3f;         // unclamped level at distance 0, before the boost
constexpr float kFalloffFloor = 0.3f;         // the level never falls below this, before the boost
constexpr float kPanPerUnit = 0.05f;          // pan per world unit of sideways offset

constexpr Sint64 kMaxSoundFileSize = 16 << 20; // bytes of the longest effect file read

uint32_t SdlTicks()
{
	return SDL_GetTicks();
}

// The game's own line, word for word, then why on a line of its own when the
// reason is known.
void LogLoadFailure(const char *fileName, const char *reason)
{
	Log("Can't load file %s\n", fileName);
	if (reason != nullptr && reason[0] != '\0')
		Log("%s\n", reason);
}

// The whole file, or nothing (with why) when it cannot be read.
bool ReadSoundFile(const char *fileName, std::vector<uint8_t> &bytes, const char **reason)
{
	SDL_RWops *stream = OpenFile(fileName, "rb");
	if (stream == nullptr) {
		*reason = nullptr; // a missing file: the name says it all
		return false;
	}
	// A folder opens like a file here, but its size reads as the largest
	// number there is, or as nothing.
	const Sint64 size = SDL_RWsize(stream);
	bool read = size > 0 && size <= kMaxSoundFileSize;
	if (read) {
		bytes.resize((size_t)size);
		read = ReadFileData(stream, bytes.data(), 1, bytes.size()) == bytes.size();
	}
	CloseFile(stream);
	if (!read)
		*reason = "the file cannot be read whole";
	return read;
}

}

Sound *Sound::Instance()
{
	static Sound sound;
	return &sound;
}

Sound::Sound()
{
	SetClock(nullptr);
	if (!OpenOutput())
		off = 1;
}

Sound::~Sound()
{
	HaltAll();
	for (SoundEntry &entry : entries) {
		Mix_FreeChunk(entry.chunk);
		entry.chunk = nullptr;
	}
	entries.clear();
}

bool Sound::OpenOutput()
{
	if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
		CriticalError("Couldn't init audio: %s\n", SDL_GetError());
		return false;
	}
	if (Mix_OpenAudio(kMixerFrequency, AUDIO_S16LSB, kMixerOutputChannels, kMixerBufferSamples) != 0) {
		CriticalError("Unable to open audio: %s\n", Mix_GetError());
		return false;
	}
	// From here on the mixer is open, even if the channels below fall short:
	// plays then simply find fewer channels.
	outputOpen = 1;
	if (Mix_AllocateChannels(kMixChannels) != kMixChannels) {
		CriticalError("Unable to allocate mixing channels: %s\n", Mix_GetError());
		return false;
	}
	return true;
}

void Sound::SetClock(TickFunction ticks)
{
	tickFunction = ticks != nullptr ? ticks : &SdlTicks;
}

Mix_Chunk *Sound::LoadChunk(const char *fileName)
{
	LoadClock::Timing timing(LoadClock::kSounds);
	if (fileName == nullptr) {
		Log("Can't load file (null)\n");
		return nullptr;
	}
	// The mixer's loader is handed only whole files of the game's formats:
	// it trusts the lengths a file declares.
	std::vector<uint8_t> bytes;
	const char *reason = nullptr;
	if (!ReadSoundFile(fileName, bytes, &reason) || !IsWholeSoundFile(bytes.data(), bytes.size(), &reason)) {
		LogLoadFailure(fileName, reason);
		return nullptr;
	}
	SDL_RWops *stream = SDL_RWFromConstMem(bytes.data(), (int)bytes.size());
	if (stream == nullptr) {
		LogLoadFailure(fileName, SDL_GetError());
		return nullptr;
	}
	// Closed here, not by the mixer's loader: asked to close it, the loader
	// leaves it open on some files too short to name their format.
	Mix_Chunk *chunk = Mix_LoadWAV_RW(stream, 0);
	CloseFile(stream);
	if (chunk == nullptr)
		LogLoadFailure(fileName, Mix_GetError());
	return chunk;
}

SoundEntry *Sound::FindOrLoad(const char *fileName)
{
	if (fileName != nullptr) {
		const uint16_t key = HashName(fileName);
		for (SoundEntry &entry : entries)
			if (entry.key == key)
				return &entry;
	}
	Mix_Chunk *chunk = LoadChunk(fileName); // a null name too is refused there, logged
	if (chunk == nullptr)
		return nullptr;
	entries.push_back(SoundEntry{HashName(fileName), chunk, 0});
	return &entries.back();
}

uint8_t Sound::MixerVolume(float volume)
{
	if (std::isnan(volume) || volume <= 0.0f)
		return 0;
	if (volume > 1.0f)
		return kMaxMixerVolume;
	return (uint8_t)(int)(kMaxMixerVolume * volume);
}

void Sound::PanGains(float pan, uint8_t &left, uint8_t &right)
{
	if (std::isnan(pan))
		pan = 0.0f;
	const int p = (int)(kPanCentre + kPanCentre * Clamp(pan, -1.0f, 1.0f));
	left = (uint8_t)(kPanFullGain - p);
	right = (uint8_t)p;
}

SoundPlacement Sound::PlaceInWorld(const Camera *camera, const float *position, float volume)
{
	SoundPlacement placement;
	placement.volume = volume;
	if (camera == nullptr || position == nullptr || !camera->HasPosition())
		return placement;

	Vec3 offset = Vec3(position[0], position[1], position[2]) - camera->GetPosition();
	offset.y = 0.0f;
	const float distance = glm::length(offset);
	const Vec3 right = camera->transform.GetRight();
	// Only the x components take part: the game's cameras look along the map
	// without turning far, so the x axis is where left and right lie.
	placement.pan = Clamp(kPanPerUnit * right.x * offset.x, -1.0f, 1.0f);
	const float attenuation = Clamp(kFalloffStart - distance / kFalloffDistance, kFalloffFloor, 1.0f) * kPlacementBoost;
	placement.volume = volume * attenuation;
	return placement;
}

uint8_t Sound::Play(const char *fileName, float volume, float pan, uint16_t flags)
{
	if (off != 0)
		return 0;
	// A mixer that never opened cannot load or play anything; asking it again
	// on every play would only repeat the same failure in the log.
	if (outputOpen == 0)
		return 0;
	SoundEntry *entry = FindOrLoad(fileName); // logs why when it loads nothing
	if (entry == nullptr)
		return 0;

	const uint32_t now = tickFunction();
	if (now - entry->lastStart < kRestartGuardMs)
		return 0;
	entry->lastStart = now;

	const uint8_t rotation = nextChannel;
	nextChannel = (uint8_t)((rotation + 1) % kRotationChannels);
	const int channel = (flags & kPlayOnReservedChannel) != 0 ? kReservedChannel : rotation;

	Mix_HaltChannel(channel);
	const uint8_t mixerVolume = MixerVolume(volume);
	uint8_t left = 0;
	uint8_t right = 0;
	PanGains(pan, left, right);
	Mix_Volume(channel, mixerVolume);
	Mix_SetPanning(channel, left, right);
	Mix_PlayChannel(channel, entry->chunk, 0);
	return mixerVolume;
}

uint8_t Sound::PlayAt(const char *fileName, const float *position, float volume)
{
	const SoundPlacement placement = PlaceInWorld(Camera::Get(), position, volume);
	return Play(fileName, placement.volume, placement.pan, 0);
}

void Sound::SetDisabled(bool disabled)
{
	off = disabled ? 1 : 0;
	if (!disabled)
		HaltAll();
}

void Sound::HaltAll()
{
	if (outputOpen != 0)
		Mix_HaltChannel(-1);
}
