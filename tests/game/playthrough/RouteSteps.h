#pragma once
// Small steps of play that more than one playthrough of home and its side
// places takes, made of the driver's own operations.
#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "game/ScreenLoadGame.h"
#include "game/ScreenTitle.h"
#include "game/UIPause.h"
#include "map/TileMapData.h"
#include "objects/Actor.h"
#include "objects/ActorBehaviour.h"
#include "objects/CollectableKind.h"
#include "objects/MapEntity.h"
#include "support/PlaythroughDriver.h"

#include <cstdint>
#include <cstring>
#include <string>

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

// Walks onto the tile where a tool lies (a sword, the key, the dress) until
// it is in hand, then reads what that says.
inline void TakeToolAt(PlaythroughDriver &play, int x, int y, uint32_t kind, const std::string &what)
{
	play.WalkTo(x, y);
	play.WaitUntil([&] { return play.HeldKind() == kind; }, what + " in hand", 5.0f);
	play.Continue();
}

// Walks onto the tile of a counted find (a feed, letter or triangle) until
// its flag is set, then reads what that says.
inline void TakeFindAt(PlaythroughDriver &play, const char *name, int x, int y)
{
	const uint16_t flag = CollectableFlagFromName(name);
	play.WalkTo(x, y);
	play.WaitUntil([&] { return GameProgress::FlagId(flag); }, std::string(name) + " taken", 3.0f);
	play.Continue();
}

// Walks over home's old sword beside the house and reads what it says.
inline void TakeSword(PlaythroughDriver &play) { TakeToolAt(play, kHomeSwordX, kHomeSwordY, 43, "the old sword"); }

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
	// The yard's sign: keep off Grunt's ground while the chooks run.
	play.KeepOff("Grunt's ground");
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

// Pauses (Return: Escape opens the world map), picks "Quit" and waits on the
// title screen until its menu takes presses.
inline void QuitToTitle(PlaythroughDriver &play)
{
	play.Tap(SDL_SCANCODE_RETURN, 10);
	UIOptions &menu = play.Scene().GetPauseMenu().GetOptions();
	for (size_t i = 0; i < menu.GetOptionCount() && std::strcmp(menu.GetOption(menu.GetCursor()).label, "Quit") != 0; i++)
		play.Tap(SDL_SCANCODE_DOWN, 4);
	if (std::strcmp(menu.GetOption(menu.GetCursor()).label, "Quit") != 0)
		play.Fail("the pause menu offers no \"Quit\"");
	play.Tap(SDL_SCANCODE_RETURN, 2);
	play.WaitUntil([&] { return dynamic_cast<ScreenTitle *>(play.Game().GetCurrentScene()) != nullptr; }, "the title screen", 5.0f);
	play.Frames(10);
}

// From the title: "Play Game", the slot played last, "Continue Game", and
// on through the load screen into play.
inline void ContinueFromTitle(PlaythroughDriver &play)
{
	for (int i = 0; i < 3; i++)
		play.Tap(SDL_SCANCODE_RETURN, 10);
	play.WaitUntil([&] {
		const auto *load = dynamic_cast<ScreenLoadGame *>(play.Game().GetCurrentScene());
		return load != nullptr && load->GetPhase() >= 2;
	}, "the load screen to be ready", 20.0f);
	play.Tap(SDL_SCANCODE_SPACE, 2);
	play.WaitUntil([&] { return play.InPlay() && !play.Scene().IsMapLoading() && play.Scene().GetLoadedAs()[0] != '\0'; },
		"play to go on", 10.0f);
	play.Continue();
}
