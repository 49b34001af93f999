#pragma once

class Entity;

// What an entity's container link points at: anything that can take an
// entity in and let it go again. The container never owns what it holds.
class IEntityContainer {
public:
	virtual void AddEntity(Entity *entity) = 0;
	virtual void RemoveEntity(Entity *entity) = 0;

protected:
	// Containers are never deleted through this interface.
	~IEntityContainer() = default;
};
