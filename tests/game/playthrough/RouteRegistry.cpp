#include "Routes.h"

#include <algorithm>

namespace {

struct Registry {
	std::vector<RouteSegment> segments;
	std::vector<int> duplicates;
};

// Made on first use, so that segments registering from other files' static
// initialisers always find it.
Registry &TheRegistry()
{
	static Registry registry;
	return registry;
}

} // namespace

bool RegisterRouteSegment(int order, const char *name, void (*run)(PlaythroughDriver &))
{
	Registry &registry = TheRegistry();
	for (const RouteSegment &segment : registry.segments) {
		if (segment.order == order) {
			registry.duplicates.push_back(order);
			return true;
		}
	}
	registry.segments.push_back({order, name, run});
	return true;
}

std::vector<RouteSegment> RouteSegments()
{
	std::vector<RouteSegment> sorted = TheRegistry().segments;
	std::sort(sorted.begin(), sorted.end(), [](const RouteSegment &a, const RouteSegment &b) { return a.order < b.order; });
	return sorted;
}

std::vector<int> DuplicateRouteSegments() { return TheRegistry().duplicates; }
