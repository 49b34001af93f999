#pragma once

#include "objects/Prop.h"

// A rock block that sinks by 1.5 (or rises back) when the map group named
// by its "flag" changes, so a switch whose id is that flag moves it. A
// lowering block sinks while its group is on, a raising block while it is
// off; sunk below the ground, it lets walkers pass. It moves toward its rest
// place at up to 10 units a second.
class PropBlockRaiseLower : public Prop {
public:
	static constexpr float kSinkDepth = 1.5f;   // world units
	static constexpr float kMoveSpeed = 10.0f;  // world units per second
	static constexpr float kVisibleAbove = 0.3f;

	// sinkWhenOn is the group state at which the block stands up: 0 for a
	// lowering block (down while its group is on), 1 for a raising one.
	PropBlockRaiseLower(uint32_t entityKind, uint8_t sinkWhenOn);

	void Start() override;
	// Blue or red, as its flag's lowest bit says.
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void Update(float dt) override;

	bool IsLowered() const { return lowered != 0; }
	const Vec3 &GetRestPosition() const { return restPosition; }

private:
	const char *TextureName() const;
	// Whether the block should be down now.
	bool WantsLowered() const;

	uint8_t sinkWhenOn;
	uint8_t lowered = 0;
	Vec3 restPosition = Vec3(0.0f);
};
