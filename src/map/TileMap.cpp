#include "map/TileMap.h"

#include "engine/core/ActiveSequence.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/MathUtil.h"
#include "engine/core/Scene.h"
#include "engine/core/Sequence.h"
#include "map/EntityFactory.h"
#include "map/EnvironmentTable.h"
#include "map/MapCommand.h"
#include "map/MapFiles.h"
#include "map/MapGameLink.h"
#include "map/MapSequence.h"
#include "map/TileCode.h"
#include "map/ScriptWorld.h"
#include "map/TileMapLoadListener.h"
#include "engine/core/LoadClock.h"

#include <glm/gtc/quaternion.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr const char *kDefaultMapShader = "shaders/map.dsh";
constexpr const char *kMapExtension = "tmx";

constexpr uint8_t kEnemiesBeatenGroup = 1; // enabled when the last enemy of a map falls
constexpr uint8_t kHostileFaction = 4;
constexpr uint8_t kBorderDefault = 4;      // half the border ring in tiles when nothing sets it

constexpr float kObjectInset = 0.1f;        // world units an object area is shrunk by for insideness
constexpr float kQuarterTurn = -1.5707964f;    // radians per editor quarter turn about +Y

// True for an entity record whose actor is up, on the enemy side and not yet
// defeated. Whether it still fights is the actor's own rule, which the map
// reaches through the factory that made it; without one, standing is enough.
bool IsStandingEnemy(const MapObjectDef &record, EntityFactory *factory)
{
	if (!record.HasActor())
		return false;
	Entity *entity = record.entity;
	if (entity->lifeState >= kLifePaused || entity->GetFaction() != kHostileFaction)
		return false;
	return factory == nullptr || factory->IsStillFighting(entity);
}

} // namespace

TileMap::TileMap() = default;

TileMap::~TileMap()
{
	Clear();
	for (Material::Handle &handle : layerMaterials) {
		Material::Release(handle);
		handle = Material::Handle();
	}
}

// --- Loading -----------------------------------------------------------------

TileMapLoadState &TileMap::Load(const char *path, uint16_t flags, TileMapLoadListener *listener)
{
	// A fresh state by assignment: the state owns lists and strings, which
	// must be released and rebuilt, never wiped over.
	loadState = TileMapLoadState();
	loadSerial++;
	loadState.flags = flags;
	loadState.listener = listener;
	if (path != nullptr)
		strncpy(loadState.name, path, TileMapLoadState::kNameChars - 1);
	loadState.phase = LoadData(path) ? kPhaseUnload : kPhaseAborted;
	Step();
	return loadState;
}

bool TileMap::LoadData(const char *path)
{
	LoadClock::Timing timing(LoadClock::kMaps);
	const char *shown = path != nullptr ? path : "";
	LogDebug("\nLoad map requested %s...\n", shown);
	if (path == nullptr || !FileHasExtension(path, kMapExtension)) {
		Log("Unsupported file format: %s", shown);
		return false;
	}
	if (!mapLoader->CanLoad(path)) {
		Log("Map load unsupported: %s", shown);
		return false;
	}
	LogDebug("Loading map data...\n");
	loadState.mapData.Reset();
	if (!mapLoader->Load(path, loadState.mapData, loadState.flags)) {
		Log("Map load aborted: %s", shown);
		return false;
	}
	return true;
}

bool TileMap::Step()
{
	uint32_t serial = loadSerial;
	uint32_t next = RunPhase();
	// A listener or a script may start a new load from inside the phase; that
	// load has run its own first step, and this step must not touch it.
	if (serial != loadSerial)
		return loadState.phase < kPhaseLoaded;
	if (next == loadState.phase)
		return next < kPhaseLoaded;
	if (next == kPhaseAborted)
		Log("Tile map aborted on phase %i\n", static_cast<int>(loadState.phase));
	else if (next == kPhaseLoaded)
		LogDebug("Tile map loaded.\n");
	loadState.phase = next;
	loadState.cursor = 0;
	loadState.total = 0;
	return next < kPhaseLoaded;
}

uint32_t TileMap::RunPhase()
{
	switch (loadState.phase) {
	case kPhaseUnload:
	case kPhaseUnloadAgain:
		Unload();
		return kPhaseBuild;
	case kPhaseBuild:
		if (!LoadEnvironment())
			return kPhaseAborted;
		if (!BuildTiles())
			return kPhaseTilesFailed;
		if (!BuildBorder())
			return kPhaseBorderFailed;
		return kPhaseEntities;
	case kPhaseTilesFailed:
	case kPhaseBorderFailed:
		return kPhaseAborted;
	case kPhaseEntities:
		return LoadEntities() ? kPhaseSequences : kPhaseEntities;
	case kPhaseSequences:
		return LoadSequences() ? kPhaseLoaded : kPhaseAborted;
	case kPhaseLoaded:
		return kPhaseLoaded;
	default:
		return kPhaseAborted;
	}
}

void TileMap::Unload()
{
	if (loadState.listener != nullptr)
		loadState.listener->OnMapUnload();
	Clear();
}

void TileMap::Clear()
{
	// A script of this map must not outlive the objects it runs on.
	auto *running = dynamic_cast<MapSequence *>(GetActiveSequence());
	if (running != nullptr && running->GetTileMap() == this)
		EndActiveSequence();

	LogDebug("Clearing meshes...\n");
	for (int slot = 0; slot < kLayerSlotCount; slot++) {
		meshes[slot].Clear();
		renderers[slot].Release();
	}

	LogDebug("Clearing entities...\n");
	std::vector<MapObjectDef> &records = mapData.entityRecords;
	for (size_t i = records.size(); i-- > 0;) {
		Entity *entity = records[i].entity;
		// Whether the scene still lists it is asked first: that compares
		// pointers only, so a record whose entity is long gone is never read.
		if (entity == nullptr || scene == nullptr || !scene->HasEntity(entity))
			continue;
		if (!IsMapEntity(entity))
			continue;
		records[i].entity = nullptr;
		entity->Destroy();
	}
	records.clear();
	mapData.Reset();

	ClearFlags();
	cleared = 0;
}

bool TileMap::LoadEnvironment()
{
	LogDebug("Loading environment...\n");
	mapData = loadState.mapData;

	if (mapData.environmentId != 0) {
		const Environment *environment = FindEnvironment(mapData.environmentId);
		if (environment != nullptr) {
			for (int k = 0; k < kLevelCount; k++) {
				const EnvironmentLayer *layer = environment->layers[k];
				if (layer == nullptr)
					continue;
				SetLayerMaterial(static_cast<uint8_t>(k), kLayerTop, layer->surf.Get(), layer->shader.Get());
				SetLayerMaterial(static_cast<uint8_t>(k), kLayerEdge, layer->edge.Get(), layer->shader.Get());
			}
			if (mapData.border == TileMapData::kBorderFromEnvironment)
				mapData.border = environment->border;
		}
	}
	if (mapData.border == TileMapData::kBorderFromEnvironment)
		mapData.border = kBorderDefault;

	LogDebug("Loading additional layers...\n");
	for (int k = 0; k < kLevelCount; k++) {
		if (mapData.layerIds[k] == 0)
			continue;
		const EnvironmentLayer *layer = FindEnvironmentLayer(mapData.layerIds[k]);
		if (layer == nullptr)
			continue;
		// Additional layers always draw with the ground shader.
		SetLayerMaterial(static_cast<uint8_t>(k), kLayerTop, layer->surf.Get(), nullptr);
		SetLayerMaterial(static_cast<uint8_t>(k), kLayerEdge, layer->edge.Get(), nullptr);
	}
	return true;
}

bool TileMap::LoadEntities()
{
	LogDebug("Loading entities...\n");
	if (entityFactory == nullptr) {
		Log("No entity factory specified.\n");
		return true;
	}
	std::vector<MapObjectDef> &records = mapData.entityRecords;
	size_t count = std::min(records.size(), kMaxEntityRecords);
	if (count == 0)
		return true;

	size_t end = count;
	if (loadState.entitiesPerStep != 0)
		end = std::min(count, static_cast<size_t>(loadState.cursor) + loadState.entitiesPerStep);
	for (; loadState.cursor < end; loadState.cursor++) {
		MapObjectDef &record = records[loadState.cursor];
		if ((loadState.flags & TileMapLoadState::kNoActors) != 0 && IsActorKind(MapEntityKindFromType(record.type)))
			continue;
		if (!entityFactory->CanCreate(record.type)) {
			record.entity = nullptr;
			continue;
		}
		Entity *entity = entityFactory->Create(record.type);
		record.entity = entity;
		if (entity != nullptr)
			PlaceEntity(record, entity);
	}
	LogDebug("Loaded entities\n");
	return loadState.cursor >= count;
}

void TileMap::PlaceEntity(MapObjectDef &record, Entity *entity)
{
	const float t = mapData.tileSize;
	const float s = static_cast<float>(record.size);
	Vec3 position = TilePosition(static_cast<int16_t>(record.x), static_cast<int16_t>(record.y), 0.5f, 0.5f);
	if (entity->drawLayer == 0)
		entity->drawLayer = drawLayer;

	// Tiled turns a tile object about its bottom-left corner; bring the
	// turned footprint back over the tiles it covers.
	if (record.rotation == 2 || record.rotation == 3)
		position.x -= t * s;
	if (record.rotation == 1 || record.rotation == 2)
		position.z += t * s;
	Vec3 scale(s);
	if (record.flipX != 0)
		scale.x = -scale.x;
	if (record.flipY != 0)
		scale.z = -scale.z;
	// A bigger object stands in the middle of its square, which grows from
	// the anchor tile eastward and northward.
	if (record.size > 1) {
		position.x += t * 0.5f * (s - 1.0f);
		position.z -= t * 0.5f * (s - 1.0f);
	}
	position.y = HeightAt(position);

	entity->transform.SetPosition(position);
	entity->transform.SetRotation(glm::angleAxis(kQuarterTurn * static_cast<float>(record.rotation), Vec3(0.0f, 1.0f, 0.0f)));
	entity->transform.SetScale(scale);
	// Linked before the scene takes it, so its Init already knows its map.
	entityFactory->LinkToMap(entity, this, &record);
	if (scene != nullptr)
		scene->AddEntity(entity);
}

bool TileMap::LoadSequences()
{
	uint32_t serial = loadSerial;
	LogDebug("Notifying load listener...\n");
	if (loadState.listener != nullptr)
		loadState.listener->OnMapLoaded(loadState.name);
	if (serial != loadSerial)
		return true;

	if ((loadState.flags & TileMapLoadState::kNoScripts) == 0) {
		LogDebug("Loading sequences...\n");
		// By index, and re-reading the size: a script that starts here may
		// change the map under the walk.
		for (size_t i = 0; i < mapData.objects.size() && serial == loadSerial; i++) {
			MapObjectDef &object = mapData.objects[i];
			if (object.kind != kObjectLoad)
				continue;
			bool allowed = true;
			if (object.key != 0) {
				allowed = MapGameLink::Get().FlagId(object.key);
				SetGroupFlag(object.Group(), allowed);
			}
			if (allowed && object.commandCount > 0) {
				LogDebug("Running sequence %i...\n", static_cast<int>(object.id));
				StartSequence(object);
			}
		}
	}
	LogDebug("Map loaded.\n\n");
	return true;
}

ScriptWorld &TileMap::GetScriptWorld() const
{
	return scriptWorld != nullptr ? *scriptWorld : ScriptWorld::Quiet();
}

void TileMap::StartSequence(MapObjectDef &object)
{
	if (!sequenceMaker) {
		Log("Couldn't run the script of object %i: no sequence maker\n", static_cast<int>(object.id));
		return;
	}
	SetActiveSequence(sequenceMaker(*this, object).release());
}

// --- Geometry ----------------------------------------------------------------

void TileMap::SetLayerMaterial(uint8_t layer, uint8_t kind, const char *textureName, const char *shaderName)
{
	if (layer >= kLevelCount || kind > kLayerEdge)
		return;
	if (shaderName == nullptr || shaderName[0] == '\0')
		shaderName = kDefaultMapShader;
	int slot = layer + (kind == kLayerEdge ? kLevelCount : 0);
	// A layer without a texture draws with the shader alone rather than
	// asking the texture loader for a file named "".
	const Material::Handle &handle = (textureName != nullptr && textureName[0] != '\0')
		? Material::Get(textureName, shaderName)
		: Material::GetShaderOnly(shaderName);
	Material::Release(layerMaterials[slot]);
	layerMaterials[slot] = handle;
	ApplyLayerMaterials();
}

void TileMap::ApplyLayerMaterials()
{
	for (int slot = 0; slot < kLayerSlotCount; slot++) {
		const Material::Handle &wanted = layerMaterials[slot];
		const Material::Handle &held = meshes[slot].GetMaterial();
		if (held.Get() == wanted.Get() && held.GetKey() == wanted.GetKey())
			continue;
		// The mesh takes over a use of its own.
		meshes[slot].SetMaterial(wanted.IsValid() ? Material::Share(wanted) : Material::Handle());
	}
}

bool TileMap::BuildTiles()
{
	if (loadState.cursor == 0) {
		loadState.total = static_cast<uint16_t>(mapData.width * mapData.height);
		mesher.StartBuild();
	}
	LogDebug("Building tiles %i to %i...\n", static_cast<int>(loadState.cursor), static_cast<int>(loadState.total));
	const size_t width = mapData.width;
	while (loadState.cursor < loadState.total) {
		const int x = static_cast<int>(loadState.cursor % width);
		const int y = static_cast<int>(loadState.cursor / width);
		mesher.BuildTile(mapData.NearestTile(x, y), x, y);
		loadState.cursor++;
	}
	ApplyLayerMaterials();
	LogDebug("Tiles built\n");
	return true;
}

bool TileMap::BuildBorder()
{
	if (mapData.border == 0)
		return true;
	LogDebug("Building border...\n");
	mesher.BuildBorder();
	return true;
}

// --- Groups and triggers -----------------------------------------------------

bool TileMap::IsGroupEnabled(uint8_t group) const
{
	if (group == 0)
		return false;
	return std::find(std::begin(groupSlots), std::end(groupSlots), group) != std::end(groupSlots);
}

void TileMap::SetGroupFlag(uint8_t group, bool enabled)
{
	if (group == 0 || IsGroupEnabled(group) == enabled)
		return;
	if (!enabled) {
		std::replace(std::begin(groupSlots), std::end(groupSlots), group, uint8_t{0});
		return;
	}
	uint8_t *freeSlot = std::find(std::begin(groupSlots), std::end(groupSlots), uint8_t{0});
	if (freeSlot == std::end(groupSlots)) {
		Log("No free group slot: group %u stays disabled\n", static_cast<unsigned>(group));
		return;
	}
	*freeSlot = group;
}

void TileMap::ClearFlags()
{
	LogDebug("Clearing flags...\n");
	std::fill(std::begin(groupSlots), std::end(groupSlots), uint8_t{0});
	LogDebug("Cleared flags...\n");
}

void TileMap::UpdateMapFlags()
{
	LogDebug("Updating map flags...\n");
	for (const MapObjectDef &object : mapData.objects) {
		if (object.kind == kObjectLoad)
			SetGroupFlag(object.Group(), MapGameLink::Get().FlagId(object.key));
	}
}

void TileMap::CheckTriggers()
{
	if (cleared != 0) {
		UpdateMapFlags();
		return;
	}
	cleared = 1;
	for (const MapObjectDef &record : mapData.entityRecords) {
		if (IsStandingEnemy(record, entityFactory)) {
			cleared = 0;
			break;
		}
	}
	if (cleared != 0) {
		SetGroupFlag(kEnemiesBeatenGroup, true);
		for (size_t i = 0; i < mapData.objects.size(); i++) {
			const MapObjectDef &object = mapData.objects[i];
			if (object.kind != kObjectTrigger || object.flag == 0 || object.commandCount == 0)
				continue;
			if (!IsGroupEnabled(static_cast<uint8_t>(object.flag & 0xFF)))
				continue;
			// When a running script struck the blow, the runner ends that
			// script but deletes it only once its command returns, and the
			// trigger's script waits for the runner's next poll to begin.
			StartSequence(mapData.objects[i]);
			break;
		}
	}
	UpdateMapFlags();
}

// --- Objects and entity records ----------------------------------------------

bool TileMap::ContainsTile(const MapObjectDef &object, int16_t x, int16_t y)
{
	const int ox = static_cast<int16_t>(object.x);
	const int oy = static_cast<int16_t>(object.y);
	return x >= ox && y >= oy && x <= ox + object.w && y <= oy + object.h;
}

MapObjectDef *TileMap::FindObjectAt(const Vec3 &position)
{
	int16_t x = 0;
	int16_t y = 0;
	WorldToTile(position, x, y);
	for (MapObjectDef &object : mapData.objects) {
		if (ContainsTile(object, x, y))
			return &object;
	}
	return nullptr;
}

bool TileMap::IsInsideObject(const MapObjectDef &object, const Vec3 &position) const
{
	const int16_t ox = static_cast<int16_t>(object.x);
	const int16_t oy = static_cast<int16_t>(object.y);
	const Vec3 a = TilePosition(ox, oy, 0.0f, 0.0f);
	if (a.x + kObjectInset > position.x || a.z + kObjectInset > position.z)
		return false;
	const int w = object.w != 0 ? object.w : 1;
	const int h = object.h != 0 ? object.h : 1;
	const Vec3 b = TilePosition(TileGround::OffsetTile(ox, w), TileGround::OffsetTile(oy, h), 0.0f, 0.0f);
	return position.x <= b.x - kObjectInset && position.z <= b.z - kObjectInset;
}

MapObjectDef *TileMap::FindEntityRecordToward(uint8_t direction)
{
	const Vec3 v = DirectionVector(direction);
	const Vec3 middle = TilePosition(static_cast<int16_t>(mapData.width), static_cast<int16_t>(mapData.height), 0.5f, 0.5f) * 0.5f;
	float best = 0.0f;
	MapObjectDef *result = nullptr;
	for (MapObjectDef &record : mapData.entityRecords) {
		const Vec3 offset = TilePosition(static_cast<int16_t>(record.x), static_cast<int16_t>(record.y), 0.5f, 0.5f) - middle;
		const float along = glm::dot(v, Vec3SafeNormalize(offset, Vec3(0.0f, 1.0f, 0.0f)));
		// Later records win ties.
		if (along >= best) {
			best = along;
			result = &record;
		}
	}
	return result;
}

MapObjectDef *TileMap::FindSayObject(MapObjectDef *object)
{
	for (int hop = 0; hop <= kMaxSayHops && object != nullptr; hop++) {
		const MapCommand *next = nullptr;
		for (size_t i = 0; i < object->commandCount && next == nullptr; i++) {
			const size_t index = static_cast<size_t>(object->firstCommand) + i;
			if (index >= mapData.commands.size())
				break;
			const MapCommand &command = mapData.commands[index];
			if (command.code == kCmdSay)
				return object;
			const bool jump = (command.code == kCmdIf && IsGroupEnabled(command.argument))
				|| (command.code == kCmdIfNot && !IsGroupEnabled(command.argument)) || command.code == kCmdThen;
			if (jump)
				next = &command;
		}
		if (next == nullptr)
			return nullptr; // nothing said and no branch taken
		object = FindObjectById(next->value);
	}
	return nullptr;
}

void TileMap::ObjectEdgeTile(const MapObjectDef &object, const Vec3 &direction, int16_t &x, int16_t &y) const
{
	const Vec3 s = SnapDirectionToAxis(direction);
	x = TileGround::ToTileCoordinate(static_cast<float>(static_cast<int16_t>(object.x)) + static_cast<float>(object.w) * (s.x + 1.0f) * 0.5f);
	y = TileGround::ToTileCoordinate(static_cast<float>(static_cast<int16_t>(object.y)) + static_cast<float>(object.h) * (s.z + 1.0f) * 0.5f);
}

// --- Entity operations -------------------------------------------------------

void TileMap::Init()
{
	if (scene == nullptr)
		return;
	for (MapObjectDef &record : mapData.entityRecords) {
		Entity *entity = record.entity;
		if (entity != nullptr && entity->lifeState < kLifeDestroyed && entity->scene != scene)
			scene->AddEntity(entity);
	}
}

void TileMap::Render()
{
	const glm::mat4 model = transform.GetMatrix();
	for (int slot = 0; slot < kLayerSlotCount; slot++)
		RenderLayer(slot, model);
}

void TileMap::RenderLayer(int slot, const glm::mat4 &model)
{
	if (slot >= 0 && slot < kLayerSlotCount)
		renderers[slot].Draw(&meshes[slot], model);
}
