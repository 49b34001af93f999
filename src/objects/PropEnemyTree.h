#pragma once

#include "map/TileMapData.h"
#include "objects/PropTree.h"

#include <functional>
#include <memory>

class Actor;
class Scene;

// A tree with a bird perched on top. The bird watches for the nearest foe,
// turns to it, and swoops when one comes near along the tree's row; once it
// has lost its target and flown back to the perch it settles again. Chopping
// the tree defeats the bird. Without a bird (none could be made, or the tree
// was already a stump) it is a plain tree.
//
// The tree owns its bird and the bird's own map object record: the bird is
// listed in the tree's scene for its updates and drawing, but it leaves with
// the tree and is deleted with it, so no bird outlives its tree (a map clear
// deletes both). The record outlives the bird, which points at it.
class PropEnemyTree : public PropTree {
public:
	static constexpr uint32_t kKind = 60;
	static constexpr uint32_t kBirdKind = 61;

	// Makes the bird of a new enemy tree; null makes none. The default asks
	// the entity factory for kind 61.
	using BirdMaker = std::function<MapEntity *()>;
	// An empty maker goes back to the default.
	static void SetBirdMaker(BirdMaker maker);

	PropEnemyTree();
	~PropEnemyTree() override;

	void Start() override;
	void Update(float dt) override;
	void NotifyRemoved() override;
	void SetChopped(bool value) override;

	// Where the perched bird sits: above the crown, leaning with the sway.
	Vec3 PerchPoint() const;
	// The bird while the tree still has one; never owned by the caller.
	Actor *GetBird() const;
	bool IsPerched() const { return perched != 0; }
	MapEntity *GetBirdTarget() const { return birdTarget; }

private:
	// The bird is freed once its scene took it out and deleted it.
	void ForgetBirdFreedElsewhere();

	// Declared before the bird, so the bird goes first and can still unlink
	// itself from its record.
	std::unique_ptr<MapObjectDef> birdRecord;
	std::unique_ptr<MapEntity> bird;
	uint8_t perched = 1;
	float lookTimer = 0.0f;           // seconds until the bird looks around again
	MapEntity *birdTarget = nullptr;  // not owned; only read while the scene lists it
	Scene *birdScene = nullptr;       // the scene the bird was added to; not owned
};
