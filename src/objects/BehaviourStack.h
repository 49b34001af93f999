#pragma once

#include "objects/ActorBehaviour.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The stack of behaviours an actor owns; the last one is on top. A behaviour
// leaves it by being popped or by the whole stack being cleared, and is freed
// then, unless a call into one of the behaviours is under way (a behaviour
// may clear the stack from inside its own update): then it is parked and
// freed when the outermost call returns. Either way it is marked released at
// once, so a script waiting on it sees it finished.
class BehaviourStack {
public:
	// Marks a stretch of code that calls into the behaviours.
	class Call {
	public:
		explicit Call(BehaviourStack &stack) : stack(stack) { stack.callDepth++; }
		~Call() { stack.LeaveCall(); }
		Call(const Call &) = delete;
		Call &operator=(const Call &) = delete;

	private:
		BehaviourStack &stack;
	};

	BehaviourStack() = default;
	BehaviourStack(const BehaviourStack &) = delete;
	BehaviourStack &operator=(const BehaviourStack &) = delete;

	// Null is ignored.
	void Push(std::unique_ptr<ActorBehaviour> behaviour);
	void PopTop();
	void Clear();
	ActorBehaviour *Top() const { return entries.empty() ? nullptr : entries.back().get(); }
	size_t Size() const { return entries.size(); }
	ActorBehaviour *At(size_t index) const { return index < entries.size() ? entries[index].get() : nullptr; }
	size_t ParkedCount() const { return parked.size(); }
	bool InCall() const { return callDepth > 0; }
	// Every behaviour, parked ones too, drops its pointers to the entity.
	void ForgetEntity(const Entity *entity);

private:
	void Release(std::unique_ptr<ActorBehaviour> behaviour);
	void LeaveCall();

	std::vector<std::unique_ptr<ActorBehaviour>> entries;
	std::vector<std::unique_ptr<ActorBehaviour>> parked; // released during a call
	uint32_t callDepth = 0;
};
