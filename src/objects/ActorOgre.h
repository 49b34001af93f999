#pragma once

#include "objects/Actor.h"

// The ogre: a big brute with an axe that follows the player while in sight,
// growls before it swings and side-steps after a hit. Its touch costs more
// hearts on the hardest difficulty.
class ActorOgre : public Actor {
public:
	static constexpr uint32_t kKind = 53;
	static constexpr uint32_t kHeldKind = 44; // the axe
	static constexpr uint8_t kBrutalContactDamage = 3;

	ActorOgre();
	void LoadModel() override;
	void LoadFootsteps() override;
};
