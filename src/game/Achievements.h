#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The achievements the player has earned, kept beside the game flags of the
// same ids. For now only what play needs: the ids of the known achievements
// (none until their table is read), the earned list, and the sync that gives
// a save game's earned achievements back. One instance, built on first use.
class Achievements {
public:
	static Achievements &Instance();

	// Only while the game is in play: every known achievement not yet earned
	// whose game flag is set is unlocked.
	void SyncFromFlags();
	// Earns the achievement (once) and sets its game flag.
	void Unlock(uint16_t id);
	bool IsUnlocked(uint16_t id) const;
	// Unlock by the achievement's name (its name hash is its id).
	void UnlockByName(const char *name);

	// Known achievement ids, in table order.
	void SetDefinitions(std::vector<uint16_t> ids) { definitions = std::move(ids); }
	void ResetUnlocked() { unlocked.clear(); }
	size_t UnlockedCount() const { return unlocked.size(); }

private:
	Achievements() = default;

	std::vector<uint16_t> definitions;
	std::vector<uint16_t> unlocked; // in the order earned
};
