#pragma once

#include "engine/core/UIContainer.h"

class Input;
class UIDoneHandler;

// The pause menu of play, for now a bare panel: opening it dims the music,
// stops the play clock and switches the presentation to its overlay mode;
// back or confirm closes it again. Closing tells the done handler when one is
// set (the in-game scene, while the menu is open), else the panel takes
// itself out of its container. The pages of the menu come later.
class UIPause : public UIContainer {
public:
	static constexpr float kOpenMusicVolume = 0.3f; // music factor while paused

	UIPause() = default;
	~UIPause() override = default;

	// Called each time the in-game scene opens the menu.
	void Open();
	void Close();
	// The quests page and the world-map page; neither exists yet.
	void ShowQuests();
	void ShowWorldMap();

	void Update(float dt) override;

	// Not owned; null removes the panel from its container on close.
	void SetDoneHandler(UIDoneHandler *handler) { doneHandler = handler; }
	UIDoneHandler *GetDoneHandler() const { return doneHandler; }
	// The input read for back and confirm; null (the default) is the game's.
	void SetInput(const Input *source) { input = source; }
	bool IsOpen() const { return open != 0; }

private:
	UIDoneHandler *doneHandler = nullptr;
	const Input *input = nullptr;
	uint8_t open = 0;
	uint8_t openedThisFrame = 0;
};
