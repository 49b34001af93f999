#pragma once

#include "objects/PropDoor.h"

// A wooden gate: it swings like a door, but nothing (its own physics
// included) can shift it from where the map put it.
class PropGate : public PropDoor {
public:
	static constexpr uint32_t kKind = 17;

	PropGate() : PropDoor(kKind) {}

	void Start() override;
	void Update(float dt) override;

	const Vec3 &GetPinnedPosition() const { return pinnedPosition; }
	void AddLooks(std::vector<EntityLook> &looks) const override;

protected:
	void LoadModel() override;

private:
	Vec3 pinnedPosition = Vec3(0.0f);
};
