#pragma once

#include <cstdint>

// The single sound-effect player. So far it only keeps the player's on/off
// choice; loading and playing effects through the mixer are not built yet.
class Sound {
public:
	static Sound *Instance();

	// Switches all sound effects off (true) or on (false).
	void SetDisabled(bool off);
	bool IsDisabled() const { return off != 0; }

private:
	Sound() = default;

	uint8_t off = 0;
};
