#include "objects/ActorRegistry.h"

#include "objects/Actor.h"
#include "objects/Party.h"

#include <algorithm>
#include <vector>

namespace {

struct RegistryLists {
	std::vector<Actor *> engaged; // the fight list, in order of joining
	std::vector<Actor *> all;     // every actor in existence
	std::vector<Actor *> stopped; // StopAll's copy of the fight list, kept for the next call
	bool stopping = false;        // StopAll is under way
};

// Kept for the whole run and never destroyed: actors owned by objects that
// outlive main (the game's last scene) still leave the lists at exit.
RegistryLists &Lists()
{
	static RegistryLists *lists = new RegistryLists();
	return *lists;
}

bool Holds(const std::vector<Actor *> &list, const Actor *actor)
{
	return std::find(list.begin(), list.end(), actor) != list.end();
}

void Erase(std::vector<Actor *> &list, const Actor *actor)
{
	list.erase(std::remove(list.begin(), list.end(), actor), list.end());
}

} // namespace

void ActorRegistry::Add(Actor *actor)
{
	RegistryLists &lists = Lists();
	if (!IsLiveActor(actor) || Holds(lists.engaged, actor))
		return;
	lists.engaged.push_back(actor);
	// StopAll's copy grows here with the list rather than in StopAll; not
	// while StopAll walks it, though.
	if (!lists.stopping && lists.stopped.capacity() < lists.engaged.capacity())
		lists.stopped.reserve(lists.engaged.capacity());
}

void ActorRegistry::Remove(const Actor *actor)
{
	Erase(Lists().engaged, actor);
}

void ActorRegistry::StopAll()
{
	RegistryLists &lists = Lists();
	if (lists.stopping)
		return;
	lists.stopping = true;
	// Stopping takes actors off the list, and a behaviour's end may stop or
	// free others, so walk a copy and ask again before each call. The player
	// stops the fight on every strike, so the copy's storage is kept.
	lists.stopped.assign(lists.engaged.begin(), lists.engaged.end());
	for (Actor *actor : lists.stopped) {
		if (Holds(lists.engaged, actor) && IsLiveActor(actor))
			actor->StopBehaviour();
	}
	lists.stopped.clear();
	lists.stopping = false;
}

void ActorRegistry::Clear()
{
	Lists().engaged.clear();
}

bool ActorRegistry::Contains(const Actor *actor)
{
	return Holds(Lists().engaged, actor);
}

size_t ActorRegistry::Count()
{
	return Lists().engaged.size();
}

int ActorRegistry::CountLivingActors()
{
	int living = 0;
	for (const Actor *actor : Lists().engaged) {
		if (IsLivingActor(actor))
			living++;
	}
	return living;
}

void ActorRegistry::ForgetEntity(const Entity *entity)
{
	if (entity == nullptr)
		return;
	RegistryLists &lists = Lists();
	lists.engaged.erase(std::remove_if(lists.engaged.begin(), lists.engaged.end(),
		[entity](const Actor *actor) { return static_cast<const Entity *>(actor) == entity; }),
		lists.engaged.end());
	for (Actor *actor : lists.all)
		actor->ForgetEntity(entity);
	Party::ForgetEntity(entity);
}

void ActorRegistry::Track(Actor *actor)
{
	if (actor != nullptr && !Holds(Lists().all, actor))
		Lists().all.push_back(actor);
}

void ActorRegistry::Untrack(Actor *actor)
{
	Erase(Lists().all, actor);
}

size_t ActorRegistry::TrackedCount()
{
	return Lists().all.size();
}

int CountLivingActors()
{
	return ActorRegistry::CountLivingActors();
}
