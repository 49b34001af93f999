#pragma once

#include "engine/core/MathUtil.h"
#include "engine/core/Transform.h"

#include <cstdint>

// The eye of the 3D view: a transform that the renderer turns into the view
// matrix each frame, a vertical field of view, the frame's clear colour and a
// decaying screen shake that world objects trigger on hard hits. One camera
// is current at a time; the camera does not own the renderer and knows
// nothing of projection, which the renderer builds from the field of view.
class Camera {
public:
	Camera();
	virtual ~Camera();

	// The current camera. On the very first call, with no camera current, a
	// camera is created and kept for the rest of the run; after that nothing
	// is created, so the result is null once the current camera is gone.
	static Camera *Get();
	// Null is allowed.
	static void SetCurrent(Camera *camera);

	// Raises the shake amount to at least amount.
	void Shake(float amount);
	// Starts a shake of the given seconds and strength, unless the shake
	// already running has at least that long left.
	void ShakeTimed(float seconds, float strength);
	// Advances the shake by frameTime seconds; the owner calls it once per
	// frame.
	virtual void Update(float frameTime);

	// Inverse rotation, then minus position, then the shake offset.
	glm::mat4 GetViewMatrix() const;

	// The listening point for positional sound, separate from the eye so the
	// rig can hear from the player while looking from above.
	void SetPosition(const Vec3 &point);
	Vec3 GetPosition() const;
	bool HasPosition() const;

	float GetShakeAmount() const { return shakeAmount; }
	float GetShakeTime() const { return shakeTime; }
	float GetShakeStrength() const { return shakeStrength; }
	Vec3 GetShakeOffset() const { return shakeOffset; }

	int32_t fieldOfView = 45; // vertical, whole degrees
	Vec3 clearColor = Vec3(0.0f, 0.0f, 0.0f); // red, green, blue; alpha is always 0
	Transform transform; // its scale is not used

private:
	float shakeAmount = 0.0f;
	float shakeTime = 0.0f; // seconds left of the timed shake
	float shakeStrength = 1.0f;
	Vec3 shakeOffset = Vec3(0.0f, 0.0f, 0.0f);
	Vec3 listeningPosition = Vec3(0.0f, 0.0f, 0.0f);
	bool listeningPositionSet = false;
};
