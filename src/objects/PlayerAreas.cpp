#include "objects/PlayerAreas.h"

#include "engine/core/ActiveSequence.h"
#include "engine/core/Log.h"
#include "map/MapSequence.h"
#include "map/TileMap.h"
#include "objects/GameLink.h"
#include "objects/ItemKinds.h"
#include "objects/MapExits.h"
#include "objects/Player.h"
#include "objects/PlayerObjectActions.h"
#include "objects/PlayerTuning.h"

using namespace PlayerTuning;

namespace {

bool IsMapLink(const MapObjectDef *object)
{
	return object != nullptr && object->kind == kObjectExit;
}

} // namespace

// --- Areas and exits ---------------------------------------------------

void PlayerAreas::Update(Player &player, const PlayerTile &tile)
{
	GameLink &game = GameLink::Get();
	MapObjectDef *object = player.map->FindObjectAt(player.transform.position);
	if (object == nullptr) {
		if (player.currentArea != nullptr) {
			if (player.lastArea != nullptr && player.lastArea != player.currentArea && IsMapLink(player.currentArea))
				player.EnterMapLink(player.currentArea);
			player.currentArea = nullptr;
			player.lastArea = nullptr;
			player.useTarget = nullptr;
			player.promptTile = tile;
			game.CloseMessage();
		}
	} else if (object != player.currentArea) {
		LogDebug("enter area %s\n", object->name.GetOr(""));
		player.currentArea = object;
		player.useTarget = nullptr;
		game.CloseMessage();
		if (tile != player.promptTile) {
			switch (object->kind) {
			case kObjectTrigger:
				player.Use(object);
				if (object->Group() != 0)
					player.map->SetGroupFlag(object->Group(), true);
				break;
			case kObjectSpawn: {
				// A reload of the save arrives at this waypoint.
				game.SetPreviousMapIdAndSave(object->key);
				int16_t cx = static_cast<int16_t>(object->x + object->w / 2);
				int16_t cy = static_cast<int16_t>(object->y + object->h / 2);
				player.homePosition = player.map->TilePosition(cx, cy, 0.5f, 0.5f);
				break;
			}
			case kObjectMessage:
				player.ShowUsePrompt("Inspect", object);
				break;
			default:
				break;
			}
		}
		player.promptTile = tile;
		player.areaEntryPosition = player.transform.position;
	}
	if (IsMapLink(player.currentArea) && player.currentArea != player.lastArea
		&& glm::distance(player.transform.position, player.areaEntryPosition) >= kLinkEntryDistance
		&& (player.IsOriginalRules() || player.map->IsInsideObject(*player.currentArea, player.transform.position)))
		player.EnterMapLink(player.currentArea);
}

void PlayerAreas::CheckMapEdges(Player &player, const PlayerTile &tile)
{
	if (player.map == nullptr || player.HasExitTarget())
		return;
	MapObjectDef *exit = MapExits::EdgeExitAt(player.map->GetMapData(), tile.x, tile.y, player.facing);
	if (exit != nullptr)
		player.EnterMapLink(exit);
}

void PlayerAreas::EnterMapLink(Player &player, MapObjectDef *object)
{
	if (object == nullptr || !player.HasHearts() || player.deathTimer > 0.0f)
		return;
	player.SetExitTarget(object->name.Get());
	player.useTarget = nullptr;
	player.currentArea = object;
	PlayerTile tile = player.CurrentTile();
	player.exitSpanX = MapExits::Span(tile.x, object->x, object->w);
	player.exitSpanY = MapExits::Span(tile.y, object->y, object->h);
	player.walkOutDirection = 0;
	// A link that names no other map leads nowhere: the hero keeps its
	// controls instead of walking off into the void.
	if (player.HasExitTarget() && player.map != nullptr)
		player.walkOutDirection = MapExits::WalkOutDirection(player.map->GetMapData(), *object);
}

// --- Use ---------------------------------------------------------------

void PlayerAreas::Use(Player &player, MapObjectDef *object)
{
	if (object == nullptr || !PlayerObjectActions::UseEntity(player, *object))
		return;
	if (glm::distance(player.transform.position, player.lastUsePosition) < kUseMoveDistance)
		return;
	player.lastUsePosition = player.transform.position;
	LogDebug("Player use %i\n", object->id);
	if (object->commandCount > 0 && player.map != nullptr) {
		SetActiveSequence(new MapSequence(player.map, object));
		player.sinceLastPress = 0.0f;
	}
}

void PlayerAreas::ShowUsePrompt(Player &player, const char *label, MapObjectDef *object)
{
	if (player.stats.heldKind == ItemKinds::kDress || player.hideCupboard != nullptr) {
		player.useTarget = nullptr;
		player.promptTile = player.CurrentTile();
		return;
	}
	GameLink &game = GameLink::Get();
	if (player.useTarget != object && game.HasHud()) {
		player.useTarget = object;
		game.ShowPrompt(label);
		player.promptTile = player.CurrentTile();
	}
}
