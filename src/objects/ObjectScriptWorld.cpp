#include "objects/ObjectScriptWorld.h"

#include "engine/core/Log.h"
#include "objects/Actor.h"
#include "objects/BlockBehaviour.h"
#include "objects/KillBehaviour.h"
#include "objects/GameLink.h"
#include "objects/Party.h"
#include "objects/Player.h"
#include "objects/PlayerStats.h"
#include "objects/TakeBehaviour.h"
#include "objects/TalkBehaviour.h"
#include "objects/WalkBehaviour.h"
#include "objects/WorldSound.h"

#include <algorithm>

static_assert(ScriptWorld::kNoHandle == kNoBehaviour, "a script's order is an actor's behaviour");

namespace {
constexpr int kMostHalves = 255; // hearts are counted in a byte
} // namespace

Actor *ObjectScriptWorld::AsActor(Entity *entity)
{
	return dynamic_cast<Actor *>(entity);
}

Player *ObjectScriptWorld::AsPlayer(Entity *entity)
{
	return dynamic_cast<Player *>(entity);
}

bool ObjectScriptWorld::IsLivePlayer(Entity *entity)
{
	Player *player = AsPlayer(entity);
	return player != nullptr && player->GetStats().hearts > 0;
}

uint16_t ObjectScriptWorld::CarriedWeight(Entity *player)
{
	Player *hero = AsPlayer(player);
	return hero != nullptr ? hero->GetStats().weight : 0;
}

void ObjectScriptWorld::TakeWeight(Entity *player, uint16_t amount)
{
	Player *hero = AsPlayer(player);
	if (hero == nullptr)
		return;
	PlayerStats &stats = hero->GetStats();
	// Worked out wide and signed: taking more than is carried leaves none.
	int32_t left = static_cast<int32_t>(stats.weight) - static_cast<int32_t>(amount);
	stats.AddWeight(static_cast<int16_t>((left < 0 ? 0 : left) - stats.weight));
}

void ObjectScriptWorld::GiveWeapon(Entity *player, uint32_t kind)
{
	if (Player *hero = AsPlayer(player))
		hero->GainWeapon(kind);
}

void ObjectScriptWorld::SetExitTarget(Entity *player, const char *mapName)
{
	if (Player *hero = AsPlayer(player))
		hero->SetExitTarget(mapName);
}

void ObjectScriptWorld::AddMaxHearts(Entity *player, uint8_t halves)
{
	if (Player *hero = AsPlayer(player)) {
		PlayerStats &stats = hero->GetStats();
		stats.maxHearts = static_cast<uint8_t>(std::min(stats.maxHearts + halves, kMostHalves));
	}
}

void ObjectScriptWorld::RefillHearts(Entity *player)
{
	if (Player *hero = AsPlayer(player))
		hero->GetStats().hearts = hero->GetStats().maxHearts;
}

void ObjectScriptWorld::AddChicken(Entity *player, uint8_t amount)
{
	if (Player *hero = AsPlayer(player))
		hero->GetStats().AddWeight(amount);
}

void ObjectScriptWorld::StorePlayerStats(Entity *player)
{
	if (Player *hero = AsPlayer(player))
		GameLink::Get().StorePlayerStats(hero->GetStats());
}

void ObjectScriptWorld::Speak(Entity *actor)
{
	// Only a real actor has a voice; the class test alone does not say so.
	if (Actor *speaker = AsActor(actor))
		speaker->PlaySoundVariant(Actor::kSpeechVoice);
}

void ObjectScriptWorld::Stop(Entity *actor)
{
	if (Actor *target = AsActor(actor))
		target->AddBehaviour(nullptr, true);
}

ScriptWorld::Handle ObjectScriptWorld::Talk(Entity *actor, Entity *player)
{
	Actor *speaker = AsActor(actor);
	return speaker != nullptr ? Assign(speaker, std::make_unique<TalkBehaviour>(speaker, player)) : kNoHandle;
}

ScriptWorld::Handle ObjectScriptWorld::Walk(Entity *actor, TileMap &map, MapObjectDef &destination)
{
	Actor *walker = AsActor(actor);
	return walker != nullptr ? Assign(walker, std::make_unique<WalkBehaviour>(walker, &map, &destination)) : kNoHandle;
}

ScriptWorld::Handle ObjectScriptWorld::Take(Entity *actor, Entity *player)
{
	Actor *taker = AsActor(actor);
	MapEntity *hero = dynamic_cast<MapEntity *>(player);
	if (taker == nullptr)
		return kNoHandle;
	return Assign(taker, std::make_unique<TakeBehaviour>(taker, hero));
}

ScriptWorld::Handle ObjectScriptWorld::Kill(Entity *actor, Entity *target)
{
	Actor *hunter = AsActor(actor);
	MapEntity *prey = dynamic_cast<MapEntity *>(target);
	if (hunter == nullptr || prey == nullptr)
		return kNoHandle;
	return Assign(hunter, std::make_unique<KillBehaviour>(hunter, prey));
}

void ObjectScriptWorld::Block(Entity *actor)
{
	if (Actor *blocker = AsActor(actor))
		blocker->AddBehaviour(std::make_unique<BlockBehaviour>(blocker), true);
}

bool ObjectScriptWorld::IsFinished(Handle handle)
{
	return IsBehaviourFinished(handle);
}

void ObjectScriptWorld::Hold(Entity *actor, uint32_t kind)
{
	if (Actor *holder = AsActor(actor))
		holder->Hold(kind, nullptr);
}

void ObjectScriptWorld::Defeat(Entity *actor)
{
	if (Actor *fallen = AsActor(actor))
		fallen->Defeat();
}

void ObjectScriptWorld::JoinParty(Entity *actor)
{
	Party::Instance().Join(AsActor(actor));
}

void ObjectScriptWorld::LeaveParty(uint32_t kind)
{
	Party::Instance().Leave(kind);
}

bool ObjectScriptWorld::IsInParty(Entity *entity)
{
	return entity != nullptr && Party::Instance().IsMember(entity->kind);
}

void ObjectScriptWorld::PlaySound(const char *fileName, float volume, uint16_t flags)
{
	WorldSound::Play(fileName, volume, flags);
}

std::unique_ptr<Entity> ObjectScriptWorld::MakeMeatMenu()
{
	return meatMenuMaker != nullptr ? meatMenuMaker() : nullptr;
}

ScriptWorld::Handle ObjectScriptWorld::Assign(Entity *entity, std::unique_ptr<ActorBehaviour> behaviour)
{
	// Live for a script: in the map's scene and not being deleted, hidden
	// or not.
	Actor *actor = IsActor(entity) ? static_cast<Actor *>(entity) : nullptr;
	if (actor == nullptr || behaviour == nullptr)
		return kNoHandle;
	if (!actor->HasHearts()) {
		LogDebug("Actor %s is dead\n", actor->mapObject != nullptr ? actor->mapObject->name.GetOr("") : "");
		return kNoHandle;
	}
	Handle handle = behaviour->GetHandle();
	actor->AddBehaviour(std::move(behaviour), true);
	return handle;
}
