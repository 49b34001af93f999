#include "engine/collision/CollisionChecker.h"

#include "engine/collision/Collider.h"
#include "engine/collision/CollisionGrid.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {
CollisionChecker *currentChecker = nullptr;

// State of the check in progress, shared by all checkers because a handler
// may run a check of its own.
int checkDepth = 0;                       // nested Check calls
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

} // namespace

// One check: its grid, and what each entity's box was built from when the
// grid last filed it or found it still inside its cells. After a touching
// pair every entity still to be met is looked at again, since the pair's
// push-outs and handlers may have moved, resized or switched any of them, or
// let one take part that did not. Most have not changed at all, and a look
// that compares what the box is built from, bit for bit, costs no box.
struct CollisionChecker::Pass {
	// What an entity's filed box was built from.
	struct Seen {
		const Entity *entity;
		const Collider *collider;
		Vec3 position, scale;
		glm::quat rotation;
		Vec3 size, offset;
	};

	static Seen Look(const Entity *entity)
	{
		const Transform &placement = entity->transform;
		const Collider *collider = entity->collider;
		return Seen{ entity, collider, placement.position, placement.scale, placement.rotation, collider->size,
			collider->offset };
	}

	// Bit for bit, so that a NaN or a negative zero never passes for
	// unchanged. Read straight from the entity and its collider: most looks
	// find nothing changed, and a copy made first would cost more than
	// the comparison.
	template <typename T>
	static bool SameBits(const T &a, const T &b)
	{
		return std::memcmp(&a, &b, sizeof(T)) == 0;
	}
	static bool Unchanged(const Seen &was, const Entity *entity)
	{
		const Transform &placement = entity->transform;
		const Collider *collider = entity->collider;
		return was.entity == entity && was.collider == collider && SameBits(was.position, placement.position) &&
			SameBits(was.scale, placement.scale) && SameBits(was.rotation, placement.rotation) &&
			SameBits(was.size, collider->size) && SameBits(was.offset, collider->offset);
	}

	void Begin(Scene *checked, uint32_t entries)
	{
		grid.Clear(entries);
		seen.resize(entries);
		for (uint32_t i = 0; i < entries; ++i) {
			Entity *entity = EntityAt(checked, i);
			// Not filed: the first look finds it changed.
			seen[i].entity = nullptr;
			if (TakesPart(entity)) {
				seen[i] = Look(entity);
				grid.File(i, entity->collider->UpdateBounds());
			}
		}
	}

	// Looks again at every entry after first's: one that changed is filed
	// again, and joins the row when the row has not reached it (above after)
	// and it came into the row's cells. Entries that no longer take part
	// keep their cells: every pair asks again whether its entities take
	// part, and whatever lets one take part again runs in a handler, after
	// which the entries are looked at again.
	void FollowAll(Scene *checked, uint32_t first, uint32_t after, uint32_t count)
	{
		for (uint32_t k = first + 1; k < count; ++k) {
			Entity *entity = EntityAt(checked, k);
			if (!TakesPart(entity))
				continue;
			if (Unchanged(seen[k], entity))
				continue;
			seen[k] = Look(entity);
			if (grid.Follow(k, entity->collider->UpdateBounds()) && k > after)
				grid.Join(k);
		}
	}

	// The pairs of the check, in scene order, each entity with the later
	// ones that share a cell with it.
	void TryPairs(Scene *checked, uint32_t count)
	{
		uint32_t pairTests = 0;
		// Handlers ran since the entries were last looked at: left for the
		// next row while the row in progress takes every entry anyway.
		bool unseen = false;
		for (uint32_t i = 0; i < count && pairTests < kMostPairTests; ++i) {
			Entity *a = EntityAt(checked, i);
			if (!TakesPart(a))
				continue;
			if (unseen)
				FollowAll(checked, i, count, count);
			unseen = false;
			grid.BeginRow(i, a->collider->UpdateBounds());
			const std::vector<uint32_t> &row = grid.Row();
			for (size_t next = 0; next < row.size() && pairTests < kMostPairTests; ++next) {
				const uint32_t j = row[next];
				// A handler may have taken A's collider away earlier in this row.
				Collider *colliderA = a->collider;
				if (!colliderA)
					break;
				Entity *b = EntityAt(checked, j);
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
				if (colliderA->mode >= Collider::kModeSolid && colliderB->mode >= Collider::kModeStatic)
					colliderA->Resolve(colliderB);
				if (colliderB->mode >= Collider::kModeSolid && colliderA->mode >= Collider::kModeStatic)
					colliderB->Resolve(colliderA);
				a->OnCollide(b);
				b->OnCollide(a);
				if (grid.RowTakesAll()) {
					unseen = true;
					continue;
				}
				FollowAll(checked, i, j, count);
				// The row reads A again only if entities follow B, as it
				// always has: only then must A still be there.
				if (j + 1 < count && a->collider != nullptr)
					grid.ExtendRow(j, a->collider->UpdateBounds());
			}
		}
	}

	CollisionGrid grid;
	std::vector<Seen> seen; // by scene index
};

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
	if (passesInUse == passes.size())
		passes.push_back(std::make_unique<Pass>());
	Pass &pass = *passes[passesInUse++];
	// Not scene: a handler's own check on this checker changes that.
	pass.Begin(checkedScene, count);
	pass.TryPairs(checkedScene, count);
	--passesInUse;
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
