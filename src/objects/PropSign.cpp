#include "objects/PropSign.h"

#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/ObjectCommands.h"
#include "objects/PropFurniture.h"

#include <cmath>

namespace {
constexpr float kSwayAngle = 0.1f;  // radians
constexpr float kSwayRate = 5.0f;   // radians of the wave per second
constexpr float kSwayPhase = 0.1f;  // per map object id, so neighbours sway apart
} // namespace

MapObjectDef *PropSign::FindSayObject(TileMap *map, MapObjectDef *object)
{
	if (map == nullptr)
		return nullptr;
	for (int hop = 0; hop <= kMaxHops && object != nullptr; hop++) {
		MapObjectDef *next = nullptr;
		bool decided = false;
		for (const MapCommand &command : ObjectCommands(map, object)) {
			if (command.code == kCmdSay)
				return object;
			const bool jump = (command.code == kCmdIf && map->IsGroupEnabled(command.argument))
				|| (command.code == kCmdIfNot && !map->IsGroupEnabled(command.argument)) || command.code == kCmdThen;
			if (jump) {
				next = map->FindObjectById(command.value);
				decided = true;
				break;
			}
		}
		if (!decided)
			return nullptr;
		object = next;
	}
	return nullptr;
}

void PropSign::Start()
{
	PropFurniture::SetUp(*this);
	messageObject = FindSayObject(map, mapObject);
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
