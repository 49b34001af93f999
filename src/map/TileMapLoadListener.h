#pragma once

// Told by the tile map around a load: once before the old map is cleared, and
// once when the new map is built and its entities exist. The in-game scene and
// the map preloader implement it; the tile map never owns its listener.
class TileMapLoadListener {
public:
	virtual ~TileMapLoadListener() = default;
	// The old map is about to go: save what must outlive it.
	virtual void OnMapUnload() = 0;
	// name: the path that was asked for, at most 63 characters.
	virtual void OnMapLoaded(const char *name) = 0;
};
