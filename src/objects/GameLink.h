#pragma once

#include <cstdint>

class PlayerStats;

// The world objects' one way up into the game around them: the screen flow
// (the death screen, the play clock, Timed Mode, the game mode), the progress
// record of the game in progress (flags, the save slot, deaths, stats) and
// the HUD. World objects sit below the game and never include it; the game
// installs its own link when it starts and takes it out when it goes. With
// no link installed every call is a quiet stand-in: no HUD, no flags set,
// nothing saved, so world objects run headless in tests. A test installs a
// recording link of its own. The link is not owned by anyone here.
class GameLink {
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
	// Play time of the running game in milliseconds.
	virtual uint32_t PlayTimeMs() { return 0; }
	// Timed Mode is on (messages finish typing at once).
	virtual bool IsTimedMode() { return false; }
	// The game mode: 2 in the chook game, 1 with the original content's
	// rules, else 0.
	virtual bool IsMode(int mode) { return mode == 0; }
	// Combat difficulty: 0 "Relaxed", 1 "Intended", 2 "Brutal".
	virtual int Difficulty() { return 1; }
	// Play has started and not gone back to the title.
	virtual bool IsInGame() { return false; }

	// --- Progress record ---
	virtual bool Flag(const char *name) { (void)name; return false; }
	virtual bool FlagId(uint16_t id) { (void)id; return false; }
	virtual void SetFlagId(uint16_t id, bool on) { (void)id; (void)on; }
	// Makes the current save slot the live game again; false when its file
	// could not be read back (the live game is then left as it was).
	virtual bool LoadCurrentSlot() { return false; }
	// False when nothing was written.
	virtual bool SaveCurrentSlot() { return false; }
	virtual void AddDeath() {}
	virtual void SetPlaySeconds(uint32_t seconds) { (void)seconds; }
	virtual void StorePlayerStats(const PlayerStats &stats) { (void)stats; }
	// The previous map id (a waypoint's key), then the slot is saved.
	virtual void SetPreviousMapIdAndSave(uint16_t id) { (void)id; }
	// Sets the flag of the news of the named area and rewards reading them all.
	virtual void MarkNewsRead(const char *areaName) { (void)areaName; }
	virtual void UnlockAchievement(uint16_t id) { (void)id; }
	// The achievement of that name (its name hash); null does nothing.
	virtual void UnlockAchievementByName(const char *name) { (void)name; }
	// The id of the map being played (0 for a fresh game).
	virtual uint16_t CurrentMapId() { return 0; }
	// Where the next play begins (0: the game's default).
	virtual uint16_t StartMap() { return 0; }
	virtual void SetStartMap(uint16_t id) { (void)id; }
	// Where a respawn wakes: 0 to 2, like the difficulty.
	virtual int RespawnLevel() { return 0; }

	// --- HUD (all nothing while no HUD exists) ---
	virtual bool HasHud() { return false; }
	virtual void ShowMessage(const char *text, float seconds, uint8_t kind) { (void)text; (void)seconds; (void)kind; }
	virtual void ShowPrompt(const char *label) { (void)label; }
	// The two-answer choice of a question ("Yes" / "No").
	virtual void ShowChoice(const char *first, const char *second) { (void)first; (void)second; }
	virtual void HidePrompts() {}
	// How much the message's letters wave (weapon notices use 0.3).
	virtual void SetMessageWaviness(float waviness) { (void)waviness; }
	virtual void CloseMessage() {}
	virtual bool IsMessageVisible() { return false; }
	// Typing, timers or a dialogue keep the HUD busy.
	virtual bool IsBusy() { return false; }
	// Busy, or a message shows: pushables and lava balls hold still.
	bool IsDisplaying() { return IsBusy() || IsMessageVisible(); }
	// The full-screen (blackout) timer runs.
	virtual bool IsTimerActive() { return false; }
	// now: finish the message's typing at once; else on the HUD's next update.
	virtual void CompleteTyping(bool now) { (void)now; }
	virtual uint32_t GetMessageState() { return 0; }
	virtual void SetMessageState(uint32_t state) { (void)state; }
	// The hearts, held item, weight and hit chain shown.
	virtual void SetPlayerStatus(const PlayerStats &stats, uint8_t chain) { (void)stats; (void)chain; }
	// The row of collected letters, shown for a while.
	virtual void ShowLetters(bool on) { (void)on; }
};
