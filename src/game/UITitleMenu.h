#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/UIContainer.h"
#include "game/UIDoneHandler.h"
#include "game/UIOptions.h"
#include "game/UIProgress.h"
#include "game/UISelectHandler.h"
#include "game/UISettingsMenu.h"

// The title screen's menu: start or continue a game in one of three slots,
// choose the difficulty (Brutal asks twice, OG Mode only with the timer on),
// replace a save, load another save file found beside the slots, open the
// settings, the maker's page, or leave.
class UITitleMenu : public UIContainer, public UISelectHandler, public UIDoneHandler {
public:
	enum OptionId : uint8_t {
		kBeginGame = 0,
		kPlayGame = 1,
		kBack = 2,
		kUsedSlot = 3,
		kEmptySlot = 4,
		kReplace = 7,
		kGameSlot = 8,
		kContinue = 9,
		kNewGame = 10,
		kDifficulty = 11,
		kRelaxed = 12,
		kIntended = 13,
		kBrutal = 14,
		kMakeBrutal = 15,
		kOgMode = 16,
		kOtherSaves = 17,
		kSettings = 18,
		kMain = 19,
		kCredits = 20,
		kQuit = 21,
		kMoreGames = 23,
		kExit = 24,
		kFirstOtherSave = 32,
	};
	static constexpr size_t kMaxOtherSaves = 256 - kFirstOtherSave;
	static constexpr size_t kOtherSaveLabelLength = 41;

	UITitleMenu();
	~UITitleMenu() override;

	void Start() override;
	void OnResume() override;
	void OnSelect(uint8_t id, uint8_t index) override;
	void OnDone() override;

	UIOptions &GetOptions() { return options; }
	const UIProgress &GetProgress() const { return progress; }
	UISettingsMenu &GetSettingsMenu() { return settingsMenu; }
	bool IsOgPage() const { return og != 0; }
	// The file names of the other saves page, in the order listed.
	const std::vector<std::string> &GetOtherSaves() const { return otherSaves; }

	// The label an other save file is shown with: its name up to the first
	// '.', with '_' and '-' as blanks, at most 41 characters.
	static std::string OtherSaveLabel(const char *fileName);

private:
	void PageReset(const char *title);
	void BuildMain();
	void BuildPick(bool toLastSlot);
	void BuildGame();
	void BuildReplace();
	void BuildDifficulty();
	void BuildOgMode();
	void BuildMakeBrutal();
	void BuildOtherSaves();
	void ContinueSlot();

	UIOptions options;
	UIProgress progress;
	UISettingsMenu settingsMenu;
	std::vector<std::string> otherSaves;
	uint8_t og = 0;
};
