#include "map/TileMapData.h"

#include "engine/core/Entity.h"
#include "map/MapFiles.h"
#include "map/TileCode.h"

#include <algorithm>
#include <cstring>

bool MapObjectDef::HasActor() const
{
	if (kind != kObjectEntity || entity == nullptr)
		return false;
	return entity->lifeState < kLifeDestroyed && IsActorKind(MapEntityKindFromType(type)) && entity->IsKind(kActorClassId);
}

TileMapData::TileMapData()
{
	Reset();
}

void TileMapData::Reset()
{
	width = 0;
	height = 0;
	tileWidth = kDefaultTileWidth;
	border = kBorderFromEnvironment;
	highestObjectId = 0;
	tileSize = kDefaultTileSize;
	heightStep = kDefaultHeightStep;
	zoom = 1.0f;
	environmentId = 0;
	for (uint16_t &layer : layerIds)
		layer = 0;
	memset(mapName, 0, sizeof(mapName));
	tiles.clear();
	objects.clear();
	entityRecords.clear();
	strings.clear();
	messages.clear();
	commands.clear();
	for (MapObjectDef &exit : exits)
		exit = MapObjectDef();
	music = MapPath();
}

float TileMapData::LevelHeight(uint8_t level) const
{
	if (level == kLevelHole)
		return kHoleHeight;
	if (level == kLevelWater)
		return kWaterHeight;
	return static_cast<float>(level - 1) * heightStep;
}

const MapTile &TileMapData::NearestTile(int x, int y) const
{
	static const MapTile kEmptyTile{};
	if (width == 0 || height == 0)
		return kEmptyTile;
	ClampTile(x, y);
	const size_t index = static_cast<size_t>(y) * width + static_cast<size_t>(x);
	return index < tiles.size() ? tiles[index] : kEmptyTile;
}

void TileMapData::ClampTile(int &x, int &y) const
{
	x = std::clamp(x, 0, std::max(width - 1, 0));
	y = std::clamp(y, 0, std::max(height - 1, 0));
}

void TileMapData::SetMapName(const char *text)
{
	memset(mapName, 0, sizeof(mapName));
	if (text != nullptr)
		memcpy(mapName, text, strnlen(text, kMapNameChars));
}
