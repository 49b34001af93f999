#pragma once

#include "objects/Actor.h"

// The common chook: a hen that roams near home, hops, then charges whoever
// comes near and dodges aside after a hit. Its kin (the big chook, the boss,
// the bomb) share the class and differ in numbers and behaviours: each builds
// its behaviours once it is fully constructed, so each gets the set-up of its
// own kind.
class ActorChook : public Actor {
public:
	static constexpr uint32_t kKind = 50;

	ActorChook();

	// Builds the behaviours once the entity is added.
	void Init() override;
	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void LoadFootsteps() override;
	// The targeting behaviour of this kind, added with replace.
	virtual void SetupBehaviours();

protected:
	// For the kin: the row of their own kind.
	explicit ActorChook(uint32_t kind);

private:
	// A hen of the chook game wears the game's own figure.
	bool InChookGame() const;

	uint8_t behavioursBuilt = 0;
};
