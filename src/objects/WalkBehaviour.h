#pragma once

#include "objects/ActorBehaviour.h"

class TileMap;
struct MapObjectDef;

// A script's walk: the actor heads for a map object (the entity placed from
// it, or else the middle of its tile rectangle) and is done once it stands
// within reach of it, height aside. The object and its map are the map's;
// the map outlives the actors it places.
class WalkBehaviour : public ActorBehaviour {
public:
	static constexpr float kWalkSpeed = 6.0f;      // world units per second
	static constexpr float kArrivedSquared = 1.8f; // squared horizontal distance

	// map is the one that holds destination; either may be null, and the walk
	// then ends at once.
	WalkBehaviour(Actor *owner, TileMap *map, MapObjectDef *destination);

	void Begin() override;
	void Update(float dt) override;
	// Where the walk goes now; false without a destination.
	bool GetDestination(Vec3 &out) const;

	TileMap *map;               // not owned
	MapObjectDef *destination;  // not owned
};
