#pragma once

#include "map/CustomSequenceStep.h"

#include <cstddef>

// Shows a plain message for three seconds and waits until the player has
// read it (the HUD neither busy nor showing it). An empty text shows nothing
// and is over at once. The text is copied; a longer one is cut.
class SayMessageStep : public CustomSequenceStep {
public:
	static constexpr size_t kTextChars = 255; // kept of the text, terminator apart
	static constexpr float kSeconds = 3.0f;

	// Null is the empty text.
	explicit SayMessageStep(const char *text);

	void Begin(ScriptWorld &world) override;
	bool IsFinished(ScriptWorld &world) override;

	const char *GetText() const { return text; }

private:
	char text[kTextChars + 1] = {};
};
