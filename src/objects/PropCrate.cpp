#include "objects/PropCrate.h"

#include "engine/collision/Collider.h"
#include "objects/EntityLook.h"

namespace {
constexpr const char *kModelFile = "models/crate.iqm";
constexpr const char *kTextureFile = "mats/crate.png";
} // namespace

namespace {
constexpr float kRadius = 0.9f;
constexpr float kScale = 1.1f;
constexpr float kSpeed = 12.0f; // world units per second
const Vec3 kBoxSize(1.5f, 1.1f, 1.5f);
const Vec3 kBoxOffset(0.0f, 0.55f, 0.0f);
constexpr float kShadowSize = 1.3f;
} // namespace

PropCrate::PropCrate() : PushableProp(kKind, 1)
{
}

void PropCrate::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, kTextureFile, kShader);
}

void PropCrate::Start()
{
	PushableProp::Start();
	radius = kRadius;
	SetModel(kModelFile, kTextureFile, kScale);
	speed = kSpeed;
	waterFloor = kWaterFloor;
	MakeSolid(kBoxSize, kBoxOffset);
	shadowSize = kShadowSize;
}
