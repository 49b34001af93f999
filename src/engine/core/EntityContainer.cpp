#include "engine/core/EntityContainer.h"

#include "engine/core/Log.h"

Entity *EntityContainer::Placeholder()
{
	// Never held for real and never linked, so it stays in state 0.
	static Entity placeholder;
	return &placeholder;
}

EntityContainer::EntityContainer() = default;

EntityContainer::~EntityContainer()
{
	// An Update further up the stack must stop walking this container.
	if (updateAliveFlag != nullptr)
		*updateAliveFlag = false;
	// The children outlive the container; they must not reach back into it.
	UnlinkChildren();
	children.clear();
	children.shrink_to_fit();
}

void EntityContainer::AddEntity(Entity *entity)
{
	if (entity == nullptr || entity == Placeholder())
		return;
	// Refuse before touching the entity, so that it stays where it was.
	if (children.size() >= kMaxChildren) {
		Log("Entity container full (%zu children), entity not added\n", children.size());
		return;
	}
	if (entity->container != nullptr)
		entity->container->RemoveEntity(entity);
	children.push_back(entity);
	entity->container = this;
	entity->lifeState = kLifeAdded;
	entity->Init();
}

void EntityContainer::RemoveEntity(Entity *entity)
{
	if (entity == nullptr)
		return;
	if (entity->container == this)
		entity->container = nullptr;
	Entity *placeholder = Placeholder();
	for (size_t i = children.size(); i-- > 0;) {
		if (children[i] == entity)
			children[i] = placeholder;
	}
}

void EntityContainer::Clear()
{
	UnlinkChildren();
	children.clear();
}

void EntityContainer::UnlinkChildren()
{
	Entity *placeholder = Placeholder();
	for (size_t i = children.size(); i-- > 0;) {
		Entity *child = children[i];
		if (child == nullptr || child == placeholder)
			continue;
		if (child->container == this)
			child->container = nullptr;
	}
}

void EntityContainer::Purge()
{
	if (children.empty())
		return;
	Entity *placeholder = Placeholder();
	size_t kept = 0;
	for (size_t i = 0; i < children.size(); i++) {
		if (children[i] != placeholder)
			children[kept++] = children[i];
	}
	children.resize(kept);
}

void EntityContainer::UpdateChild(Entity *child, float dt)
{
	if (lifeState == kLifeDestroyed || child == Placeholder() || !IsAlive(child))
		return;
	child->Tick(dt);
}

void EntityContainer::DrawChild(Entity *child)
{
	if (lifeState == kLifeDestroyed || child == nullptr || child == Placeholder())
		return;
	if (child->lifeState >= kLifePaused || !child->IsVisible() || !IsAlive(child))
		return;
	child->Render();
}

void EntityContainer::Update(float dt)
{
	Purge();

	// A child may delete this container; the flag tells us when it did.
	bool alive = true;
	bool *outerFlag = updateAliveFlag;
	updateAliveFlag = &alive;

	// Children added while we walk wait for the next update.
	size_t count = children.size();
	for (size_t i = 0; i < count; i++) {
		// A child may have cleared the list under us.
		if (i >= children.size())
			break;
		UpdateChild(children[i], dt);
		if (!alive) {
			if (outerFlag != nullptr)
				*outerFlag = false;
			return;
		}
		if (lifeState == kLifeDestroyed)
			break;
	}
	updateAliveFlag = outerFlag;
}

void EntityContainer::Render()
{
	// Last child first, so the first child is drawn over the others.
	for (size_t i = children.size(); i-- > 0;) {
		if (i < children.size())
			DrawChild(children[i]);
	}
}
