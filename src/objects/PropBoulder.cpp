#include "objects/PropBoulder.h"

#include "engine/collision/Collider.h"
#include "engine/core/MathUtil.h"
#include "engine/render/Mesh.h"
#include "map/TileCode.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/GameLink.h"
#include "objects/Shadow.h"

#include <cmath>

namespace {
constexpr const char *kModelFile = "models/boulder.iqm";
constexpr const char *kTextureFile = "mats/rock.png";
} // namespace

namespace {
constexpr float kSpeed = 6.0f; // world units per second
constexpr float kWaterFloor = 0.0f;
const Vec3 kBoxSize(1.1f, 1.1f, 1.1f);
const Vec3 kBoxOffset(0.0f, 0.6f, 0.0f);
constexpr float kShadowSize = 2.0f;
constexpr float kRenderLift = 0.8f;  // the model's middle above its feet
constexpr float kStepHeight = 0.3f;
constexpr uint8_t kGentlePower = 1;  // below "Intended"
constexpr uint8_t kPower = 2;
constexpr uint8_t kBrutalPower = 8;  // "Brutal" and above
constexpr int kIntended = 1;
constexpr int kBrutal = 2;
constexpr float kSmallAxisSquared = 1e-6f;
const Vec3 kUp(0.0f, 1.0f, 0.0f);
} // namespace

PropBoulder::PropBoulder() : PushableProp(kKind, -1)
{
}

uint8_t PropBoulder::StrikePowerFor(int difficulty)
{
	if (difficulty < kIntended)
		return kGentlePower;
	return difficulty >= kBrutal ? kBrutalPower : kPower;
}

void PropBoulder::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, kTextureFile, kShader);
}

void PropBoulder::Start()
{
	PushableProp::Start();
	SetModel(kModelFile, kTextureFile, 1.0f);
	speed = kSpeed;
	waterFloor = kWaterFloor;
	MakeSolid(kBoxSize, kBoxOffset);
	shadowSize = kShadowSize;
	shadow->SetShape(Shadow::kShapeCircle);
	renderOffset.y = kRenderLift;
	stepHeight = kStepHeight;
	stepCheck = 0;
	stopMode = kStopAtSolids;
	strikePower = StrikePowerFor(GameLink::Get().Difficulty());
	previousPosition = transform.position;
}

void PropBoulder::OnCollide(Entity *other)
{
	PushableProp::OnCollide(other);
	if (IsSliding())
		PlayThud();
}

void PropBoulder::OnEnterTile()
{
	if (map == nullptr)
		return;
	const uint32_t kind = map->TileAt(tile.x, tile.y).kind;
	if (!IsDiagonalKind(kind))
		return;
	// The diagonal's normal points to its high half: the boulder turns the
	// other way, downhill, off the slope.
	const Vec3 downhill = -DiagonalNormal(kind);
	pushVelocity = SnapDirectionToAxis(Vec3SafeNormalize(pushVelocity + downhill, kUp));
	moving = 1;
	PlayThud();
}

void PropBoulder::UpdateAnimation(float dt)
{
	if (IsSliding()) {
		const float distance = Vec3Length(transform.position - previousPosition);
		if (distance <= 0.0f) {
			stuckTimer += dt;
			if (stuckTimer > kStuckSeconds)
				Stop();
		} else {
			stuckTimer = 0.0f;
		}
		Roll(distance);
	}
	if (surfaceLevel == kLevelWater && transform.position.y <= waterFloor)
		transform.position.y = waterFloor;
	previousPosition = transform.position;
}

void PropBoulder::Roll(float distance)
{
	const Vec3 along = Vec3SafeNormalize(moveVelocity, kUp);
	const Vec3 axis = glm::cross(along, kUp);
	// Standing still or moving straight up gives no axis to roll about.
	if (Vec3LengthSquared(axis) < kSmallAxisSquared || distance == 0.0f)
		return;
	transform.rotation = glm::angleAxis(-distance, glm::normalize(axis)) * transform.rotation;
}
