#pragma once

#include "engine/core/Sequence.h"

#include <cstdint>
#include <memory>
#include <vector>

class CustomSequenceStep;
class ScriptWorld;

// A sequence that game code builds from steps instead of a map script: a
// found collectable's messages and rewards, one after the other, while the
// rest of the game waits as for any running script. Each step runs until it
// says it is finished; the runner then resumes the sequence, which begins
// the next step. The sequence owns its steps; the world it is given (the
// hero and the world's sounds) is not owned and must outlive it, and the
// HUD and the play clock are the game's, through the map layer's game link.
class CustomSequence : public Sequence {
public:
	// Null world: the quiet one (nothing given).
	explicit CustomSequence(ScriptWorld *world = nullptr);
	~CustomSequence() override;

	// The sequence takes the step; null is ignored.
	void AddStep(std::unique_ptr<CustomSequenceStep> step);

	void Start() override;
	void Resume() override;
	// True past the last step, else when the current step is finished.
	bool IsReadyToResume() override;

	size_t GetStepCount() const { return steps.size(); }
	uint64_t GetCurrent() const { return current; }

private:
	// Begins the current step (state 2), or ends the sequence (state 3)
	// when none is left.
	void BeginCurrent();

	ScriptWorld *world;
	std::vector<std::unique_ptr<CustomSequenceStep>> steps;
	uint64_t current = 0;
};
