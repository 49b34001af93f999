#include "objects/WalkBehaviour.h"

#include "engine/core/Entity.h"
#include "map/TileMap.h"
#include "map/TileMapData.h"
#include "objects/Actor.h"

namespace {

constexpr float kTileMiddle = 0.5f; // fraction of a tile across and down

} // namespace

WalkBehaviour::WalkBehaviour(Actor *actor, TileMap *tileMap, MapObjectDef *object)
	: ActorBehaviour(actor)
	, map(tileMap)
	, destination(object)
{
	speed = kWalkSpeed;
}

void WalkBehaviour::Begin()
{
	ActorBehaviour::Begin();
	speed = kWalkSpeed;
}

bool WalkBehaviour::GetDestination(Vec3 &out) const
{
	if (destination == nullptr)
		return false;
	if (Entity::IsAlive(destination->entity)) {
		out = destination->entity->transform.position;
		return true;
	}
	if (map == nullptr)
		return false;
	int16_t x = static_cast<int16_t>(static_cast<int16_t>(destination->x) + destination->w / 2);
	int16_t y = static_cast<int16_t>(static_cast<int16_t>(destination->y) + destination->h / 2);
	out = map->TilePosition(x, y, kTileMiddle, kTileMiddle);
	return true;
}

void WalkBehaviour::Update(float dt)
{
	(void)dt;
	Vec3 point;
	if (owner == nullptr || !GetDestination(point)) {
		SetDone();
		return;
	}
	targetPoint = point;
	Vec3 apart = point - owner->transform.position;
	apart.y = 0.0f;
	if (glm::dot(apart, apart) < kArrivedSquared)
		SetDone();
}
