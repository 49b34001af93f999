#pragma once

#include "game/Screen.h"
#include "game/UIOptions.h"
#include "game/UISelectHandler.h"

// Before a new game: whether to play the intro.
class ScreenPreIntro : public Screen, public UISelectHandler {
public:
	static constexpr uint8_t kYes = 1;
	static constexpr uint8_t kNo = 2;

	ScreenPreIntro();
	~ScreenPreIntro() override;

	void Start() override;
	void OnSelect(uint8_t id, uint8_t index) override;

	UIOptions &GetOptions() { return options; }

private:
	UIOptions options;
};
