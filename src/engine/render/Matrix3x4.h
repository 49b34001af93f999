#pragma once

#include <glm/glm.hpp>

// An affine transform as three rows of four: the first three columns rotate
// and scale, the fourth translates. Products treat it as a 4x4 matrix whose
// last row is (0, 0, 0, 1); vectors are columns.
struct Matrix3x4 {
	glm::vec4 a = glm::vec4(1, 0, 0, 0);
	glm::vec4 b = glm::vec4(0, 1, 0, 0);
	glm::vec4 c = glm::vec4(0, 0, 1, 0);

	// The rotation of the quaternion (x, y, z, w; normalised here, identity
	// when it has no length) with its columns multiplied by the scale, and
	// the translation as the fourth column.
	static Matrix3x4 FromParts(const glm::vec3 &translate, const glm::vec4 &rotate, const glm::vec3 &scale);

	Matrix3x4 operator*(const Matrix3x4 &other) const;
	Matrix3x4 operator*(float factor) const;
	Matrix3x4 operator+(const Matrix3x4 &other) const;
	// Adds other x factor to every element.
	void AddScaled(const Matrix3x4 &other, float factor);

	glm::vec3 TransformPoint(const glm::vec3 &p) const;
	// Applies the cofactor matrix of the 3x3 part (rows b x c, c x a, a x b):
	// normals stay perpendicular under any scale. Not normalised.
	glm::vec3 TransformNormal(const glm::vec3 &n) const;
	// The three cofactor rows TransformNormal applies, kept for many normals
	// through one matrix and applied with ApplyRows.
	void CofactorRows(glm::vec3 rows[3]) const;
	static glm::vec3 ApplyRows(const glm::vec3 rows[3], const glm::vec3 &v)
	{
		return glm::vec3(glm::dot(rows[0], v), glm::dot(rows[1], v), glm::dot(rows[2], v));
	}
	// False when the 3x3 part cannot be inverted (or holds NaN or infinity).
	bool Invert(Matrix3x4 *out) const;
	// The rotation of the 3x3 part as a unit quaternion (x, y, z, w).
	glm::vec4 ToQuaternion() const;
};
