#pragma once

#include "engine/render/Model3D.h"
#include "objects/MapEntity.h"

#include <glm/gtc/quaternion.hpp>

#include <cstdint>

// A tree of the map: it sways, shakes when something hits it, and one blow
// that reaches it (the hero's rule lets only the axe through) chops it into a
// stump without collision that the map remembers by the tree's object id, so
// it stays a stump on later visits. Its look comes from the ground it stands
// on: the surface's tree texture and its two tree models, or the game's own
// when the ground names none. Some trees drop food or a heart when chopped.
// The tree owns its model and never moves.
class PropTree : public MapEntity {
public:
	static constexpr uint32_t kKind = 3;
	static constexpr const char *kShader = "shaders/tree.dsh";
	static constexpr const char *kDefaultTexture = "mats/tree.png";
	static constexpr const char *kDefaultModelEven = "models/tree4.iqm"; // tile x + y even
	static constexpr const char *kDefaultModelOdd = "models/tree2.iqm";
	static constexpr const char *kStumpModel = "models/stump.iqm";
	static constexpr float kStumpScale = 1.2f;
	static constexpr int kDropEvery = 5; // placement seeds that drop: multiples of this

	explicit PropTree(uint32_t entityKind = kKind);

	void Start() override;
	// Standing, or the stump when its group is open.
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void Update(float dt) override;
	void Render() override;
	// One shake per hurt guard: a rustle, a puff of leaves and a small shake
	// of the camera; the tree leans away from the blow for a second.
	void PlayHitSound(const Vec3 &direction) override;
	// Chops the tree. Always true.
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override;

	// The stump (no collision, no shadow) or the standing tree (solid).
	virtual void SetChopped(bool value);
	bool IsChopped() const { return chopped != 0; }

	// The seed that decides whether a placed object drops something:
	// 99 x tile x + tile y of its map object.
	static int PlacementSeed(const MapObjectDef &object);
	// The effect kind a chopped tree or cut grass throws out for the
	// attacker, or 0: nothing unless the seed is a multiple of every and the
	// attacker is an actor; a heart for a hurt attacker on an even seed below
	// the hardest difficulty, else food.
	static uint32_t DropFor(const MapEntity *attacker, int seed, int every);
	// The tint the tree shader multiplies in: warmer for positive values,
	// cooler for negative ones, never below zero.
	static Vec3 TintColour(float tint);
	// The rest turn of a plant at a world position, about the up axis.
	static glm::quat RestRotationAt(const Vec3 &position);

	Model3D model;
	glm::quat restRotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	float shakeTimer = 0.0f; // seconds
	Vec3 shakeDirection = Vec3(0.0f);
	float swayClock = 0.0f;  // seconds
	float swayRate = 1.0f;
	float sway = 0.0f;       // -1 to 1
	uint8_t chopped = 0;
	float tint = 0.0f;

protected:
	// The surface texture and models of the tree's tile, or the defaults.
	const char *TextureName() const;
	const char *StandingModelName() const;
};
