#pragma once

#include <cstdint>

#include "engine/core/UIContainer.h"
#include "game/Settings.h"
#include "game/UIDoneHandler.h"
#include "game/UIOptions.h"
#include "game/UISelectHandler.h"

// The settings menu of the title and pause menus: graphics mode, sound, full
// screen, Timed Mode, and erasing all data. Every change is written to the
// settings at once and applied; each option reads its current value.
class UISettingsMenu : public UIContainer, public UISelectHandler, public UIDoneHandler {
public:
	enum OptionId : uint8_t {
		kPresentation = 0,
		kResetPresentation = 1,
		kSound = 2,
		kGraphics = 4,
		kSaveData = 5,
		kClearDataPage = 6,
		kClearAllData = 7,
		kWindowed = 9,
		kTimedMode = 10,
		kSettingsPage = 11,
		kClose = 12,
	};

	UISettingsMenu();
	~UISettingsMenu() override;

	void Start() override;
	void OnSelect(uint8_t id, uint8_t index) override;
	void OnDone() override;

	UIOptions &GetOptions() { return options; }
	// The post mode after the stored one that the graphics option moves to:
	// the next selectable one, and in a Brutal game only an orthographic one;
	// the stored one when none qualifies.
	static uint8_t NextGraphicsMode(uint8_t current);

private:
	void CopySettings();
	void Save();
	void Close();
	void BuildSettings();
	void BuildPresentation();
	void BuildDataOptions();
	void BuildClearData();

	UIOptions options;
	uint8_t settings[kSettingsSize] = {};
};
