#pragma once

#include "map/CustomSequenceStep.h"

#include <cstdint>

// Shows the HUD's row of found letters and gives the player a moment to see
// it before the next step.
class ShowLettersStep : public CustomSequenceStep {
public:
	static constexpr uint32_t kShowMs = 800; // play time before the step is over

	void Begin(ScriptWorld &world) override;
	bool IsFinished(ScriptWorld &world) override;

private:
	uint32_t startTime = 0; // play time in milliseconds
};
