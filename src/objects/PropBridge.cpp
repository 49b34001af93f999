#include "objects/PropBridge.h"

#include "map/TileMap.h"
#include "objects/PropFurniture.h"

namespace {
constexpr uint8_t kBridgeLevel = 1;
constexpr float kBoardLift = 2.0f; // world units the board is drawn above the placement
} // namespace

void PropBridge::Start()
{
	PropFurniture::SetUp(*this);
	if (map != nullptr) {
		transform.position.y = map->LevelHeight(kBridgeLevel);
		homePosition.y = transform.position.y;
	}
	renderOffset = Vec3(0.0f, kBoardLift, 0.0f);
}
