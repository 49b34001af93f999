#include "engine/collision/CollisionChecker.h"

#include "engine/collision/Collider.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"

#include <algorithm>
#include <cstdint>

namespace {
CollisionChecker *currentChecker = nullptr;

// State of the check in progress, shared by all checkers because a handler
// may run a check of its own.
int checkDepth = 0;                       // nested Check calls
std::vector<Entity *> contactHolders;     // entities whose contact lists grew during the check

bool TakesPart(const Entity *entity)
{
	return entity != nullptr && entity->collider != nullptr && entity->IsActive() &&
		entity->collider->mode != Collider::kModeIgnored;
}
} // namespace

CollisionChecker::CollisionChecker()
{
	currentChecker = this;
}

CollisionChecker::~CollisionChecker()
{
	if (currentChecker == this)
		currentChecker = nullptr;
}

CollisionChecker *CollisionChecker::Get()
{
	return currentChecker;
}

bool CollisionChecker::IsChecking()
{
	return checkDepth > 0;
}

void CollisionChecker::Check(Scene *checkedScene)
{
	scene = checkedScene;
	if (!scene)
		return;

	const uint16_t count = scene->GetEntityCount();
	// Emptied here, so after a check each list holds every partner of that
	// check. Paused entities are emptied too, though they take no part.
	for (uint32_t i = 0; i < count; ++i)
		ForgetContacts(scene->GetEntityAt(static_cast<uint16_t>(i)));
	if (count < 2)
		return;

	// Destroyed entities outlive the loop below, which may still hold them.
	Entity::DestroyHold hold;
	++checkDepth;
	uint32_t pairTests = 0;
	for (uint32_t i = 0; i < count && pairTests < kMostPairTests; ++i) {
		Entity *a = scene->GetEntityAt(static_cast<uint16_t>(i));
		if (!TakesPart(a))
			continue;
		for (uint32_t j = i + 1; j < count && pairTests < kMostPairTests; ++j) {
			// A handler may have taken A's collider away earlier in this row.
			Collider *colliderA = a->collider;
			if (!colliderA || colliderA->contacts.size() >= kMostContacts)
				break;
			Entity *b = scene->GetEntityAt(static_cast<uint16_t>(j));
			if (b == a || !TakesPart(b))
				continue;
			Collider *colliderB = b->collider;
			if (colliderB->contacts.size() >= kMostContacts)
				continue;
			++pairTests;
			if (colliderA->mode < Collider::kModeStatic && colliderB->mode < Collider::kModeStatic)
				continue;
			if (!colliderB->Intersects(colliderA))
				continue;

			colliderA->contacts.push_back(b);
			colliderB->contacts.push_back(a);
			contactHolders.push_back(a);
			contactHolders.push_back(b);
			if (colliderA->mode >= Collider::kModeSolid && colliderB->mode >= Collider::kModeStatic)
				colliderA->Resolve(colliderB);
			if (colliderB->mode >= Collider::kModeSolid && colliderA->mode >= Collider::kModeStatic)
				colliderB->Resolve(colliderA);
			a->OnCollide(b);
			b->OnCollide(a);
		}
	}
	--checkDepth;
	if (checkDepth == 0)
		ForgetDestroyed();
	// The hold ends here and deletes what was destroyed.
}

void CollisionChecker::ForgetDestroyed()
{
	std::vector<Entity *> holders;
	holders.swap(contactHolders);
	// No contact list may keep an entity that is about to be freed.
	auto destroyed = [](const Entity *entity) { return Entity::IsAwaitingDeletion(entity); };
	for (Entity *holder : holders) {
		if (destroyed(holder) || !holder->collider)
			continue;
		std::vector<Entity *> &contacts = holder->collider->contacts;
		contacts.erase(std::remove_if(contacts.begin(), contacts.end(), destroyed), contacts.end());
	}
}

Entity *CollisionChecker::FindHit(Vec3 point)
{
	if (!scene)
		return nullptr;
	const uint16_t count = scene->GetEntityCount();
	for (uint32_t i = 0; i < count; ++i) {
		Entity *entity = scene->GetEntityAt(static_cast<uint16_t>(i));
		if (TakesPart(entity) && entity->collider->ContainsPoint(point))
			return entity;
	}
	return nullptr;
}

Entity *CollisionChecker::FindHitAbove(Vec3 point, int32_t lowestMode)
{
	if (!scene)
		return nullptr;
	const uint16_t count = scene->GetEntityCount();
	for (uint32_t i = 0; i < count; ++i) {
		Entity *entity = scene->GetEntityAt(static_cast<uint16_t>(i));
		if (!TakesPart(entity) || entity->lifeState < kLifeAdded || entity->collider->mode <= lowestMode)
			continue;
		if (entity->collider->ContainsPoint(point))
			return entity;
	}
	return nullptr;
}
