#pragma once

#include <cstdint>

#include "engine/render/Textbox.h"
#include "game/Screen.h"
#include "map/ProgressSummary.h"

// "QUEST COMPLETE": the tally after the main quest, one row every 1.5 s
// (story missions, dragon coins, secrets), each landing with a hit, then the
// victory screen after a thunder clap.
class ScreenCountUp : public Screen {
public:
	static constexpr int kRows = 3;
	static constexpr int kStoryTotal = 12;
	static constexpr int kDragonCoinTotal = 8;
	static constexpr int kSecretTotal = 33;

	ScreenCountUp();
	~ScreenCountUp() override;

	void Start() override;
	void Update(float dt) override;

	int GetRow() const { return row; }
	const Textbox &GetTitle() const { return title; }
	const Textbox &GetLabel(int index) const { return labels[index]; }
	const Textbox &GetValue(int index) const { return values[index]; }

private:
	void ShowRow();
	void ShowStory();
	void ShowDragonCoins();
	void ShowSecrets();
	void Finish();
	void FillRow(int index, const char *sound, const char *label, int count, int total, float duration);

	Textbox title;
	Textbox labels[kRows];
	Textbox values[kRows];
	float rowTimer = 0.0f;
	int32_t row = -2;
	float rowDuration = 0.0f;
	ProgressSummary summary;
};
