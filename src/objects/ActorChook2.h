#pragma once

#include "objects/ActorChook.h"

// The big chook: more hearts, a longer reach and a faster charge than the
// common one, and it dodges after every hit.
class ActorChook2 : public ActorChook {
public:
	static constexpr uint32_t kKind = 51;

	ActorChook2();
	void SetupBehaviours() override;
};
