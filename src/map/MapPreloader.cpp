#include "map/MapPreloader.h"

#include "engine/core/Scene.h"
#include "map/EntityFactory.h"
#include "map/MapFiles.h"
#include "map/MapSequence.h"
#include "map/TileMap.h"

#include <string>

namespace {

MapPreloader *currentPreloader = nullptr;

}

MapPreloader *MapPreloader::Instance()
{
	return currentPreloader;
}

void MapPreloader::SetInstance(MapPreloader *preloader)
{
	currentPreloader = preloader;
}

MapPreloader::MapPreloader(uint16_t mapId, uint16_t loadFlags, std::unique_ptr<EntityFactory> factory)
	: mapId(mapId)
	, entityFactory(std::move(factory))
{
	scene = std::make_unique<Scene>();
	tileMap = std::make_unique<TileMap>();
	tileMap->SetEntityFactory(entityFactory.get());
	// Backdrops run no scripts; a preload that asks for them gets the map's own.
	tileMap->SetSequenceMaker(MapSequence::Create);
	scene->AddEntity(tileMap.get());
	if (currentPreloader == nullptr)
		currentPreloader = this;

	// An empty path, or one that names no readable map, leaves the load
	// aborted, so IsLoading is false from the start.
	std::string path = FindMapFileByHash(mapId);
	loadState = &tileMap->Load(path.c_str(), loadFlags, nullptr);
	loadState->entitiesPerStep = kEntitiesPerStep;
}

MapPreloader::~MapPreloader()
{
	// Anything still pointing here would outlive the object.
	if (currentPreloader == this)
		currentPreloader = nullptr;
	tileMap->Clear();
	scene->Leave(nullptr);
	loadState = nullptr;
	// The tile map goes first: deleting it takes it out of whichever scene
	// lists it, this one or the title screen's.
	tileMap.reset();
	scene.reset();
	// The factory outlives the tile map that pointed at it.
	entityFactory.reset();
}

bool MapPreloader::IsLoading() const
{
	return loadState != nullptr && loadState->phase < kPhaseLoaded;
}

void MapPreloader::Step()
{
	if (IsLoading())
		tileMap->Step();
}

void MapPreloader::Finish()
{
	while (IsLoading())
		Step();
}

void MapPreloader::Discard()
{
	tileMap->Clear();
	currentPreloader = nullptr;
	loadState = nullptr;
}
