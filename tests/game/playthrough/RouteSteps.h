#pragma once
// Small steps of play that more than one playthrough of home and its side
// places takes, made of the driver's own operations.
#include "engine/core/NameHash.h"
#include "map/TileMapData.h"
#include "objects/Actor.h"
#include "objects/ActorBehaviour.h"
#include "objects/MapEntity.h"
#include "support/PlaythroughDriver.h"

#include <cstdint>

// A live hostile actor of the kind stands on the hero's map (a tame one,
// such as Maren's hen, does not count).
inline bool AnyLiving(PlaythroughDriver &play, uint32_t kind)
{
	TalvexGameScene &scene = play.Scene();
	for (uint16_t i = 0; i < scene.GetEntityCount(); i++) {
		Entity *entity = scene.GetEntityAt(i);
		if (IsLivingActor(entity) && static_cast<MapEntity *>(entity)->GetKind() == kind &&
			entity->GetFaction() == kFactionHostile)
			return true;
	}
	return false;
}

// Where home's old sword lies, beside the house.
constexpr int kHomeSwordX = 11;
constexpr int kHomeSwordY = 8;

// Walks over home's old sword beside the house and reads what it says.
inline void TakeSword(PlaythroughDriver &play)
{
	constexpr uint32_t kPlainSword = 43;
	play.WalkTo(kHomeSwordX, kHomeSwordY);
	play.WaitUntil([&] { return play.HeldKind() == kPlainSword; }, "the old sword in hand", 5.0f);
	play.Continue();
}

// Beats the chooks of Grunt's yard (the brutal ones only where they stand).
inline void BeatYardChooks(PlaythroughDriver &play)
{
	for (const char *chook : {"yard chook 1", "yard chook 2", "yard chook 3", "yard chook 4", "yard chook 5"})
		if (play.IsAlive(chook))
			play.Strike(chook);
}

// Home's first stretch: the sign by the fire, Maren's warning, the sword
// beside the house and the chooks of the yard, so the north gate stands open.
inline void ClearHome(PlaythroughDriver &play)
{
	play.Talk("Home");
	play.Continue();
	play.Talk("Maren");
	play.Continue();
	TakeSword(play);
	BeatYardChooks(play);
	play.WaitUntil([&] { return play.Flag("homechooks"); }, "the chooks' defeat to open the north gate");
	play.Continue();
}

// Where the lady's dress lies on the beach rocks.
constexpr int kDressX = 1;
constexpr int kDressY = 4;

// The hero's map has a link to the named map.
inline bool HasLinkTo(PlaythroughDriver &play, const char *map)
{
	for (const MapObjectDef &object : play.Scene().GetMap().GetMapData().objects)
		if (object.kind == kObjectExit && NameHashEquals(object.key, map))
			return true;
	return false;
}
