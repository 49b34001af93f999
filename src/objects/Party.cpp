#include "objects/Party.h"

#include "engine/collision/Collider.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/FollowBehaviour.h"
#include "objects/GameLink.h"
#include "objects/NPCActor.h"

#include <algorithm>

namespace {

// The manager while it exists; entities freed before it is built or after it
// is gone (at exit) find nobody to tell.
Party *liveParty = nullptr;

} // namespace

Party &Party::Instance()
{
	static Party party;
	return party;
}

Party::Party()
{
	liveParty = this;
}

Party::~Party()
{
	// At exit the scenes that listed the members may be gone already: the
	// members are left alone, only forgotten.
	members.clear();
	liveParty = nullptr;
}

uint16_t Party::FlagId(uint32_t kind)
{
	return (uint16_t)(HashName("party") + kind);
}

bool Party::IsMember(uint32_t kind) const
{
	return GameLink::Get().FlagId(FlagId(kind));
}

Actor *Party::FindListed(uint32_t kind) const
{
	for (Actor *member : members) {
		if (member->GetKind() == kind)
			return member;
	}
	return nullptr;
}

void Party::RestoreMembers(TileMap *tileMap)
{
	map = tileMap;
	for (uint32_t kind = kFirstMemberKind; kind <= kLastMemberKind; kind++) {
		if (IsMember(kind))
			AddKind(kind);
	}
}

void Party::AddKind(uint32_t kind)
{
	if (FindListed(kind) != nullptr)
		return;
	MapEntity *entity = CreateByKind(kind);
	Actor *actor = dynamic_cast<Actor *>(entity);
	if (actor == nullptr) {
		delete entity;
		return;
	}
	actor->entityKind = kind;
	actor->Hold(kMemberTool, nullptr);
	if (!Join(actor))
		delete actor;
}

bool Party::Join(Actor *actor)
{
	if (actor == nullptr || FindListed(actor->GetKind()) != nullptr)
		return false;
	GameLink::Get().SetFlagId(FlagId(actor->GetKind()), true);

	Entity *ahead = members.empty() ? leader : members.back();
	actor->AddBehaviour(std::make_unique<FollowBehaviour>(actor, ahead, kMemberSpeed, true), true);

	// Without a map of its own the party treats every joiner as one that
	// joined where it stands: nothing to move, nothing to list.
	if (map != nullptr && actor->map != map) {
		members.push_back(actor);
		// Into the scene first: joining it turns an actor to face south.
		if (map->scene != nullptr)
			map->scene->AddEntity(actor);
		if (ahead != nullptr) {
			Vec3 back = ahead->transform.GetForward();
			back.y = 0.0f;
			actor->transform.SetRotation(ahead->transform.rotation);
			actor->SetPosition(ahead->transform.position - Vec3SafeNormalize(back, Vec3(0.0f, 0.0f, -1.0f)));
		}
		actor->map = map;
		MapObjectDef *record = map->FindEntityRecordByType(actor->GetKind());
		if (record != nullptr && record->entity != nullptr && record->entity != actor) {
			// The townsperson standing in for the member goes for good; the
			// record now names the member.
			Entity *stand = record->entity;
			record->entity = nullptr;
			stand->Destroy();
			record->entity = actor;
			actor->LinkToMap(map, record);
		}
	}

	actor->dropsEnabled = 0;
	actor->shadowSize = 0.0f;
	if (NPCActor *npc = dynamic_cast<NPCActor *>(actor))
		npc->party = this;
	return true;
}

void Party::Rejoin(Actor *actor)
{
	auto at = std::find(members.begin(), members.end(), actor);
	Entity *ahead = leader;
	if (at == members.end()) {
		if (actor == nullptr || !IsMember(actor->GetKind()))
			return;
	} else if (at != members.begin()) {
		ahead = *(at - 1);
	}
	actor->AddBehaviour(std::make_unique<FollowBehaviour>(actor, ahead, kMemberSpeed, true), true);
}

bool Party::Leave(uint32_t kind)
{
	Actor *member = FindListed(kind);
	GameLink::Get().SetFlagId(FlagId(kind), false);
	if (member == nullptr)
		return false;
	member->AddBehaviour(nullptr, true);
	member->CreateCollider(Collider::kModeStatic, Vec3(0.0f), Vec3(0.0f));
	if (NPCActor *npc = dynamic_cast<NPCActor *>(member))
		npc->party = nullptr;
	return true;
}

void Party::Clear()
{
	LogDebug("Unloading party\n");
	// Taken out of the list first: each member's end reports back here.
	// Destroying a member clears its map record's pointer to it.
	std::vector<Actor *> leaving;
	leaving.swap(members);
	for (Actor *member : leaving)
		member->Destroy();
	map = nullptr;
}

Entity *Party::FindThreat(const Actor *member) const
{
	if (member == nullptr || map == nullptr || map->scene == nullptr)
		return nullptr;
	Entity *found = nullptr;
	const Scene &scene = *map->scene;
	for (uint16_t i = 0; i < scene.GetEntityCount(); i++) {
		Entity *entity = scene.GetEntityAt(i);
		if (!IsActor(entity) || entity->GetFaction() != kFactionHostile)
			continue;
		const Vec3 d = entity->transform.position - member->transform.position;
		if (glm::dot(d, d) > kThreatRangeSq)
			continue;
		const bool taken = std::any_of(members.begin(), members.end(),
			[entity](const Actor *other) { return other->GetTarget() == entity; });
		if (!taken)
			found = entity;
	}
	return found;
}

void Party::ForgetEntity(const Entity *entity)
{
	if (liveParty == nullptr || entity == nullptr)
		return;
	std::vector<Actor *> &list = liveParty->members;
	list.erase(std::remove_if(list.begin(), list.end(),
		[entity](const Actor *member) { return static_cast<const Entity *>(member) == entity; }),
		list.end());
	if (liveParty->leader == entity)
		liveParty->leader = nullptr;
	if (liveParty->map == entity)
		liveParty->map = nullptr;
}
