#pragma once

#include "engine/core/Camera.h"
#include "engine/render/Textbox.h"
#include "game/Screen.h"
#include "game/UIProgress.h"

// The victory title after the tally, by the lowest difficulty played, with
// the end-of-game achievements and missions, the progress panel with deaths
// and time, and the version. After 5 s any action rolls the credits with the
// theme song.
class ScreenWon : public Screen {
public:
	static constexpr float kWaitSeconds = 5.0f;

	ScreenWon();
	~ScreenWon() override;

	void Start() override;
	void Update(float dt) override;

	const Textbox &GetTitle() const { return title; }
	const UIProgress &GetProgress() const { return progress; }

private:
	Textbox title;
	UIProgress progress;
	Camera camera;
	float timer = 0.0f;
	Textbox version;
};
