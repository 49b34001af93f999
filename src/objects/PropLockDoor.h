#pragma once

#include "objects/PropDoor.h"

// A door with a lock: shut and locked until its lock's group opens it (or the key does). Without an "unlock" line it has no lock to keep it shut.
class PropLockDoor : public PropDoor {
public:
	static constexpr uint32_t kKind = 7;

	PropLockDoor();
	void AddLooks(std::vector<EntityLook> &looks) const override;

protected:
	void LoadModel() override;
};
