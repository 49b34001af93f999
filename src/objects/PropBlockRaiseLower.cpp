#include "objects/PropBlockRaiseLower.h"

#include "engine/collision/Collider.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/FXSpawner.h"
#include "objects/SpawnFX.h"
#include "objects/WorldSound.h"

namespace {
constexpr float kRadius = 1.1f;
constexpr const char *kModelFile = "models/rockblock.iqm";
const Vec3 kBoxSize(2.0f, 0.9f, 2.0f);
const Vec3 kBoxOffset(0.0f, 1.0f, 0.0f);
constexpr float kBoxWeight = 1000.0f;
constexpr float kSoundVolume = 0.65f;
} // namespace

PropBlockRaiseLower::PropBlockRaiseLower(uint32_t entityKind, uint8_t sinkWhenOn)
	: Prop(entityKind), sinkWhenOn(sinkWhenOn)
{
}

bool PropBlockRaiseLower::WantsLowered() const
{
	const bool groupOn = map != nullptr && map->IsGroupEnabled(static_cast<uint8_t>(mapObject->flag));
	return groupOn != (sinkWhenOn != 0);
}

const char *PropBlockRaiseLower::TextureName() const
{
	const bool blue = (mapObject->flag & 1) != 0;
	return blue ? "mats/rock-blue.png" : "mats/rock-red.png";
}

void PropBlockRaiseLower::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModelFile, TextureName(), kShader);
}

void PropBlockRaiseLower::Start()
{
	radius = kRadius;
	Prop::Start();
	SetModel(kModelFile, TextureName(), 1.0f);
	CreateCollider(Collider::kModeStatic, kBoxSize, kBoxOffset);
	collider->weight = kBoxWeight;
	followsGround = 0;
	killable = 0;

	restPosition = homePosition;
	lowered = WantsLowered() ? 1 : 0;
	if (lowered != 0) {
		restPosition.y -= kSinkDepth;
		SetVisible(restPosition.y > kVisibleAbove);
		if (!IsVisible())
			collider->mode = Collider::kModeIgnored;
	}
	transform.position = restPosition;
}

void PropBlockRaiseLower::Update(float dt)
{
	MapEntity::Update(dt);
	const bool down = WantsLowered();
	if (down != (lowered != 0)) {
		restPosition = homePosition;
		if (down) {
			restPosition.y -= kSinkDepth;
			collider->mode = Collider::kModeIgnored;
			SetVisible(homePosition.y > kVisibleAbove);
		} else {
			collider->mode = Collider::kModeStatic;
			SetVisible(true);
		}
		WorldSound::PlayAt(down ? "sfx/blockdown.wav" : "sfx/blockup.wav", transform.position, kSoundVolume);
		SpawnFX(this, kFXKindDust, Vec3(0.0f));
		lowered = down ? 1 : 0;
	}
	transform.position += ClampLength(restPosition - transform.position, kMoveSpeed * dt);
}
