#include "objects/BehaviourStack.h"

void BehaviourStack::Push(std::unique_ptr<ActorBehaviour> behaviour)
{
	if (behaviour != nullptr)
		entries.push_back(std::move(behaviour));
}

void BehaviourStack::PopTop()
{
	if (entries.empty())
		return;
	std::unique_ptr<ActorBehaviour> top = std::move(entries.back());
	entries.pop_back();
	Release(std::move(top));
}

void BehaviourStack::Clear()
{
	std::vector<std::unique_ptr<ActorBehaviour>> old = std::move(entries);
	entries.clear();
	for (std::unique_ptr<ActorBehaviour> &each : old)
		Release(std::move(each));
}

void BehaviourStack::ForgetEntity(const Entity *entity)
{
	for (std::unique_ptr<ActorBehaviour> &each : entries)
		each->ForgetEntity(entity);
	for (std::unique_ptr<ActorBehaviour> &each : parked)
		each->ForgetEntity(entity);
}

void BehaviourStack::Release(std::unique_ptr<ActorBehaviour> behaviour)
{
	behaviour->released = 1;
	if (callDepth > 0)
		parked.push_back(std::move(behaviour));
	// Otherwise it is freed here, as the pointer goes out of scope.
}

void BehaviourStack::LeaveCall()
{
	if (callDepth > 0)
		callDepth--;
	if (callDepth == 0 && !parked.empty()) {
		std::vector<std::unique_ptr<ActorBehaviour>> done = std::move(parked);
		parked.clear();
	}
}
