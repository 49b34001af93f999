#pragma once

#include "objects/GameLink.h"

class TalvexGame;

// The game's side of the map layer's and the world objects' link up into it: the screen flow and
// the play clock of the game, the global progress record and its save slot,
// and the HUD of the running game (when one exists). The game installs one
// while it exists; the link points at that game and owns nothing.
class TalvexGameLink : public GameLink {
public:
	explicit TalvexGameLink(TalvexGame &owner) : game(owner) {}

	void ShowDied() override;
	uint32_t PlayTimeMs() override;
	bool IsTimedMode() override;
	bool IsMode(int mode) override;
	bool IsOriginalContent() override;
	int Difficulty() override;
	void StepGraphicsMode(uint16_t modeCount) override;
	void ShowQuestComplete() override;
	void ShowWinAlt(const char *text, int ending) override;
	bool IsInGame() override;

	bool Flag(const char *name) override;
	bool FlagId(uint16_t id) override;
	void SetFlagId(uint16_t id, bool on) override;
	bool LoadCurrentSlot() override;
	bool SaveCurrentSlot() override;
	void AddDeath() override;
	void SetPlaySeconds(uint32_t seconds) override;
	void StorePlayerStats(const PlayerStats &stats) override;
	void SetPreviousMapIdAndSave(uint16_t id) override;
	void MarkNewsRead(const char *areaName) override;
	void UnlockAchievement(uint16_t id) override;
	void UnlockAchievementByName(const char *name) override;
	uint16_t CurrentMapId() override;
	uint16_t StartMap() override;
	void SetStartMap(uint16_t id) override;
	void SetCurrentMap(const char *name) override;
	uint16_t Waypoint() override;
	void SetWaypoint(uint16_t id) override;
	void SyncAchievementsFromFlags() override;
	int RespawnLevel() override;

	bool HasHud() override;
	void ShowMessage(const char *text, float seconds, uint8_t kind) override;
	void ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind) override;
	void ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind) override;
	bool IsSpeech() override;
	void ShowPrompt(const char *label) override;
	void ShowChoice(const char *first, const char *second) override;
	void HidePrompts() override;
	void SetMessageWaviness(float waviness) override;
	void CloseMessage() override;
	bool IsMessageVisible() override;
	bool IsBusy() override;
	bool IsTimerActive() override;
	void CompleteTyping(bool now) override;
	uint32_t GetMessageState() override;
	void SetMessageState(uint32_t state) override;
	void SetPlayerStatus(const PlayerStats &stats, uint8_t chain) override;
	void ShowLetters(bool on) override;

private:
	TalvexGame &game;
};
