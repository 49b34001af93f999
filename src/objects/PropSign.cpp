#include "objects/PropSign.h"

#include "map/TileMap.h"
#include "objects/PropFurniture.h"

#include <cmath>

namespace {
constexpr float kSwayAngle = 0.1f;  // radians
constexpr float kSwayRate = 5.0f;   // radians of the wave per second
constexpr float kSwayPhase = 0.1f;  // per map object id, so neighbours sway apart
} // namespace

void PropSign::Start()
{
	PropFurniture::SetUp(*this);
	messageObject = map != nullptr ? map->FindSayObject(mapObject) : nullptr;
	messageGroup = messageObject != nullptr ? messageObject->Group() : 0;
	restRotation = transform.rotation;
	swayClock = 0.0f;
}

void PropSign::Update(float dt)
{
	if (map != nullptr && map->IsGroupEnabled(messageGroup))
		return;
	swayClock += dt;
	const float angle = kSwayAngle * std::sin(kSwayRate * swayClock + kSwayPhase * mapObject->id);
	transform.rotation = restRotation * glm::angleAxis(angle, Vec3(0.0f, 0.0f, 1.0f));
}
