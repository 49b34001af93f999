#include "objects/RoamBehaviour.h"

#include "map/TileCode.h"
#include "map/TileMap.h"
#include "objects/Actor.h"

namespace {

constexpr uint32_t kPlacementSeedFactor = 99;
constexpr int kDirections = 4;
constexpr float kArrivalFactor = 2.0f; // of a frame's walk: the point counts as reached

// Shared by every roamer, so that neighbours set off in different directions.
uint32_t gDirectionCounter = 0;

} // namespace

RoamBehaviour::RoamBehaviour(Actor *owner, float meanPause, float pauseSpread)
	: ActorBehaviour(owner), meanPause(meanPause), pauseSpread(pauseSpread)
{
}

void RoamBehaviour::Begin()
{
	if (owner != nullptr && owner->mapObject != nullptr)
		generator.Seed(owner->mapObject->x * kPlacementSeedFactor + owner->mapObject->y);
	ActorBehaviour::Begin();
	if (owner == nullptr)
		return;
	PickPoint();
	pauseTimer = generator.Range(0.0f, meanPause);
	lastPosition = owner->transform.position;
}

void RoamBehaviour::PickPoint()
{
	if (owner == nullptr)
		return;
	if (owner->map == nullptr || !IsWithinRange(owner->transform.position, owner->homePosition, kHomeRadius)) {
		targetPoint = owner->homePosition;
	} else {
		const TileMap &map = *owner->map;
		int16_t x = 0, y = 0;
		map.WorldToTile(owner->transform.position, x, y);
		const uint8_t level = map.TileAt(x, y).level;
		int16_t nx = x, ny = y;
		// All four directions in turn from where the shared counter stands
		// (adding the try to a counter that also moves per try would visit
		// only two of them).
		const uint32_t first = gDirectionCounter;
		for (int attempt = 0; attempt < kDirections; attempt++) {
			const uint8_t direction = static_cast<uint8_t>((first + attempt) % kDirections + 1);
			gDirectionCounter++;
			nx = static_cast<int16_t>(x + DirectionStepX(direction));
			ny = static_cast<int16_t>(y + DirectionStepY(direction));
			if (nx < 0 || ny < 0 || nx >= map.GetMapData().width || ny >= map.GetMapData().height)
				continue;
			if (map.TileAt(nx, ny).level == level)
				break;
		}
		targetPoint = map.TilePosition(nx, ny, 0.5f, 0.5f);
	}
	pauseTimer = generator.Range(meanPause - pauseSpread, meanPause + pauseSpread);
}

bool RoamBehaviour::Tick(float dt)
{
	if (owner == nullptr)
		return false;
	const Vec3 position = owner->transform.position;
	if (IsWithinRange(position, lastPosition, dt))
		pauseTimer -= dt; // standing, or barely moving
	if (HasTargetPoint() && IsWithinRange(position, targetPoint, dt * owner->GetMoveSpeed() * kArrivalFactor))
		pauseTimer -= dt;
	if (pauseTimer <= 0.0f)
		PickPoint();
	lastPosition = position;
	return false;
}

void RoamBehaviour::OnTouch(Entity *other)
{
	(void)other;
	PickPoint();
}
