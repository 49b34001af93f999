#include "objects/NPCTinsmith.h"

#include "map/MapCommand.h"
#include "map/TileMap.h"
#include "objects/FXSpawner.h"
#include "objects/FleeBehaviour.h"
#include "objects/Party.h"
#include "objects/SpawnFX.h"

NPCTinsmith::NPCTinsmith()
	: NPCActor(kKind)
{
	SetVoice("sfx/vox-black%d.wav", 2);
}

void NPCTinsmith::Start()
{
	NPCActor::Start();
	const MapCommand *flee = map != nullptr ? map->FindLinkedOfKind(mapObject, kCmdFlee) : nullptr;
	if (flee != nullptr && !Party::Instance().IsMember(kKind)) {
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

void NPCTinsmith::LoadModel()
{
	LoadFigure(faction == kFactionHostile ? "models/blacklord.iqm" : "models/tinsmith.iqm", "models/blacklord.png", kScale);
	NPCActor::LoadModel();
}
