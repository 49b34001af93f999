#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>
#include <vector>

class Prop;
struct EntityLook;

// How one kind of static furniture is set up: its size, model, texture,
// collision box and shadow. One row per kind in one table; the furniture
// classes look up their row and apply it at their start, then add what is
// their own (the hut's store model, the table's low top, the bridge's lift).
struct FurnitureSetup {
	static constexpr uint8_t kNoShadow = 0;
	static constexpr uint8_t kRoundShadow = 1;
	static constexpr uint8_t kSquareShadow = 2;

	uint32_t kind;
	float radius;
	const char *model;
	const char *texture;
	float scale;
	int32_t colliderMode;
	Vec3 colliderSize;   // zero: a cube of twice the radius on the ground
	Vec3 colliderOffset;
	float colliderWeight; // 0 keeps the collider's own
	uint8_t shadowShape;
	float shadowSize;
	float shadowLift;    // 0 keeps the shadow's own
	float shadowStretch; // x against y and z
};

// The furniture table and its one way of being applied.
class PropFurniture {
public:
	// The row of an entity kind; null for kinds that are not furniture.
	static const FurnitureSetup *Find(uint32_t kind);
	// Radius, the prop start, the model (modelName and textureName override
	// the row's when not null), the collider, the flags and the shadow, in
	// that order. Kinds without a row get the prop start alone.
	static void SetUp(Prop &prop, const char *modelName = nullptr, const char *textureName = nullptr, float scale = 0.0f);
	// The look SetUp loads for the same names; nothing for a kind without a
	// row.
	static void AddLook(std::vector<EntityLook> &looks, uint32_t kind, const char *modelName = nullptr,
		const char *textureName = nullptr);
};
