#pragma once

class ScriptWorld;

// One step of a custom sequence: something the game shows or gives, then a
// test polled each frame until the step has run its course. The sequence
// owns its steps and deletes them through this base; steps hold no
// resources, only pointers to what others own.
class CustomSequenceStep {
public:
	virtual ~CustomSequenceStep() = default;

	virtual void Begin(ScriptWorld &world) = 0;
	// True once the next step may begin. At once here.
	virtual bool IsFinished(ScriptWorld &world)
	{
		(void)world;
		return true;
	}
};
