#pragma once

#include <cstdint>

#include "map/MapGameLink.h"

class PlayerStats;

// The world objects' one way up into the game around them. It is the map
// layer's link (flags, the save slot, the HUD's messages, the game's mode)
// with what only world objects ask for: the death screen, Timed Mode,
// deaths and stats, and prompts. Installing
// it installs it as the map layer's link too. World objects sit below the game and never include it; the game
// installs its own link when it starts and takes it out when it goes. With
// no link installed every call is a quiet stand-in: no HUD, no flags set,
// nothing saved, so world objects run headless in tests. A test installs a
// recording link of its own. The link is not owned by anyone here.
class GameLink : public MapGameLink {
public:
	virtual ~GameLink() = default;

	// The installed link, or the quiet stand-in; never null.
	static GameLink &Get();
	// Null goes back to the quiet stand-in. A link that is destroyed while
	// installed takes itself out.
	static void Install(GameLink *link);
	static bool IsInstalled(const GameLink *link);

	// --- Screen flow ---
	// The player died: the death screen takes over.
	virtual void ShowDied() {}
	// Timed Mode is on (messages finish typing at once).
	virtual bool IsTimedMode() { return false; }
	// Play has started and not gone back to the title.
	virtual bool IsInGame() { return false; }

	// --- Progress record ---
	// Makes the current save slot the live game again; false when its file
	// could not be read back (the live game is then left as it was).
	virtual bool LoadCurrentSlot() { return false; }
	virtual void AddDeath() {}
	virtual void SetPlaySeconds(uint32_t seconds) { (void)seconds; }
	virtual void StorePlayerStats(const PlayerStats &stats) { (void)stats; }
	// The previous map id (a waypoint's key), then the slot is saved.
	virtual void SetPreviousMapIdAndSave(uint16_t id) { (void)id; }
	// Sets the flag of the news of the named area and rewards reading them all.
	virtual void MarkNewsRead(const char *areaName) { (void)areaName; }
	// The id of the map being played (0 for a fresh game).
	virtual uint16_t CurrentMapId() { return 0; }
	// Where a respawn wakes: 0 to 2, like the difficulty.
	virtual int RespawnLevel() { return 0; }

	// --- HUD (all nothing while no HUD exists) ---
	virtual void ShowPrompt(const char *label) { (void)label; }
	// The two-answer choice of a question ("Yes" / "No").
	virtual void ShowChoice(const char *first, const char *second) { (void)first; (void)second; }
	virtual void HidePrompts() {}
	virtual void CloseMessage() {}
	// Busy, or a message shows: pushables and lava balls hold still.
	bool IsDisplaying() { return IsBusy() || IsMessageVisible(); }
	// The full-screen (blackout) timer runs.
	virtual bool IsTimerActive() { return false; }
	// now: finish the message's typing at once; else on the HUD's next update.
	virtual void CompleteTyping(bool now) { (void)now; }
	virtual void SetMessageState(uint32_t state) { (void)state; }
	// The hearts, held item, weight and hit chain shown.
	virtual void SetPlayerStatus(const PlayerStats &stats, uint8_t chain) { (void)stats; (void)chain; }
};
