#pragma once
// The main quest's road, one segment per region in road order. Each region's
// segment lives in its own Route<Region>.cpp and registers itself there:
//
//   void RouteHome(PlaythroughDriver &play) { ... }
//   TALVEX_ROUTE_SEGMENT(kRouteHome, RouteHome);
//
// A segment starts where the one before it ended (home's starts on a new
// game at home's start) and ends having crossed its region's last border
// link, holding what the border table of docs/world.md says. It plays with
// the driver's operations only: key presses, no teleports, no flags, no
// items given. MainQuest runs the registered segments in road order.
#include <vector>

class PlaythroughDriver;

void RouteHome(PlaythroughDriver &play);         // home and the side places, ends in town
void RouteTownRoads(PlaythroughDriver &play);    // town, the north and south roads, ends in far2
void RouteFarMountains(PlaythroughDriver &play); // the far fields and the mountains, ends in hot1
void RouteHotCold(PlaythroughDriver &play);      // the hot lands and the cold lakes, ends in blacktotown
void RouteBlackTower(PlaythroughDriver &play);   // the black woods and the tower, ends with the final foe's fall

// Road order.
enum RouteOrder : int {
	kRouteHome = 1,
	kRouteTownRoads = 2,
	kRouteFarMountains = 3,
	kRouteHotCold = 4,
	kRouteBlackTower = 5,
};
constexpr int kRouteSegmentCount = 5;

struct RouteSegment {
	int order = 0;
	const char *name = "";
	void (*run)(PlaythroughDriver &) = nullptr;
};

// Adds a segment (once per order; a second one for the same order is
// refused and reported by RouteSegments' users). True, so it can initialise
// a static.
bool RegisterRouteSegment(int order, const char *name, void (*run)(PlaythroughDriver &));
// The registered segments, in road order.
std::vector<RouteSegment> RouteSegments();
// Segment orders registered more than once (an ending registered twice
// shows as its number negated).
std::vector<int> DuplicateRouteSegments();

#define TALVEX_ROUTE_SEGMENT(order, function) \
	static const bool function##Registered = RegisterRouteSegment(order, #function, &function)

// The ways to the other endings, each from a new game on home (the Endings
// test starts it) to the moment the ending's trigger is met: the exit to
// "end_north" (ending 1; with the dress in hand, ending 2), the one to
// "end_hole" (ending 3), the script line "save end_fr" (ending 5). A region
// that places an ending registers its way there:
//
//   void EndingHole(PlaythroughDriver &play) { ... play.EnterLink("end_hole"); }
//   TALVEX_ENDING_ROUTE(3, EndingHole);
//
// Ending 4, the meat ranking in home, is played by the Endings test itself.
bool RegisterEndingRoute(int ending, const char *name, void (*run)(PlaythroughDriver &));
// The registered ways, by ending number; the order field holds the ending.
std::vector<RouteSegment> EndingRoutes();

#define TALVEX_ENDING_ROUTE(ending, function) \
	static const bool function##Registered = RegisterEndingRoute(ending, #function, &function)
