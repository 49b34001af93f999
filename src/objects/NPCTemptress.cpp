#include "objects/NPCTemptress.h"

#include "engine/collision/Collider.h"

namespace {
constexpr const char *kFigureModel = "models/temptress.iqm";
constexpr const char *kFigureTexture = "models/temptress.png";
} // namespace

NPCTemptress::NPCTemptress()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-tempt%d.wav", 2);
	defeatOpensGroup = 1;
}

void NPCTemptress::AddLooks(std::vector<EntityLook> &looks) const
{
	AddFigure(looks, kFigureModel, kFigureTexture);
}

void NPCTemptress::LoadModel()
{
	LoadFigure(kFigureModel, kFigureTexture, kScale);
	NPCActor::LoadModel();
	SetUpBody();
	faction = kFactionHostile;
	contactDamage = 0;
}

void NPCTemptress::Start()
{
	NPCActor::Start();
	if (HasHearts())
		SetUpBody();
}

void NPCTemptress::SetUpBody()
{
	radius = kRadius;
	CreateCollider(Collider::kModeStatic, Vec3(kBodySize), Vec3(0.0f, kBodyLift, 0.0f));
	collider->weight = kBodyWeight;
}

bool NPCTemptress::HoldsDress(const MapEntity *attacker)
{
	// A blow from the ground or a wall has no striker to read.
	const Actor *striker = IsActor(attacker) ? dynamic_cast<const Actor *>(attacker) : nullptr;
	return striker != nullptr && striker->GetStats().heldKind == kDressKind;
}

bool NPCTemptress::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	if (!HoldsDress(attacker))
		return false;
	return NPCActor::Strike(attacker, damage, power);
}

bool NPCTemptress::AcceptsBlowFrom(Actor *attacker)
{
	return HoldsDress(attacker) && NPCActor::AcceptsBlowFrom(attacker);
}
