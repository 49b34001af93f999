#pragma once

#include "objects/FXEntity.h"

#include <cstdint>

// The values that tell one weapon's swing from another's.
struct FXStrikeValues {
	float boxSize;            // edge of the cubic hit box
	float reach;              // how far ahead of the swinger the box centre lies
	uint8_t damage;           // half hearts
	float power;              // knock-back
	const char *soundPattern; // launch sound; "%d" picks one of soundCount
	int soundCount;           // 0: the pattern is the name itself
	float volume;
};

// The invisible hit box of one swing, standing before the actor that swung
// for 0.2 s. Every live entity it touches is attacked in the swinger's name
// (never the swinger itself); the first contact of the swing raises dust,
// makes the struck entity react and shakes the camera. The four weapon
// strikes differ only in their values.
class FXStrikeEntity : public FXEntity {
public:
	explicit FXStrikeEntity(const FXStrikeValues &values);

	// The hit box and the empty model, made once; then the values.
	void Start() override;
	// The box's reach along the swinger's facing, and the swish.
	void OnResume() override;
	// Stands 0.3 ahead of the source and 0.6 up. A strike taken over while
	// still running turns its box along the new swinger too.
	void Launch(Entity *source) override;
	// Dust, the struck entity's hurt reaction and a small camera shake.
	void OnHitEntity(Entity *hit) override;

	const FXStrikeValues &GetValues() const { return values; }

private:
	// The box centre along the source's facing.
	void PlaceBox();

	FXStrikeValues values;
};
