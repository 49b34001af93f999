#pragma once

#include "objects/Actor.h"

// The dark lord's minion: a small, very fast figure that rushes the player
// in long charges. It wears the people's skeleton and animations.
class ActorMinion : public Actor {
public:
	static constexpr uint32_t kKind = 54;

	ActorMinion();
	void LoadModel() override;
	void LoadFootsteps() override;
};
