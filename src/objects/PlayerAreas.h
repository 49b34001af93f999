#pragma once

class Player;
struct MapObjectDef;
struct PlayerTile;

// The map's areas as the hero walks through them, and what it uses there:
// a trigger runs its script (and opens its group), a spawn point becomes the
// place a reload of the save arrives at, a message area offers "Inspect", and
// a use runs an object's script once per spot. A link, walked far enough
// into, or the map's edge starts the walk out toward the next map. Kept apart
// from the hero's input, fights and items; it works on the player's own
// state and holds nothing. Every area and object it meets belongs to the map.
class PlayerAreas {
public:
	// Entering, staying in and leaving areas on the tile the hero stands on,
	// and the links among them. Needs a map.
	static void Update(Player &player, const PlayerTile &tile);
	// Leaving through the map's edge on that tile.
	static void CheckMapEdges(Player &player, const PlayerTile &tile);
	// Starts the walk out through a link object.
	static void EnterMapLink(Player &player, MapObjectDef *object);
	// Acts on a map object: runs its script, once per spot.
	static void Use(Player &player, MapObjectDef *object);
	// Offers object for the use press, with a prompt.
	static void ShowUsePrompt(Player &player, const char *label, MapObjectDef *object);
};
