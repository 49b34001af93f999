#include "objects/PropRoof.h"

#include "map/TileMap.h"
#include "objects/PropFurniture.h"

namespace {
constexpr uint8_t kRoofLevel = 5;
} // namespace

void PropRoof::Start()
{
	PropFurniture::SetUp(*this);
	if (map != nullptr) {
		transform.position.y = map->LevelHeight(kRoofLevel);
		homePosition.y = transform.position.y;
	}
}
