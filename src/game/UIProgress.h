#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/Entity.h"
#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"
#include "map/ProgressSummary.h"

class GameProgress;

// The progress panel beside the pause menu, on the load screen, under the
// title menu's slot pages and on the victory screen: the save's name, then the
// play time and deaths (in Timed Mode or when asked) or the cooler's capacity,
// and a grid of icons for the story missions done and the dragons beaten.
class UIProgress : public Entity {
public:
	static constexpr int kIconSize = 32;
	static constexpr int kIconColumns = 4;

	UIProgress();
	~UIProgress() override;

	void Init() override;
	void Render() override;

	// Works the text and icons out from the record shown (the owned one, else
	// the live game); Render runs it first.
	void Refresh();
	// Shows this record instead of the live game; the panel owns it.
	void SetRecord(std::unique_ptr<GameProgress> owned);
	void SetHideIcons(bool on) { hideIcons = on ? 1 : 0; }
	void SetShowDeaths(bool on) { showDeaths = on ? 1 : 0; }
	const char *GetText() const { return info.GetText(); }
	const Sprite &GetMissionIcon(int index) const { return missionIcons[index]; }
	const Sprite &GetDragonIcon(int index) const { return dragonIcons[index]; }

private:
	Textbox info;
	Sprite missionIcons[kSummaryMissionCount];
	Sprite dragonIcons[kDragonCoinCount];
	ProgressSummary summary;
	uint8_t unused = 255;
	std::unique_ptr<GameProgress> record;
	uint8_t hideIcons = 0;
	uint8_t showDeaths = 0;
};
