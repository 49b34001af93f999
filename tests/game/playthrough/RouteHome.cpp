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
	ClearHome(play);
	play.FollowLink("town");
}

TALVEX_ROUTE_SEGMENT(kRouteHome, RouteHome);
