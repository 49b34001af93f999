#pragma once

#include <cstdint>

#include "engine/render/Textbox.h"
#include "game/Screen.h"
#include "map/MapStr.h"
#include "map/ProgressSummary.h"

// One of the five endings: "ENDING n of 5" over the ending's own sentence for
// four seconds. The secret one ("Enigmania!") rolls the French credits; every
// other one thunders and starts the game over from the logos.
class ScreenWinAlt : public Screen {
public:
	static constexpr float kStepSeconds = 4.0f;
	static constexpr const char *kSecretEnding = "Enigmania!";

	ScreenWinAlt(const char *text, uint8_t ending);
	~ScreenWinAlt() override;

	void Start() override;
	void Update(float dt) override;

	int GetStep() const { return step; }
	uint8_t GetEnding() const { return ending; }
	const Textbox &GetHeading() const { return heading; }
	const Textbox &GetMessage() const { return message; }

private:
	void NextStep();
	void Finish();

	Textbox heading;
	Textbox message;
	float timer = 0.0f;
	int32_t step = -2;
	float stepDuration = 0.0f;
	ProgressSummary summary;
	MapMessage text;
	uint8_t ending = 0;
};
