#include "engine/core/Camera.h"

#include "engine/core/Random.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {
constexpr float kTimedShakeAmount = 0.02f; // shake amount per unit of strength while a timed shake runs
constexpr float kShakeRestThreshold = 0.001f; // below this the view is left alone
constexpr float kShakeMaxSpread = 0.5f; // world units the view may be thrown per axis
constexpr float kShakeDecayRate = 0.1f; // share of the shake lost per frame at 60 frames a second

Camera *currentCamera = nullptr;
Camera *firstCamera = nullptr;
} // namespace

Camera::Camera()
{
	if (!currentCamera)
		currentCamera = this;
}

Camera::~Camera()
{
	if (currentCamera == this)
		currentCamera = nullptr;
}

Camera *Camera::Get()
{
	if (!firstCamera) {
		if (!currentCamera)
			firstCamera = new Camera(); // becomes current in its constructor
		else
			firstCamera = currentCamera;
	}
	return currentCamera;
}

void Camera::SetCurrent(Camera *camera)
{
	currentCamera = camera;
}

void Camera::Shake(float amount)
{
	shakeAmount = Max(shakeAmount, amount);
}

void Camera::ShakeTimed(float seconds, float strength)
{
	if (seconds > shakeTime) {
		shakeTime = seconds;
		shakeStrength = strength;
	}
}

void Camera::Update(float frameTime)
{
	// A timed shake lifts this frame's amount without raising the stored
	// one, so the shake ends as soon as its time runs out.
	float amount = shakeAmount;
	if (shakeTime > 0.0f) {
		shakeTime -= frameTime;
		amount = Max(amount, kTimedShakeAmount * shakeStrength);
	}
	if (amount <= kShakeRestThreshold)
		return;

	const float spread = Min(amount, kShakeMaxSpread);
	Random *random = GetRandom();
	const float vertical = random->Spread(spread);
	const float horizontal = random->Spread(spread);
	shakeOffset = Vec3(horizontal, vertical, 0.0f);
	shakeAmount *= 1.0f - SmoothFactor(kShakeDecayRate, frameTime);
}

glm::mat4 Camera::GetViewMatrix() const
{
	const glm::mat4 unturn = glm::mat4_cast(glm::inverse(transform.rotation));
	const glm::mat4 unmove = glm::translate(glm::mat4(1.0f), -transform.position);
	return unturn * unmove * glm::translate(glm::mat4(1.0f), shakeOffset);
}

void Camera::SetPosition(const Vec3 &point)
{
	listeningPosition = point;
	listeningPositionSet = true;
}

Vec3 Camera::GetPosition() const
{
	return listeningPosition;
}

bool Camera::HasPosition() const
{
	return listeningPositionSet;
}
