#pragma once

#include "objects/NPCActor.h"

#include <cstdint>

// The temptress: a hostile townswoman whom no weapon harms; only someone
// carrying the dress can strike her down, and her fall opens her
// placement's group. Touching her costs nothing.
class NPCTemptress : public NPCActor {
public:
	static constexpr uint32_t kKind = 31;
	static constexpr float kScale = 0.33f;
	static constexpr uint32_t kDressKind = 48;
	static constexpr float kRadius = 0.8f;
	static constexpr float kBodySize = 4.0f;    // side of her collider cube
	static constexpr float kBodyLift = 2.0f;    // the cube stands on her feet
	static constexpr float kBodyWeight = 2.0f;

	NPCTemptress();

	// The actor's start gives every living actor a plain solid body; hers
	// is put back.
	void Start() override;
	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	// Refused (false) unless the striker is an actor holding the dress.
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override;
	bool AcceptsBlowFrom(Actor *attacker) override;

	static bool HoldsDress(const MapEntity *attacker);

private:
	void SetUpBody();
};
