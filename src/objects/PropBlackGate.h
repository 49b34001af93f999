#pragma once

#include "objects/PropDoor.h"

// The black stone gate: a door of rock.
class PropBlackGate : public PropDoor {
public:
	static constexpr uint32_t kKind = 25;

	PropBlackGate();
	void AddLooks(std::vector<EntityLook> &looks) const override;

protected:
	void LoadModel() override;
};
