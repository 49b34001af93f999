#pragma once

#include <memory>

#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"
#include "game/IAchievementHandler.h"
#include "game/Screen.h"

// The screen that the game keeps over every other one, for achievement
// pop-ups: a line naming the achievement with its icon in the bottom-right
// corner for five seconds. It is a member of the game, never switched: play
// starting enters it (it becomes the current overlay and the achievements'
// handler), and the game updates and draws it after the current scene. While
// a HUD message is open in play the pop-up waits, hidden and with its time
// frozen. Going away, it stops being the current overlay and the handler.
// Its text and icon are made when it first starts and given back by
// ReleaseDrawing, which the game calls before the drawing caches go.
class ScreenOverlay : public Screen, public IAchievementHandler {
public:
	static constexpr float kPopupSeconds = 5.0f;

	ScreenOverlay();
	~ScreenOverlay() override;

	// The overlay whose Start ran last; null before any or once it went.
	static ScreenOverlay *Instance();

	void Start() override;
	void Update(float dt) override;
	void Render() override;
	void OnAchievement(const AchievementDef &def) override;

	// Gives back the text and icon (and hides the pop-up); the next start
	// makes them again.
	void ReleaseDrawing();
	// True while a pop-up has time left.
	bool IsPopupShowing() const { return timer > 0.0f; }
	float GetTimer() const { return timer; }
	// Made on first use.
	const Textbox &GetText() { return Text(); }
	const Sprite &GetIcon() { return Icon(); }

private:
	Textbox &Text();
	Sprite &Icon();

	std::unique_ptr<Textbox> text;
	std::unique_ptr<Sprite> icon;
	float timer = -1.0f; // seconds left; below 0 when hidden
};
