#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/Camera.h"
#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"
#include "game/Screen.h"

// The first screen of a run: the engine's logo alone for five seconds, a
// tenth of a second of nothing, then the game's and the maker's logos side by
// side, growing a little, while the theme plays and the map behind the title
// preloads. The title follows once the logos have stood 2.7 s and the preload
// is done, whichever is later. Timed in milliseconds by the game's clock.
class ScreenStartup : public Screen {
public:
	enum State : uint32_t {
		kEngineLogo = 0,
		kPause = 1,
		kLogos = 2,
		kDone = 3,
	};
	static constexpr uint32_t kEngineLogoMs = 5001;
	static constexpr uint32_t kPauseMs = 101;
	static constexpr uint32_t kLogosShownFromMs = 100; // logos show strictly between these
	static constexpr uint32_t kLogosShownToMs = 2700;
	static constexpr uint32_t kLogosMs = 2701;

	ScreenStartup();
	~ScreenStartup() override;

	void Start() override;
	void Update(float dt) override;

	// The state after this frame's step of the current one.
	uint32_t StepState(uint32_t current);
	uint32_t GetState() const { return state; }
	const Sprite &GetTitleLogo() const { return titleLogo; }
	const Sprite &GetMakerLogo() const { return makerLogo; }
	const Sprite &GetEngineLogo() const { return engineLogo; }

private:
	uint32_t UpdateEngineLogo();
	uint32_t UpdatePause();
	uint32_t UpdateLogos();
	uint32_t Elapsed() const;

	Textbox credit;
	uint16_t unused = 0;
	uint32_t stateStart = 0;
	Sprite titleLogo;
	Sprite makerLogo;
	Sprite engineLogo;
	uint32_t state = kEngineLogo;
	std::unique_ptr<Camera> camera;
};
