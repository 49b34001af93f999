#pragma once

#include "engine/core/MathUtil.h"

#include <cstdint>

class Camera;
class Entity;
class TileMap;

// Moves the in-game camera every frame. It follows the player with a soft lag
// from above and behind, at a distance set by the map's zoom, holds the view
// inside the map near its edges, and closes in while the HUD shows a message:
// on the speaker for speech, on the player for other messages. It also sets
// the camera's listening point, which always stays on the player. While the
// game flag "chooksdoor" is set it gives a fixed, far, narrow diagonal view
// instead. The in-game scene holds the rig by value; the rig owns none of
// what it points at.
class CameraRig {
public:
	// Values of closeUp.
	static constexpr uint32_t kCloseUpNone = 0;
	static constexpr uint32_t kCloseUpMessage = 1;
	static constexpr uint32_t kCloseUpSpeech = 2;

	CameraRig() = default;

	// Makes the camera current at a 30-degree field of view and puts the
	// focus on the target; called when play starts and after each map load.
	// The offset, close-up, speaker and bounds blend carry over.
	void Attach(Camera *camera, Entity *target, TileMap *tileMap);
	// One frame; dt in seconds.
	void Update(float dt);

	Vec3 GetFocus() const { return focus; }
	Vec3 GetOffset() const { return offset; }
	uint32_t GetCloseUp() const { return closeUp; }
	bool IsFixedView() const { return fixedMode != 0; }
	float GetBoundsBlend() const { return boundsBlend; }

private:
	void UpdateFollow(float dt);
	void UpdateFixed();
	// Puts the camera at the eye, looking at the focus with +Y up.
	void LookFromEye();

	Camera *camera = nullptr;
	Entity *target = nullptr;
	TileMap *tileMap = nullptr;
	Vec3 focus = Vec3(0.0f);
	Vec3 eye = Vec3(0.0f);
	Vec3 offset = Vec3(0.0f);
	Entity *speaker = nullptr;   // looked at during speech; not owned
	uint32_t closeUp = kCloseUpNone;
	uint32_t fixedMode = 0;
	float boundsBlend = 0.0f;    // 0 to 1: how hard the focus is held inside the map
};
