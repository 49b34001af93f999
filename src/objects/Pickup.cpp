#include "objects/Pickup.h"

#include "engine/collision/Collider.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/GameLink.h"

#include <cmath>

namespace {

constexpr float kShadowSize = 0.75f;
constexpr float kTurn = 6.2831855f;   // one spin, radians
constexpr float kSpinSpread = 10.0f;  // x weighs this much more than z in the starting spin

// The look of the pickups with a fixed model. Coins and coolers are found
// once per game: their flags (by the object's name) keep them away.
struct PickupLook {
	uint32_t kind;
	const char *model;
	const char *texture;
	float scale;
	bool oncePerGame;
};

const PickupLook kLooks[] = {
	{37, "models/dragoncoin.iqm", "models/dragoncoin.png", 0.7f, true},
	{39, "models/cooler.iqm", "models/cooler.png", 0.4f, true},
	{42, "models/key.iqm", "models/key.png", 1.0f, false},
	{43, "models/swordsword.iqm", "models/sword.png", 0.3f, false},
	{44, "models/swordaxe.iqm", "models/sword.png", 0.3f, false},
	{45, "models/swordfire.iqm", "models/swordfire.png", 0.3f, false},
	{46, "models/swordelectric.iqm", "models/swordelectric.png", 0.3f, false},
	{47, "models/swordfire.iqm", "models/swordice.png", 0.3f, false},
	{48, "models/dress.iqm", "models/temptress.png", 1.0f, false},
	{49, "models/swordsword.iqm", "models/sword.png", 0.3f, false},
};

const PickupLook *FindLook(uint32_t kind)
{
	for (const PickupLook &look : kLooks) {
		if (look.kind == kind)
			return &look;
	}
	return nullptr;
}

} // namespace

Pickup::Pickup(uint32_t entityKind) : Prop(entityKind)
{
	shadowSize = kShadowSize;
}

void Pickup::AddLookOf(std::vector<EntityLook> &looks, uint32_t kind)
{
	if (const PickupLook *look = FindLook(kind))
		EntityLook::Add(looks, look->model, look->texture, kShader);
}

void Pickup::AddLooks(std::vector<EntityLook> &looks) const
{
	if (!TakenBefore())
		AddLookOf(looks, GetKind());
}

bool Pickup::TakenBefore() const
{
	return map != nullptr && map->IsGroupEnabled(mapObject->Group());
}

void Pickup::Start()
{
	spin = std::fmod(transform.position.z - kSpinSpread * transform.position.x, kTurn);
	if (TakenBefore()) {
		Remove(); // the scene frees it
		return;
	}
	Prop::Start();
	CreateCollider(Collider::kModeTrigger, Vec3(0.0f), Vec3(0.0f));
}

void Pickup::StartWithModel()
{
	Pickup::Start();
	if (!IsStillPlaced())
		return;
	const PickupLook *look = FindLook(GetKind());
	if (look == nullptr)
		return;
	SetModel(look->model, look->texture, look->scale);
	if (look->oncePerGame && GameLink::Get().FlagId(mapObject->key))
		SetActive(false);
}

void Pickup::Update(float dt)
{
	spin += dt;
	transform.position = homePosition + Vec3(0.0f, kFloatHeight + kBobHeight * std::sin(spin), 0.0f);
	transform.LookAt(transform.position + Vec3(std::cos(spin), 0.0f, std::sin(spin)));

	const uint16_t flag = mapObject->flag;
	const bool shown = flag == 0 || (map != nullptr && map->IsGroupEnabled(static_cast<uint8_t>(flag)));
	if (shown != (present != 0)) {
		present = shown ? 1 : 0;
		CreateCollider(shown ? Collider::kModeTrigger : Collider::kModeIgnored, Vec3(0.0f), Vec3(0.0f));
	}
}

void Pickup::Render()
{
	if (present == 0)
		return;
	if (scene == nullptr) {
		// In a hand: the holder placed it at the bone; a shadow would lie
		// on the ground under the holder.
		if (model.IsLoaded())
			model.Render(transform.GetMatrix());
		return;
	}
	Prop::Render();
}

void Pickup::OnTaken(Player *player)
{
	(void)player;
}
