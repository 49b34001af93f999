#pragma once

#include "engine/core/Entity.h"
#include "engine/render/Textbox.h"

class Input;

// The hold-to-skip prompt of the intro and the credits: while any game action
// is held it counts "Skip in 3..." down in the bottom-right corner and is
// ready once the hold has lasted three seconds. Letting go starts the count
// again; presses in its first half second are not counted.
class UISkipper : public Entity {
public:
	static constexpr float kHoldSeconds = 3.0f;
	static constexpr float kIgnoreSeconds = 0.5f;

	UISkipper() = default;
	~UISkipper() override = default;

	bool IsReady() const { return holdTime >= kHoldSeconds; }
	float GetHoldTime() const { return holdTime; }
	const Textbox &GetText() const { return text; }
	// The input read; null (the default) is the game's.
	void SetInput(const Input *source) { input = source; }

	void Start() override;
	void Update(float dt) override;
	void Render() override;

private:
	Textbox text;
	float holdTime = 0.0f;
	float elapsed = 0.0f;
	const Input *input = nullptr;
};
