#pragma once

#include "objects/Actor.h"

// The blob: a slow lump of slime that hops and lunges at the player. Its
// touch does not wound: it swallows whatever the victim holds. Like the
// chooks it builds its behaviours once fully constructed.
class ActorBlob : public Actor {
public:
	explicit ActorBlob(uint32_t kind);

	void Init() override;
	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void LoadFootsteps() override;
	// Empties the victim's hands; never takes hearts. Always lands.
	bool Attack(MapEntity *target, uint8_t damage, float power) override;
	// Touching the player is its attack.
	void OnCollide(Entity *other) override;
	virtual void SetupBehaviours();

private:
	uint8_t behavioursBuilt = 0;
};
