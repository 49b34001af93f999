#pragma once

#include "engine/core/Scene.h"

class Entity;

// The scene of play: the map, the player and everything in the world, with
// the HUD on top. Besides the HUD it can show one overlay interface, a panel
// that takes over the screen for a while (such as a menu a script opens);
// the scene lists the overlay but does not own it.
class TalvexGameScene : public Scene {
public:
	TalvexGameScene() = default;

	// Installs ui as the overlay, taking the previous one out of the scene;
	// null only removes the overlay.
	void SetOverlayUI(Entity *ui) override;
	Entity *GetOverlayUI() const { return overlayUI; }

private:
	Entity *overlayUI = nullptr;
};
