#include "engine/collision/CollisionChecker.h"

#include "engine/collision/Collider.h"
#include "engine/collision/CollisionGrid.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"

#include <algorithm>
#include <cstdint>

namespace {
CollisionChecker *currentChecker = nullptr;

// State of the check in progress, shared by all checkers because a handler
// may run a check of its own.
int checkDepth = 0;                       // nested Check calls
uint32_t checksStarted = 0;               // Check calls that reached their pairs, nested ones too
std::vector<Entity *> contactHolders;     // entities whose contact lists grew during the check; kept for the next

// Adds partner to the holder's list; a holder is noted with its first
// partner (every list starts the check empty), so each is noted about once.
void AddContact(Entity *holder, Collider *collider, Entity *partner)
{
	if (collider->contacts.empty())
		contactHolders.push_back(holder);
	collider->contacts.push_back(partner);
}

bool TakesPart(const Entity *entity)
{
	return entity != nullptr && entity->collider != nullptr && entity->IsActive() &&
		entity->collider->mode != Collider::kModeIgnored;
}

Entity *EntityAt(Scene *scene, uint32_t index)
{
	return scene->GetEntityAt(static_cast<uint16_t>(index));
}

// After a touching pair: files B again where its push-out or the handlers
// left it, and lets A's row reach where A went. A check that a handler ran
// may have pushed anyone, so then every entity after A is followed.
void FollowMoves(Scene *scene, CollisionGrid &grid, Entity *a, uint32_t i, uint32_t j, uint32_t count,
	bool handlerChecked)
{
	const uint32_t first = handlerChecked ? i + 1 : j;
	const uint32_t last = handlerChecked ? count - 1 : j;
	for (uint32_t k = first; k <= last; ++k) {
		// Null or the placeholder when a handler took it out of the scene.
		Entity *moved = EntityAt(scene, k);
		if (moved != nullptr && moved->collider != nullptr)
			grid.Follow(k, moved->collider->UpdateBounds());
	}
	// The row reads A again only if entities follow B, as it always has:
	// only then must A still be there.
	if (j + 1 < count && a->collider != nullptr)
		grid.ExtendRow(j, a->collider->UpdateBounds(), handlerChecked);
}

// The pairs of the check, in scene order, each entity with the later ones
// that share a cell with it.
void TryPairs(Scene *scene, uint32_t count, CollisionGrid &grid)
{
	uint32_t pairTests = 0;
	for (uint32_t i = 0; i < count && pairTests < CollisionChecker::kMostPairTests; ++i) {
		Entity *a = EntityAt(scene, i);
		if (!TakesPart(a))
			continue;
		grid.BeginRow(i, a->collider->UpdateBounds());
		const std::vector<uint32_t> &row = grid.Row();
		for (size_t next = 0; next < row.size() && pairTests < CollisionChecker::kMostPairTests; ++next) {
			const uint32_t j = row[next];
			// A handler may have taken A's collider away earlier in this row.
			Collider *colliderA = a->collider;
			if (!colliderA)
				break;
			Entity *b = EntityAt(scene, j);
			if (b == a || !TakesPart(b))
				continue;
			Collider *colliderB = b->collider;
			++pairTests;
			if (colliderA->mode < Collider::kModeStatic && colliderB->mode < Collider::kModeStatic)
				continue;
			if (!colliderB->Intersects(colliderA))
				continue;

			AddContact(a, colliderA, b);
			AddContact(b, colliderB, a);
			const uint32_t checksBefore = checksStarted;
			if (colliderA->mode >= Collider::kModeSolid && colliderB->mode >= Collider::kModeStatic)
				colliderA->Resolve(colliderB);
			if (colliderB->mode >= Collider::kModeSolid && colliderA->mode >= Collider::kModeStatic)
				colliderB->Resolve(colliderA);
			a->OnCollide(b);
			b->OnCollide(a);
			FollowMoves(scene, grid, a, i, j, count, checksStarted != checksBefore);
		}
	}
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
	if (!checkedScene)
		return;

	const uint16_t count = checkedScene->GetEntityCount();
	// Emptied here, so after a check each list holds every partner of that
	// check. Paused entities are emptied too, though they take no part.
	for (uint32_t i = 0; i < count; ++i)
		ForgetContacts(EntityAt(checkedScene, i));
	if (count < 2)
		return;

	// Destroyed entities outlive the pairs, which may still hold them.
	Entity::DestroyHold hold;
	++checkDepth;
	++checksStarted;
	if (gridsInUse == grids.size())
		grids.push_back(std::make_unique<CollisionGrid>());
	CollisionGrid &grid = *grids[gridsInUse++];
	grid.Clear(count);
	for (uint32_t i = 0; i < count; ++i) {
		Entity *entity = EntityAt(checkedScene, i);
		if (TakesPart(entity))
			grid.File(i, entity->collider->UpdateBounds());
	}
	// Not scene: a handler's own check on this checker changes that.
	TryPairs(checkedScene, count, grid);
	--gridsInUse;
	--checkDepth;
	if (checkDepth == 0)
		ForgetDestroyed();
	// The hold ends here and deletes what was destroyed.
}

void CollisionChecker::ForgetDestroyed()
{
	// No contact list may keep an entity that is about to be freed.
	auto destroyed = [](const Entity *entity) { return Entity::IsAwaitingDeletion(entity); };
	for (Entity *holder : contactHolders) {
		if (destroyed(holder) || !holder->collider)
			continue;
		std::vector<Entity *> &contacts = holder->collider->contacts;
		contacts.erase(std::remove_if(contacts.begin(), contacts.end(), destroyed), contacts.end());
	}
	contactHolders.clear();
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
