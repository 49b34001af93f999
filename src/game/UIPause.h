#pragma once

#include <cstdint>

#include "engine/core/UIContainer.h"
#include "game/UIAchievements.h"
#include "game/UIDoneHandler.h"
#include "game/UIGameplayMenu.h"
#include "game/UIOptions.h"
#include "game/UIProgress.h"
#include "game/UISelectHandler.h"
#include "game/UISettingsMenu.h"
#include "game/UIWorldMapScreen.h"

class Input;

// The pause menu of play: world map, quests, respawn at the fireplace,
// gameplay options, settings and quitting to the title, beside the progress
// panel. Twenty presses of the cancel action unlock a jukebox and the
// credits. Opening it dims the music, stops the play clock and switches the
// presentation to its overlay mode; closing undoes that and tells the done
// handler (the in-game scene while the menu is open), else the menu takes
// itself out of its container.
class UIPause : public UIContainer, public UISelectHandler, public UIDoneHandler {
public:
	static constexpr float kOpenMusicVolume = 0.3f; // music factor while paused
	static constexpr uint8_t kUnlockPresses = 20;

	enum OptionId : uint8_t {
		kClose = 0,
		kRespawn = 1,
		kWorldMap = 2,
		kSettings = 3,
		kGameplay = 4,
		kQuests = 5,
		kMusic = 6,
		kCredits = 7,
		kQuit = 8,
	};

	UIPause();
	~UIPause() override;

	void Init() override;
	// Called each time the in-game scene opens the menu.
	void Open();
	void Close();
	// Pushes the quest panel over the menu.
	void ShowQuests();
	// Pushes the world map over the menu; in the original content there is
	// none and the page is only rebuilt.
	void ShowWorldMap();

	void Update(float dt) override;
	void Render() override;
	void OnSelect(uint8_t id, uint8_t index) override;
	void OnDone() override;

	// Not owned; null removes the menu from its container on close.
	void SetDoneHandler(UIDoneHandler *handler) { doneHandler = handler; }
	UIDoneHandler *GetDoneHandler() const { return doneHandler; }
	// The input read by the menu and its lists; null (the default) is the
	// game's.
	void SetInput(const Input *source);
	// The panels pushed for the quests and the world map: the menu's own
	// achievements list and world-map screen unless others are handed over
	// (not owned).
	void SetQuestPanel(Entity *panel) { questPanel = panel; }
	void SetWorldMapPanel(Entity *panel) { worldMapPanel = panel; }
	bool IsOpen() const { return open != 0; }
	uint8_t GetUnlockCount() const { return unlockCount; }
	UIOptions &GetOptions() { return options; }
	UIProgress &GetProgress() { return progress; }
	UISettingsMenu &GetSettingsMenu() { return settingsMenu; }
	UIGameplayMenu &GetGameplayMenu() { return gameplayMenu; }
	UIWorldMapScreen &GetWorldMapScreen() { return worldMap; }

	// Plays the cue after the one playing now in the cue list; nothing
	// without cues.
	static void PlayNextSong();

private:
	void BuildPaused();
	void Push(Entity *panel);

	UIOptions options;
	UIProgress progress;
	uint8_t unlockCount = 0;
	UISettingsMenu settingsMenu;
	UIGameplayMenu gameplayMenu;
	UIAchievements quests;
	UIWorldMapScreen worldMap;
	Entity *questPanel = &quests;
	Entity *worldMapPanel = &worldMap;
	UIDoneHandler *doneHandler = nullptr;
	const Input *input = nullptr;
	uint8_t open = 0;
	uint8_t countingPress = 0; // this frame's cancel press went to the unlock
};
