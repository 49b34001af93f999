#pragma once

#include "game/Screen.h"
#include "game/UIOptions.h"
#include "game/UISelectHandler.h"

// After the credits of a game that reached an ending: play on or stop.
class ScreenEndChoice : public Screen, public UISelectHandler {
public:
	static constexpr uint8_t kKeepGrinding = 0;
	static constexpr uint8_t kDone = 1;

	ScreenEndChoice();
	~ScreenEndChoice() override;

	void Start() override;
	void OnSelect(uint8_t id, uint8_t index) override;

	UIOptions &GetOptions() { return options; }

private:
	UIOptions options;
};
