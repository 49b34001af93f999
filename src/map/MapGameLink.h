#pragma once

#include <cstdint>

// From this combat difficulty on, play shows only orthographic views and the
// maps place their "brutal" objects.
constexpr uint8_t kDifficultyBrutal = 2;

// The map layer's one way up into the game it runs in: the progress record
// (flags, the save slot, where play starts), the HUD's messages, achievements,
// the endings, the play clock and the game's mode and content. Maps and their scripts sit
// below the game and never include it; the game installs its own link when it
// starts and takes it out when it goes. With no link installed every call is
// a quiet stand-in (no flag set, no HUD, nothing saved), so the map layer runs
// headless in tests; a test installs a recording link of its own. The world
// objects' link (GameLink) extends this one, so that a flag or a message goes
// up by the same call from either layer. Nothing here owns the link.
class MapGameLink {
public:
	// Display kinds of a HUD message.
	static constexpr uint8_t kKindMessage = 0;
	static constexpr uint8_t kKindNotice = 1;   // something taken
	static constexpr uint8_t kKindPrompt = 2;   // asks yes or no
	static constexpr uint8_t kKindMission = 3;  // comes out at an even pace, cannot be hurried
	// Where the message on the HUD stands.
	static constexpr uint32_t kMessagePlain = 0;
	static constexpr uint32_t kMessageQuestion = 1;
	static constexpr uint32_t kMessageAnsweredYes = 2; // also "confirmed"
	static constexpr uint32_t kMessageAnsweredNo = 3;

	virtual ~MapGameLink() = default;

	// The installed link, or the quiet stand-in; never null.
	static MapGameLink &Get();
	// Null goes back to the quiet stand-in.
	static void Install(MapGameLink *link);
	static bool IsInstalled(const MapGameLink *link);

	// --- The game ---
	// The game mode: 2 in the chook game, 1 with the original content's
	// rules, else 0.
	virtual bool IsMode(int mode) { return mode == 0; }
	// Maps come from "mapo/" rather than "maps/".
	virtual bool IsOriginalContent() { return false; }
	// Combat difficulty: 0 "Relaxed", 1 "Intended", 2 "Brutal".
	virtual int Difficulty() { return 1; }
	// Play time of the running game in milliseconds.
	virtual uint32_t PlayTimeMs() { return 0; }
	// Moves the graphics setting on by one of the renderer's post modes.
	virtual void StepGraphicsMode(uint16_t modeCount) { (void)modeCount; }
	// The endings' screens: the quest's own, and the other endings' by number.
	virtual void ShowQuestComplete() {}
	virtual void ShowWinAlt(const char *text, int ending) { (void)text; (void)ending; }

	// --- Progress record ---
	// By the name's hash; null is false.
	virtual bool Flag(const char *name);
	virtual bool FlagId(uint16_t id) { (void)id; return false; }
	virtual void SetFlagId(uint16_t id, bool on) { (void)id; (void)on; }
	// False when nothing was written.
	virtual bool SaveCurrentSlot() { return false; }
	// Where the next play begins (0: the game's default).
	virtual uint16_t StartMap() { return 0; }
	virtual void SetStartMap(uint16_t id) { (void)id; }
	// The map the save resumes in; null for none.
	virtual void SetCurrentMap(const char *name) { (void)name; }
	// The farthest region's map key reached, for the world map's marker.
	virtual uint16_t Waypoint() { return 0; }
	virtual void SetWaypoint(uint16_t id) { (void)id; }
	virtual void UnlockAchievement(uint16_t id) { (void)id; }
	// The achievement of that name (its name hash); null does nothing.
	virtual void UnlockAchievementByName(const char *name) { (void)name; }
	// Unlocks every achievement whose flag the record holds.
	virtual void SyncAchievementsFromFlags() {}

	// --- HUD (all nothing while no HUD exists) ---
	virtual bool HasHud() { return false; }
	virtual void ShowMessage(const char *text, float seconds, uint8_t kind) { (void)text; (void)seconds; (void)kind; }
	virtual void ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind)
	{
		(void)title; (void)text; (void)seconds; (void)kind;
	}
	virtual void ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind)
	{
		(void)speaker; (void)text; (void)seconds; (void)kind;
	}
	// How much the message's letters wave (weapon notices use 0.3).
	virtual void SetMessageWaviness(float waviness) { (void)waviness; }
	virtual bool IsMessageVisible() { return false; }
	// The message showing is someone's speech.
	virtual bool IsSpeech() { return false; }
	// Typing, timers or a dialogue keep the HUD busy.
	virtual bool IsBusy() { return false; }
	// The row of collected letters, shown for a while.
	virtual void ShowLetters(bool on) { (void)on; }
	virtual uint32_t GetMessageState() { return kMessagePlain; }
};
