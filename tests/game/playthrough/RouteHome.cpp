// Home, from a new game to the road into town: the hero wakes by the fire,
// reads the sign, hears Maren's warning, takes the old sword from beside the
// house (which opens Grunt's yard), beats the chooks in the yard (which opens
// the north gate) and walks up the north road into town.
#include "Routes.h"
#include "RouteSteps.h"
#include "support/PlaythroughDriver.h"

void RouteHome(PlaythroughDriver &play)
{
	if (play.Flag("homechooks")) {
		play.FollowLink("town");
		return;
	}
	// What the yard teaches before anything fights.
	play.Talk("Home");
	play.Continue();
	play.Talk("Maren");
	play.Continue();
	// The sword lies beside the house; taking it opens the yard's gate.
	TakeSword(play);
	BeatYardChooks(play);
	play.WaitUntil([&] { return play.Flag("homechooks"); }, "the chooks' defeat to open the north gate");
	play.Continue();
	play.FollowLink("town");
}

TALVEX_ROUTE_SEGMENT(kRouteHome, RouteHome);
