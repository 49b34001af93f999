#pragma once

#include <cstdint>

#include "engine/core/Camera.h"
#include "engine/render/Textbox.h"
#include "game/Screen.h"
#include "game/UIProgress.h"

// The screen between choosing a save and play: a joking caption in the
// bottom-right corner and, for a game already under way, a tip with its
// heading and the progress panel. It steps the map preloader, loads the
// environment and mission tables at phase 1, says "READY: Press to begin!" at
// phase 2 and then waits for any action (a fresh game starts at once).
class ScreenLoadGame : public Screen {
public:
	static constexpr int kNormalTipCount = 24;
	static constexpr int kBrutalTipCount = 28;
	static constexpr size_t kTipSize = 72; // bytes a row, terminator included

	ScreenLoadGame();
	~ScreenLoadGame() override;

	void Start() override;
	void Update(float dt) override;

	uint8_t GetPhase() const { return phase; }
	float GetPhaseRate() const { return phaseRate; }
	bool ShowsTips() const { return showTips != 0; }
	// How often the tables were loaded on reaching phase 1 (once).
	int TableLoads() const { return tableLoads; }
	const Textbox &GetCaption() const { return caption; }
	const Textbox &GetTip() const { return tip; }
	const Textbox &GetHeading() const { return heading; }
	const UIProgress &GetProgress() const { return progress; }

	// The tip tables.
	static const char *NormalTip(int row);
	static const char *BrutalTip(int row);
	// The row of the tip shown last (0: none yet), shared by every load
	// screen of the run; tests set it.
	static uint8_t LastTipIndex();
	static void SetLastTipIndex(uint8_t index);

private:
	Textbox caption;
	Textbox tip;
	Textbox heading;
	float time = 0.0f;
	Camera camera;
	Vec3 captionBase = Vec3(0.0f);
	uint8_t phase = 0;
	float phaseRate = 0.25f;
	UIProgress progress;
	uint8_t showTips = 0;
	int tableLoads = 0;
};
