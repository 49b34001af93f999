#include "support/GateSolver.h"

#include <algorithm>

namespace {

constexpr uint32_t kKeyKind = 42;
constexpr uint32_t kLockDoorKind = 7;
constexpr uint32_t kSwitchKind = 4;
constexpr uint32_t kBlockLowerKind = 5;
constexpr uint32_t kBlockRaiseKind = 6;

bool Places(const ShippedMap &map, uint32_t kind) { return map.kinds.count(kind) != 0; }

} // namespace

bool GateSolver::IsDone(const Gate &gate) const
{
	if (gate.opener == "switch")
		return reached.count(gate.map) != 0;
	for (const std::string &name : reached) {
		const ShippedMap *map = world.Find(name);
		if (map == nullptr)
			continue;
		if (gate.opener == "key" ? Places(*map, kKeyKind) : map->saves.count(gate.opener) != 0 || map->pickups.count(gate.opener) != 0)
			return true;
	}
	return false;
}

void GateSolver::Solve(const std::string &start)
{
	opened.assign(gates.size(), 0);
	for (int round = 1;; round++) {
		reached = world.Reachable(start, [&](const std::string &from, const std::string &to) {
			for (size_t i = 0; i < gates.size(); i++)
				if (gates[i].map == from && gates[i].leadsTo == to && opened[i] == 0)
					return false;
			return true;
		});
		bool more = false;
		for (size_t i = 0; i < gates.size(); i++) {
			if (opened[i] == 0 && reached.count(gates[i].map) != 0 && IsDone(gates[i])) {
				opened[i] = round;
				more = true;
			}
		}
		if (!more)
			return;
	}
}

std::string GateSolver::CheckGate(const Gate &gate) const
{
	const ShippedMap *map = world.Find(gate.map);
	if (map == nullptr)
		return "no map " + gate.map;
	const std::vector<std::string> targets = map->Targets();
	if (std::find(targets.begin(), targets.end(), gate.leadsTo) == targets.end())
		return gate.map + " has no link to " + gate.leadsTo;
	if (gate.opener == "key")
		return Places(*map, kLockDoorKind) ? "" : gate.map + " has no locked door for the key";
	if (gate.opener == "switch")
		return Places(*map, kSwitchKind) && (Places(*map, kBlockLowerKind) || Places(*map, kBlockRaiseKind))
			? ""
			: gate.map + " has no switch and block";
	if (map->tests.count(gate.opener) == 0)
		return gate.map + " does not test the flag " + gate.opener + " (no load area of that name)";
	return "";
}
