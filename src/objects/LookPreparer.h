#pragma once

#include "engine/render/Model3D.h"
#include "objects/EntityLook.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class FXEntity;
class Scene;
class TileMap;

// Readies a freshly loaded map and the looks of the scene's map entities that
// have not started yet (hidden ones too, which start when shown), so that
// the first frame of play, which would do it all at once, finds everything
// done. The in-game scene steps it while a map's title shows, when nothing
// else of the map runs. The first steps have the map's layers drawn, one a
// step, where nothing can show (every corner on one point far beyond the
// view), which has the graphics driver build what it needs to draw them.
// Then each look takes three steps: its model file is read into the cache,
// then its texture and shader, then it is drawn the same way. Last, one step
// for each kind of particle burst: an instance of the kind is made, as its
// pool would make it, and drawn far beyond the view, so that the first dust
// or clippings of play find their texture read and their drawing built. (The
// other effect kinds make their models on their first start.)
// What it does changes nothing of the entities, of play or of the picture.
class LookPreparer {
public:
	LookPreparer();
	~LookPreparer();

	// Starts over from the scene's first entity.
	void Restart();
	// The next part: the map's draw, then each look, then each burst; the
	// entities are asked for their looks in the scene's order, one entity at
	// a time. Nothing once every burst has been drawn.
	void Step(const Scene &scene);
	// The draw the last step made ready, if one waits: the map's layers, a
	// look or a burst, into the draw buffer set; a burst sets its own render
	// mode.
	void Draw(TileMap &map);

private:
	enum Part : uint8_t {
		kDrawMap,
		kReadModel,
		kReadMaterial,
		kDone, // between looks
		kDrawEffect,
	};

	// Moves to the next look to ready; false when none is left.
	bool NextLook(const Scene &scene);
	// Makes the next kind of burst, placed for its draw; false when none is
	// left.
	bool NextEffect();

	std::vector<EntityLook> looks; // of the entity asked last
	size_t current = 0;
	Part part = kDone;
	uint16_t nextEntity = 0;
	int mapSlot = 0; // map layer slots made ready so far
	bool drawDue = false; // the last step made a draw ready
	Model3D warmModel; // the look last readied, for its draw
	uint32_t effectKind = 0; // effect kinds looked at so far
	std::unique_ptr<FXEntity> warmEffect; // the burst last made, for its draw
};
