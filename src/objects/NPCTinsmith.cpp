#include "objects/NPCTinsmith.h"

#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/FXSpawner.h"
#include "objects/FleeBehaviour.h"
#include "objects/Party.h"
#include "objects/SpawnFX.h"

namespace {
constexpr const char *kOwnFigure = "models/tinsmith.iqm";
constexpr const char *kDarkFigure = "models/blacklord.iqm";
constexpr const char *kTexture = "models/blacklord.png";
} // namespace

NPCTinsmith::NPCTinsmith()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-black%d.wav", 2);
}

const MapCommand *NPCTinsmith::FleeLine() const
{
	const MapCommand *flee = map != nullptr ? map->FindLinkedOfKind(mapObject, kCmdFlee) : nullptr;
	return flee != nullptr && !Party::Instance().IsMember(kKind) ? flee : nullptr;
}

void NPCTinsmith::Start()
{
	NPCActor::Start();
	if (const MapCommand *flee = FleeLine()) {
		AddBehaviour(std::make_unique<FleeBehaviour>(this, flee->value), true);
		faction = kFactionHostile;
	}
	LoadModel();
	rememberedFaction = faction;
}

void NPCTinsmith::Update(float dt)
{
	NPCActor::Update(dt);
	if (faction == rememberedFaction)
		return;
	rememberedFaction = faction;
	LoadModel();
	SpawnFX(this, kFXKindEvaporate, Vec3(0.0f));
}

void NPCTinsmith::AddLooks(std::vector<EntityLook> &looks) const
{
	// His start puts on the figure of his side, then the dark one when he
	// is to flee.
	AddFigure(looks, faction == kFactionHostile ? kDarkFigure : kOwnFigure, kTexture);
	if (faction != kFactionHostile && FleeLine() != nullptr)
		AddFigure(looks, kDarkFigure, kTexture);
}

void NPCTinsmith::LoadModel()
{
	LoadFigure(faction == kFactionHostile ? kDarkFigure : kOwnFigure, kTexture, kScale);
	NPCActor::LoadModel();
}
