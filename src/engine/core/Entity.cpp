#include "engine/core/Entity.h"

#include "engine/collision/Collider.h"
#include "engine/core/IEntityContainer.h"
#include "engine/core/Scene.h"

#include <algorithm>
#include <vector>

namespace {

int destroyHolds = 0;                 // DestroyHolds on the stack
std::vector<Entity *> heldDestroyed;  // destroyed under a hold, in order

} // namespace

Entity::DestroyHold::DestroyHold()
{
	destroyHolds++;
}

Entity::DestroyHold::~DestroyHold()
{
	if (--destroyHolds > 0)
		return;
	// Swapped out first: a destructor may destroy further entities, which are
	// then deleted at once because no hold is on.
	std::vector<Entity *> doomed;
	doomed.swap(heldDestroyed);
	for (Entity *entity : doomed)
		delete entity;
}

bool Entity::IsAwaitingDeletion(const Entity *entity)
{
	return std::find(heldDestroyed.begin(), heldDestroyed.end(), entity) != heldDestroyed.end();
}

Entity::Entity() = default;

Entity::~Entity()
{
	// A Tick further up the stack must not touch this entity again.
	if (tickAliveFlag != nullptr)
		*tickAliveFlag = false;

	// Holders do not own their entities, so an owner may delete one that is
	// still listed; take it out first so that no list keeps a dangling entry.
	if (scene != nullptr)
		scene->RemoveEntity(this);
	if (container != nullptr)
		container->RemoveEntity(this);
	scene = nullptr;
	container = nullptr;

	// Its owner may delete a destroyed entity before the hold ends; the hold
	// must not delete it a second time.
	if (destroyHolds > 0)
		heldDestroyed.erase(std::remove(heldDestroyed.begin(), heldDestroyed.end(), this), heldDestroyed.end());

	// Partners that touched this entity in the last check must not keep it
	// in their contact lists.
	ForgetContacts(this);
	if (collider != nullptr && collider->owner == this)
		delete collider;
	collider = nullptr;
}

void Entity::NotifyRemoved()
{
	if (scene != nullptr)
		scene->RemoveEntity(this);
}

void Entity::Destroy()
{
	lifeState = kLifeDestroyed;
	NotifyRemoved();
	// A running collision check still holds this entity as the current pair
	// or in contact lists; the hold deletes it once the check is done.
	if (destroyHolds > 0) {
		if (!IsAwaitingDeletion(this))
			heldDestroyed.push_back(this);
		return;
	}
	delete this;
}

void Entity::Tick(float dt)
{
	// Any hook may destroy the entity; the flag tells us when that happened
	// so that nothing below touches freed memory.
	bool alive = true;
	bool *outerFlag = tickAliveFlag;
	tickAliveFlag = &alive;
	auto died = [&]() {
		if (alive)
			return false;
		// A Tick further out (a hook that ticks its own entity) must stop too.
		if (outerFlag != nullptr)
			*outerFlag = false;
		return true;
	};

	if (lifeState == kLifeAdded) {
		startWaiting = 0;
		Start();
		if (died())
			return;
		// Start may have paused or removed the entity (a pickup taken on an
		// earlier visit); that stands, and it does not run.
		if (lifeState != kLifeAdded) {
			tickAliveFlag = outerFlag;
			return;
		}
		lifeState = kLifeRunning;
		OnResume();
		if (died())
			return;
	}
	if (lifeState == kLifeRunning)
		Update(dt);
	else if (lifeState == kLifeRemoved)
		OnPause();
	if (died())
		return;

	tickAliveFlag = outerFlag;
}

void Entity::SetActive(bool on)
{
	if (on) {
		if (lifeState != kLifePaused)
			return;
		if (startWaiting != 0) {
			// Paused before its first tick (a map object hidden at load): it
			// is set up now, so it never runs without its Start.
			startWaiting = 0;
			bool alive = true;
			bool *outerFlag = tickAliveFlag;
			tickAliveFlag = &alive;
			Start();
			if (!alive) {
				if (outerFlag != nullptr)
					*outerFlag = false;
				return;
			}
			tickAliveFlag = outerFlag;
			if (lifeState != kLifePaused)
				return;
		}
		lifeState = kLifeRunning;
		OnResume();
		return;
	}
	uint32_t previous = lifeState;
	if (previous == kLifeAdded)
		startWaiting = 1;
	lifeState = kLifePaused;
	if (previous == kLifeRunning)
		OnPause();
}

bool Entity::IsAlive(const Entity *entity)
{
	return entity != nullptr && entity->lifeState < kLifeRemoved;
}
