#include "game/UIProgress.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "engine/core/StringUtil.h"
#include "engine/render/Material.h"
#include "map/Missions.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"

constexpr const char *kIconSheet = "mats/entities-hq.png";
constexpr uint8_t kSheetCells = 8;
constexpr uint8_t kMissionDoneCell[2] = {5, 2};
constexpr uint8_t kNotDoneCell[2] = {6, 2};
constexpr uint8_t kDragonCell[2] = {3, 4};
constexpr int kBigCoolerCapacity = 250; // tenths of a kilogram: 25 kg earns a "!"
constexpr float kTextIndent = 64.0f;
constexpr float kIconRowsWithTime = 94.0f;
constexpr float kIconRowsWithoutTime = 74.0f;
constexpr float kDragonRowsBelow = 100.0f;

UIProgress::UIProgress()
{
	drawLayer = kInterfaceLayer;
}

UIProgress::~UIProgress() = default;

void UIProgress::Init()
{
	info.SetAnchor(glm::vec2(0.5f, 0.0f));
	info.SetFontSize(20);
	info.Init();
	for (Sprite &icon : missionIcons) {
		icon.SetTexture(kIconSheet);
		icon.SetSize(kIconSize, kIconSize);
		icon.SetFrame(kMissionDoneCell[0], kMissionDoneCell[1], kSheetCells, kSheetCells);
		icon.Init();
	}
	for (Sprite &icon : dragonIcons) {
		icon.SetTexture(kIconSheet);
		icon.SetSize(kIconSize, kIconSize);
		icon.SetFrame(kDragonCell[0], kDragonCell[1], kSheetCells, kSheetCells);
		icon.Init();
	}
}

void UIProgress::SetRecord(std::unique_ptr<GameProgress> owned)
{
	record = std::move(owned);
}

void UIProgress::Refresh()
{
	const GameProgress &shown = record != nullptr ? *record : GameProgress::Current();
	Missions::Summarize(summary, shown.Facts());
	TalvexGame &game = TalvexGame::Current();
	char time[kDurationTextSize] = {};
	FormatDuration(time, game.IsInGame() ? game.PlayTimeMs() : shown.playSeconds * 1000u);
	std::string name = shown.Summary(summary).line;
	for (char &c : name)
		c = (char)toupper((unsigned char)c);
	const bool withTime = showDeaths != 0 || Settings::Instance().Get()[kSettingTimedMode] != 0;
	char second[48];
	if (withTime)
		snprintf(second, sizeof(second), "DEATHS: %i", (int)shown.deaths);
	else {
		const int capacity = shown.stats.GetMaxWeight();
		snprintf(second, sizeof(second), "%ikg COOLER%s", capacity / 10, capacity >= kBigCoolerCapacity ? "!" : "");
	}
	info.SetTextFormat("%s%s%s\n%s", name.c_str(), withTime ? "\nTIME: " : "", withTime ? time : "", second);
	const Vec3 at = transform.position;
	info.transform.SetPosition(at + Vec3(kTextIndent, 0.0f, 0.0f));
	const float rowBase = withTime ? kIconRowsWithTime : kIconRowsWithoutTime;
	for (int i = 0; i < kSummaryMissionCount; i++) {
		const uint8_t *cell = summary.missionDone[i] != 0 ? kMissionDoneCell : kNotDoneCell;
		missionIcons[i].SetFrame(cell[0], cell[1], kSheetCells, kSheetCells);
		missionIcons[i].transform.SetPosition(at + Vec3((float)((i % kIconColumns) * kIconSize),
			(float)((i / kIconColumns) * kIconSize) + rowBase, 0.0f));
	}
	for (int j = 0; j < kDragonCoinCount; j++) {
		const uint8_t *cell = summary.dragonFound[j] != 0 ? kDragonCell : kNotDoneCell;
		dragonIcons[j].SetFrame(cell[0], cell[1], kSheetCells, kSheetCells);
		dragonIcons[j].transform.SetPosition(at + Vec3((float)((j % kIconColumns) * kIconSize),
			(float)((j / kIconColumns) * kIconSize) + rowBase + kDragonRowsBelow, 0.0f));
	}
}

void UIProgress::Render()
{
	Refresh();
	info.Render();
	if (hideIcons != 0)
		return;
	for (Sprite &icon : missionIcons)
		if (icon.IsVisible())
			icon.Render();
	for (Sprite &icon : dragonIcons)
		if (icon.IsVisible())
			icon.Render();
}
