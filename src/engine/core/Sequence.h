#pragma once

#include <cstdint>

class Entity;

// A scripted stretch of play that runs over several frames: a conversation,
// a prompt, an actor walking somewhere. The engine runs one at a time (see
// ActiveSequence.h), which owns it: it starts it, polls it each frame,
// resumes it when it is ready or when the player answers, and ends and
// deletes it. Subclasses say what the sequence does.
class Sequence {
public:
	// Values of state.
	static constexpr int32_t kStateCreated = 0;
	static constexpr int32_t kStateRunning = 1; // polled each frame, resumed when ready
	static constexpr int32_t kStateWaiting = 2; // waits for the player to answer
	static constexpr int32_t kStateDone = 3;
	static constexpr int32_t kStateFailed = 4;  // ended early or failed

	Sequence() = default;
	virtual ~Sequence();

	Sequence(const Sequence &) = delete;
	Sequence &operator=(const Sequence &) = delete;

	virtual void Start() = 0;
	// Called before the sequence is dropped. Nothing here.
	virtual void End();
	// Continues the sequence. Nothing here.
	virtual void Resume();
	// True when a running sequence may be resumed now. Never here.
	virtual bool IsReadyToResume();
	// The entity the sequence is about, for the camera; none here.
	virtual Entity *GetSourceEntity();

	// True while some sequence is carrying out its commands. A sequence that
	// is started meanwhile (a trigger that fires when the running script
	// kills the last enemy) must not run its own commands inside the other's:
	// it waits for the next poll instead.
	static bool IsAnyInProgress();

	int32_t state = kStateCreated;

protected:
	// Held on the stack by a sequence while it carries out commands.
	class ProgressScope {
	public:
		ProgressScope();
		~ProgressScope();
		ProgressScope(const ProgressScope &) = delete;
		ProgressScope &operator=(const ProgressScope &) = delete;
	};

private:
	static int progressDepth;
};
