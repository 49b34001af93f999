#pragma once

#include "engine/core/Entity.h"
#include "engine/core/IEntityContainer.h"

#include <cstddef>
#include <vector>

// An entity that holds child entities and ticks and draws them as part of its
// own update and drawing; the menus, the HUD and other interface panels are
// built from it. Children are ticked in order of addition and drawn in the
// reverse order, so the first child lands on top; their draw layers play no
// part here. The container never owns or deletes its children. A removed
// child's entry turns into a placeholder that the next update erases. When
// either side is deleted first it unlinks the other, so neither keeps a
// pointer to freed memory.
class EntityContainer : public Entity, public IEntityContainer {
public:
	// Children are counted with 16-bit numbers elsewhere in the engine.
	static constexpr size_t kMaxChildren = 65535;

	EntityContainer();
	~EntityContainer() override;

	// Takes the entity out of any container that held it, appends it and
	// gives it state 1. No duplicate test: adding a child again leaves a
	// placeholder at its old place. Null is ignored, and any entity once the
	// list is full.
	void AddEntity(Entity *entity) override;
	// Turns the entity's entries into the placeholder and clears its
	// container link; its life state stays as it is.
	void RemoveEntity(Entity *entity) override;

	void Update(float dt) override;
	void Render() override;
	// Unlinks every child and empties the list.
	virtual void Clear();

	size_t GetChildCount() const { return children.size(); }

protected:
	// The process-wide entity that marks removed entries; distinct from the
	// scenes' one.
	static Entity *Placeholder();
	// Erases placeholder entries, keeping the order of the rest.
	void Purge();
	void UpdateChild(Entity *child, float dt);
	void DrawChild(Entity *child);
	// Clears the container link of every child that names this container.
	void UnlinkChildren();

	std::vector<Entity *> children; // in order of addition

	// Points at a flag on the stack of a running Update, so that the update
	// can stop when a child deleted this container.
	bool *updateAliveFlag = nullptr;
};
