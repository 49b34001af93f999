#pragma once

#include "engine/render/Model3D.h"
#include "objects/EntityLook.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Scene;
class TileMap;

// Readies a freshly loaded map and the looks of the scene's map entities that
// have not started yet (hidden ones too, which start when shown), so that the first frame of play, which would do it
// all at once, finds everything done. The in-game scene steps it while a
// map's title shows, when nothing else of the map runs. The first steps have
// the map's layers drawn, one a step, where nothing can show (every corner on
// one point far beyond the view), which has the graphics driver build what
// it needs to draw them. Then each look takes three steps: its model file is
// read into the cache, then its texture and shader, then it is drawn the
// same way.
// What it does changes nothing of the entities, of play or of the picture.
class LookPreparer {
public:
	// Starts over from the scene's first entity.
	void Restart();
	// The next part: the map's draw, then each look; the entities are asked
	// for their looks in the scene's order, one entity at a time. Nothing
	// once every entity has been asked.
	void Step(const Scene &scene);
	// The draw the last step made ready, if one waits: the map's layers or a
	// look, into the draw buffer and render mode set.
	void Draw(TileMap &map);

private:
	enum Part : uint8_t {
		kDrawMap,
		kReadModel,
		kReadMaterial,
		kDone, // between looks
	};

	// Moves to the next look to ready; false when none is left.
	bool NextLook(const Scene &scene);

	std::vector<EntityLook> looks; // of the entity asked last
	size_t current = 0;
	Part part = kDone;
	uint16_t nextEntity = 0;
	int mapSlot = 0; // map layer slots made ready so far
	bool drawDue = false; // the last step made a draw ready
	Model3D warmModel; // the look last readied, for its draw
};
