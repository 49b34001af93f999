#include "objects/PropSwitch.h"

#include "engine/collision/Collider.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/WorldSound.h"

namespace {
constexpr float kRadius = 0.2f;
const Vec3 kBoxSize(0.2f, 0.5f, 0.2f);
const Vec3 kBoxOffset(0.0f, 0.5f, 0.0f);
constexpr float kSoundVolume = 0.7f;
const Vec3 kPressedScale(1.0f, 0.2f, 1.0f);
const Vec3 kRaisedScale(1.0f, 0.5f, 1.0f);
constexpr const char *kShader = "shaders/standard.dsh";
} // namespace

PropSwitch::PropSwitch(uint32_t entityKind) : MapEntity(entityKind)
{
}

void PropSwitch::Start()
{
	radius = kRadius;
	MapEntity::Start();
	CreateCollider(Collider::kModeTrigger, kBoxSize, kBoxOffset);
	followsGround = 0;
	on = map != nullptr && map->IsGroupEnabled(mapObject->Group()) ? 1 : 0;
	LoadAppearance();
}

PropSwitch::Appearance PropSwitch::Look() const
{
	const bool blue = (mapObject->id & 1) != 0;
	return {"models/switch.iqm", blue ? "mats/switch_on_blue.png" : "mats/switch_on_red.png",
		blue ? "mats/switch_off_blue.png" : "mats/switch_off_red.png", kShader, nullptr};
}

void PropSwitch::LoadAppearance()
{
	const Appearance look = Look();
	SetModel(look.model, look.onTexture, look.offTexture, look.shader, look.offShader);
}

void PropSwitch::AddLooks(std::vector<EntityLook> &looks) const
{
	const Appearance look = Look();
	EntityLook::Add(looks, look.model, look.onTexture, look.shader);
	EntityLook::Add(looks, look.model, look.offTexture, look.offShader != nullptr ? look.offShader : look.shader);
}

void PropSwitch::SetModel(const char *modelName, const char *onTexture, const char *offTexture, const char *shader,
	const char *offShader)
{
	onMaterial = Material::Get(onTexture, shader);
	offMaterial = Material::Get(offTexture, offShader != nullptr ? offShader : shader);
	model.LoadSimple(modelName, 1.0f);
	model.SetMaterialHandle(on != 0 ? onMaterial : offMaterial);
	UpdateScale();
}

void PropSwitch::SetOn(bool value, float holdSeconds)
{
	if (value != (on != 0)) {
		on = value ? 1 : 0;
		model.SetMaterialHandle(value ? onMaterial : offMaterial);
		if (map != nullptr)
			map->SetGroupFlag(mapObject->Group(), value);
		WorldSound::PlayAt(value ? kOnSound : kOffSound, transform.position, kSoundVolume);
		UpdateScale();
	}
	if (value)
		holdTimer = holdSeconds;
}

void PropSwitch::UpdateScale()
{
	if (squash != 0)
		transform.SetScale(on != 0 ? kPressedScale : kRaisedScale);
}

void PropSwitch::OnCollide(Entity *other)
{
	(void)other;
	SetOn(true, kTouchHold);
}

void PropSwitch::Update(float dt)
{
	MapEntity::Update(dt);
	if (holdTimer <= 0.0f)
		return;
	holdTimer -= dt;
	const bool touched = collider != nullptr && !collider->contacts.empty();
	if (holdTimer <= 0.0f && !touched)
		SetOn(false, 0.0f);
}

void PropSwitch::Render()
{
	MapEntity::Render();
	if (model.IsLoaded())
		model.Render(transform.GetMatrix());
}
