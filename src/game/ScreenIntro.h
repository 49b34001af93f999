#pragma once

#include <cstdint>
#include <string>

#include "engine/core/Camera.h"
#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"
#include "game/Screen.h"
#include "game/UIScrollingText.h"
#include "game/UISkipper.h"

// The intro before a new game, read from "data/intro.xml": a pretext for four
// seconds, then the background, a shrinking logo and the crawl under the intro
// module (tilted into the distance, or flat in an orthographic look), then the
// background scrolls away and play begins. Players who finished a game or
// play Timed Mode may hold a button to skip it.
class ScreenIntro : public Screen {
public:
	enum State : uint32_t {
		kPretext = 0,
		kCrawl = 1,
		kScrollAway = 2,
	};
	static constexpr const char *kIntroFile = "data/intro.xml";
	static constexpr float kPretextSeconds = 4.0f;

	// Tests give a file of their own.
	explicit ScreenIntro(const char *file = kIntroFile);
	~ScreenIntro() override;

	void Start() override;
	void Update(float dt) override;

	uint32_t StepState(float dt);
	uint32_t GetState() const { return state; }
	const char *GetMusicFile() const { return musicFile; }
	bool HasSkipper() const { return skipper.scene == this; }
	const UIScrollingText &GetCrawl() const { return crawl; }
	const Sprite &GetLogo() const { return logo; }
	const Sprite &GetBackground() const { return background; }
	const Textbox &GetPretext() const { return pretext; }

private:
	uint32_t UpdatePretext();
	uint32_t UpdateCrawl();
	uint32_t UpdateScrollAway();
	uint32_t EnterPretext();
	uint32_t EnterCrawl();
	void HideAll();
	void Finish();

	Textbox pretext;
	Sprite background;
	Sprite logo;
	UIScrollingText crawl;
	UISkipper skipper;
	uint32_t state = kPretext;
	float stateTime = 0.0f;
	char musicFile[64] = {};
	Camera camera;
	std::string introFile;
};
