#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/UIContainer.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/UIControlsOverlay.h"
#include "game/UIDoneHandler.h"
#include "game/UIOptions.h"
#include "game/UISelectHandler.h"

// The running game's combat and save-point difficulty, the in-game map, and
// the controls picture. Difficulty changes wait on a copy of the game state
// and reach the game only through "Accept" on the way out.
class UIGameplayMenu : public UIContainer, public UISelectHandler, public UIDoneHandler {
public:
	enum OptionId : uint8_t {
		kControls = 0,
		kRespawn = 1,
		kCombat = 2,
		kReserved = 3,
		kMap = 4,
		kBack = 5,
		kAccept = 6,
		kDiscard = 7,
	};

	UIGameplayMenu();
	~UIGameplayMenu() override;

	void Start() override;
	// Builds the "Gameplay" page from the live game.
	virtual void Open();
	void OnSelect(uint8_t id, uint8_t index) override;
	void OnDone() override;

	UIOptions &GetOptions() { return options; }
	const GameProgress &GetCopy() const { return copy; }
	bool IsChanged() const { return changed != 0; }
	UIControlsOverlay &GetControls() { return controls; }

private:
	void RefreshLabels();
	void Close();

	UIOptions options;
	GameProgress copy;
	uint8_t settings[kSettingsSize] = {};
	uint8_t changed = 0;
	UIControlsOverlay controls;
};
