#pragma once

#include "engine/core/MathUtil.h"

#include <glm/gtc/quaternion.hpp>

// The placement that every entity and the camera carry: position, per-axis
// scale and a rotation quaternion. The world is right-handed with +Y up; an
// unrotated object looks along -Z with +X to its right. The fields are public
// because colliders write the pushed-out position straight back into them.
class Transform {
public:
	Transform();

	void SetPosition(const Vec3 &value);
	void SetScale(const Vec3 &value);
	void SetRotation(const glm::quat &value);
	void SetUniformScale(float s);

	// Turns by angle radians about axis in the object's own frame (the axis
	// is normalised first).
	void Rotate(float angle, const Vec3 &axis);
	// Points the local -Z axis along direction, keeping +Y as close to up as
	// possible. A zero direction gives an undefined rotation.
	void SetDirection(const Vec3 &direction, const Vec3 &up);
	// Faces the target point with +Y up; the target must differ from the
	// position.
	void LookAt(const Vec3 &target);

	// translate(position) * rotation * scale: a vertex is scaled, then
	// rotated, then moved.
	glm::mat4 GetMatrix() const;
	// Takes position, rotation and scale apart from a matrix; skew and
	// perspective are dropped.
	void SetFromMatrix(const glm::mat4 &matrix);

	Vec3 GetForward() const;
	Vec3 GetUp() const;
	Vec3 GetRight() const;

	Vec3 position;
	Vec3 scale;
	glm::quat rotation;
};
