#pragma once

#include "map/CustomSequenceStep.h"

#include <cstdint>

// Celebrates the last letter: the HUD's letter row blinks, lit with a chime
// on every odd change and dark on every even one, a change every 300 ms,
// and the step is over after the seventh change (about two seconds).
class FlashLettersStep : public CustomSequenceStep {
public:
	static constexpr uint32_t kChangeMs = 300;
	static constexpr uint8_t kLastChange = 7;
	static constexpr const char *kChimeSound = "sfx/collectletter.wav";

	void Begin(ScriptWorld &world) override;
	// Also drives the blinking: it is polled every frame.
	bool IsFinished(ScriptWorld &world) override;

	uint8_t GetFlashCount() const { return flashCount; }

private:
	uint32_t startTime = 0; // play time in milliseconds
	uint8_t flashCount = 0;
};
