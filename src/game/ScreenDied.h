#pragma once

#include <cstdint>

#include "engine/core/Camera.h"
#include "engine/render/Textbox.h"
#include "game/Screen.h"

// After the player's death: a banner from a table of eighteen, "YOU DIED"
// joining it after 1.3 s, and play again from the slot after 5 s (twice as
// fast on Brutal).
class ScreenDied : public Screen {
public:
	static constexpr int kBannerCount = 18;
	static constexpr float kYouDiedAt = 1.3f;
	static constexpr float kContinueAt = 5.0f;

	ScreenDied();
	~ScreenDied() override;

	void Start() override;
	void Update(float dt) override;

	// The banner of the next death: row (counter mod 18), then the counter
	// moves on. The first call of a run sets the counter from the clock.
	static const char *PickDeathBanner();
	static const char *Banner(int row);
	// Puts the counter at a row (tests).
	static void SetBannerCounter(uint32_t value);

	const Textbox &GetBanner() const { return banner; }
	const Textbox &GetYouDied() const { return youDied; }
	float GetSpeed() const { return speed; }

private:
	Textbox banner;
	Textbox youDied;
	float timer = 0.0f;
	Camera camera;
	float speed = 1.0f;
};
