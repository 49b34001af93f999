#pragma once

#include "objects/ActorChook.h"

// The chook boss: a huge hen with many hearts that charges long and hard
// without hopping first and keeps to a short leash around its nest.
class ActorChookBoss : public ActorChook {
public:
	static constexpr uint32_t kKind = 52;

	ActorChookBoss();
	void SetupBehaviours() override;
};
