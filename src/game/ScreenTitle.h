#pragma once

#include "engine/core/Camera.h"
#include "engine/core/UIStack.h"
#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"
#include "game/Screen.h"
#include "game/UITitleMenu.h"
#include "objects/MapEntityFactory.h"

class TileMap;

// The title: the preloaded start map seen from a camera circling slowly over
// its lower middle, the game's logo in the top-left corner, the version in
// the bottom-left corner and the title menu on a panel stack. The map belongs
// to the preloader and outlives the screen, so play can start on it.
class ScreenTitle : public Screen {
public:
	static constexpr const char *kVersionText = "1.0.0";
	static constexpr float kCameraHeight = 17.0f;

	ScreenTitle();
	~ScreenTitle() override;

	void Start() override;
	void Update(float dt) override;

	// Where the camera stands at time t over a map of w x h tiles whose
	// tile (w / 2, 3h / 4) lies at ground.
	static Vec3 CameraPosition(Vec3 ground, int w, int h, float t);

	TileMap *GetTileMap() const { return tileMap; }
	UITitleMenu &GetMenu() { return menu; }
	UIStack &GetStack() { return stack; }
	const Camera &GetCamera() const { return camera; }

private:
	TileMap *tileMap = nullptr;
	MapEntityFactory factory;
	Camera camera;
	Sprite logo;
	float time = 0.0f;
	UIStack stack;
	UITitleMenu menu;
	Textbox version;
};
