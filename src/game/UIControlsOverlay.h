#pragma once

#include <cstdint>

#include "engine/core/Entity.h"
#include "engine/render/Sprite.h"

// The picture of the game's default controls over the menu; any action
// closes it (not the press that opened it).
class UIControlsOverlay : public Entity {
public:
	static constexpr float kWidth = 445.0f;
	static constexpr float kHeight = 232.0f;

	UIControlsOverlay();
	~UIControlsOverlay() override;

	void Init() override;
	void Start() override;
	void Update(float dt) override;
	void Render() override;

	const Sprite &GetPicture() const { return picture; }

private:
	Sprite picture;
	uint8_t firstFrame = 1;
};
