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

// Skerry Ice's two stones rolled onto its plate: the gate to Rimehaven, for
// every play that goes on from cold3 to cold4.
void RollSkerryStones(PlaythroughDriver &play);

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
// Orders registered more than once.
std::vector<int> DuplicateRouteSegments();

#define TALVEX_ROUTE_SEGMENT(order, function) \
	static const bool function##Registered = RegisterRouteSegment(order, #function, &function)
