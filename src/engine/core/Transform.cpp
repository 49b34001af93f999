#include "engine/core/Transform.h"

#define GLM_ENABLE_EXPERIMENTAL
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtx/matrix_decompose.hpp>

namespace {
const Vec3 kLocalForward(0.0f, 0.0f, -1.0f);
const Vec3 kLocalUp(0.0f, 1.0f, 0.0f);
const Vec3 kLocalRight(1.0f, 0.0f, 0.0f);
} // namespace

Transform::Transform()
	: position(0.0f, 0.0f, 0.0f), scale(1.0f, 1.0f, 1.0f), rotation(Vec3(0.0f, 0.0f, 0.0f))
{
}

void Transform::SetPosition(const Vec3 &value)
{
	position = value;
}

void Transform::SetScale(const Vec3 &value)
{
	scale = value;
}

void Transform::SetRotation(const glm::quat &value)
{
	rotation = value;
}

void Transform::SetUniformScale(float s)
{
	scale = Vec3(s, s, s);
}

void Transform::Rotate(float angle, const Vec3 &axis)
{
	rotation = glm::rotate(rotation, angle, glm::normalize(axis));
}

void Transform::SetDirection(const Vec3 &direction, const Vec3 &up)
{
	rotation = glm::quatLookAtRH(glm::normalize(direction), up);
}

void Transform::LookAt(const Vec3 &target)
{
	SetDirection(target - position, kLocalUp);
}

glm::mat4 Transform::GetMatrix() const
{
	glm::mat4 moved = glm::translate(glm::mat4(1.0f), position);
	return moved * glm::mat4_cast(rotation) * glm::scale(glm::mat4(1.0f), scale);
}

void Transform::SetFromMatrix(const glm::mat4 &matrix)
{
	glm::vec3 skew;
	glm::vec4 perspective;
	glm::decompose(matrix, scale, rotation, position, skew, perspective);
}

Vec3 Transform::GetForward() const
{
	return rotation * kLocalForward;
}

Vec3 Transform::GetUp() const
{
	return rotation * kLocalUp;
}

Vec3 Transform::GetRight() const
{
	return rotation * kLocalRight;
}
