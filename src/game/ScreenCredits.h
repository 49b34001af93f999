#pragma once

#include "engine/core/Camera.h"
#include "game/Screen.h"
#include "game/UIScrollingText.h"
#include "game/UISkipper.h"

// The credits rolling up the screen from "data/credits.txt". Any action ends
// them once fewer than 100 units are left to scroll; before that only the
// hold-to-skip prompt does, which players who finished a game or play Timed
// Mode get. They lead to the end choice after an ending or a betrayal, else to
// the title.
class ScreenCredits : public Screen {
public:
	static constexpr float kActionEndsWithin = 100.0f; // units left to scroll

	ScreenCredits();
	~ScreenCredits() override;

	void Start() override;
	void Update(float dt) override;
	// Ends the theme song that the credits may have started as a sound.
	void Leave(Scene *next) override;

	virtual const char *GetFileName() const { return "data/credits.txt"; }
	virtual void Finish();

	bool HasSkipper() const { return skipper.scene == this; }
	const UIScrollingText &GetCrawl() const { return crawl; }

protected:
	Camera camera;
	UIScrollingText crawl;
	UISkipper skipper;
};
