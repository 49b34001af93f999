#pragma once

#include "objects/Actor.h"

// The dark lord in person. He has no behaviour of his own: map scripts walk
// him about and make him fight. One blow ends him.
class ActorVozaduzurizaz : public Actor {
public:
	static constexpr uint32_t kKind = 56;

	ActorVozaduzurizaz();
	void LoadModel() override;
};
