// The open fishing holes in the ice of the cold lakes: a hero who walks into
// one sets the flag "lake" at once (the won screen's "Dry Feet" asks that it
// never was), and the shore road beside them leaves it unset. Played with
// key presses from a stand-in home whose road leads straight to the lakes.
#include <gtest/gtest.h>

#include "Routes.h"
#include "support/GameSceneTestWorld.h"
#include "support/MissingDevice.h"
#include "support/PlaythroughDriver.h"

#include <SDL.h>

#include <string>

namespace {

struct Hole {
	const char *map;           // the lake map the hole lies in
	int standX, standY;        // a tile of ice beside the hole
	SDL_Scancode towardHole;   // the key that walks into it
};

const Hole kHoles[] = {
	{"cold3", 19, 12, SDL_SCANCODE_DOWN},
	{"cold4", 20, 12, SDL_SCANCODE_RIGHT},
};

// A home whose link leads to a stand-in "hot1", whose link in turn is the
// real cold3's way in: the lakes without the journey before them.
void AddRoadToTheLakes(MapBook &book)
{
	book.readFiles = true;
	book.AddFlat("home", 16, 16, [](TileMapData &data) {
		MapBook::AddObject(data, kObjectSpawn, "start", 4, 8, 1, 1);
		MapBook::AddObject(data, kObjectExit, "hot1", 15, 7, 1, 3);
	});
	book.AddFlat("hot1", 16, 16, [](TileMapData &data) {
		MapBook::AddObject(data, kObjectSpawn, "home", 1, 8, 1, 1);
		MapBook::AddObject(data, kObjectExit, "cold3", 15, 7, 1, 3);
	});
}

} // namespace

TEST(FishingHole, WalkingIntoTheIceHoleSetsTheLakeFlagAtOnce)
{
	for (const Hole &hole : kHoles) {
		SCOPED_TRACE(hole.map);
		MapBook book;
		AddRoadToTheLakes(book);
		PlaythroughDriver play(&book);
		std::string whyNot;
		if (!play.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		bool dryOnTheShore = false;
		bool wetAtOnce = false;
		EXPECT_TRUE(play.Play([&] {
			play.NewGame();
			play.FollowLink("hot1");
			play.FollowLink("cold3");
			if (std::string(hole.map) == "cold4") {
				RollSkerryStones(play);
				play.FollowLink("cold4");
			}
			play.WalkTo(hole.standX, hole.standY);
			dryOnTheShore = !play.Flag("lake");
			play.Hold({hole.towardHole}, 90);
			// Set before the hero has read a word of the message.
			wetAtOnce = play.Flag("lake");
		})) << play.Where();
		EXPECT_TRUE(dryOnTheShore) << "walking the road to the hole keeps the feet dry";
		EXPECT_TRUE(wetAtOnce);
	}
}
