#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>

// The sounds that props, pickups, doors, switches and the fireplace make, in
// one place: they go to the sound player, and a test may listen to them
// instead (a listener hears every sound and nothing plays). The listener is
// not owned.
class WorldSound {
public:
	class Listener {
	public:
		virtual ~Listener() = default;
		virtual void Heard(const char *fileName, float volume) = 0;
	};

	// Null goes back to the sound player.
	static void SetListener(Listener *listener);
	static void Play(const char *fileName, float volume, uint16_t flags);
	// Heard from the position through the current camera.
	static void PlayAt(const char *fileName, const Vec3 &position, float volume);
};
