#pragma once
// The road's gates, solved over what the shipped maps set and test. A gate
// holds the link from its map to the next one shut until its opener is done:
//   - a game flag: some map reached so far saves it (a script's "save" line)
//     or holds a pickup named for it; the gate's map tests it (a "load" area
//     of that name, whose group the map's door, gate, block or watchman
//     follows);
//   - "key": a key (kind 42) lies in a map reached so far, and the gate's map
//     has a locked door (kind 7);
//   - "switch": the gate's map has a switch (kind 4) and a raising or
//     lowering block (kind 5 or 6).
// Starting from one map with every gate shut, the solver reaches what the
// open links allow, opens the gates whose openers are done, and goes on
// until nothing more opens.
#include "support/ShippedWorld.h"

#include <set>
#include <string>
#include <vector>

struct Gate {
	std::string map;     // the map the gate stands on
	std::string leadsTo; // the map beyond it
	std::string opener;  // a flag, "key" or "switch"
};

class GateSolver {
public:
	GateSolver(const ShippedWorld &shipped, std::vector<Gate> road) : world(shipped), gates(std::move(road)) {}

	void Solve(const std::string &start);
	const std::set<std::string> &Reached() const { return reached; }
	// The round a gate opened in (1 the first); 0 when it never did.
	int OpenedIn(size_t gate) const { return gate < opened.size() ? opened[gate] : 0; }
	const std::vector<Gate> &Gates() const { return gates; }
	// What is wrong with a gate as the maps have it ("" when nothing): its
	// map or link missing, or its map not testing its opener.
	std::string CheckGate(const Gate &gate) const;

private:
	bool IsDone(const Gate &gate) const;

	const ShippedWorld &world;
	std::vector<Gate> gates;
	std::vector<int> opened;
	std::set<std::string> reached;
};
