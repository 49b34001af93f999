#include "engine/render/Matrix3x4.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr float kSmallestDeterminant = 1e-12f; // below this a matrix cannot be inverted

}

Matrix3x4 Matrix3x4::FromParts(const glm::vec3 &translate, const glm::vec4 &rotate, const glm::vec3 &scale)
{
	glm::vec4 q = rotate;
	float lengthSquared = glm::dot(q, q);
	if (!(lengthSquared > 0.0f) || !std::isfinite(lengthSquared))
		q = glm::vec4(0, 0, 0, 1);
	else
		q /= std::sqrt(lengthSquared);

	float x2 = q.x + q.x, y2 = q.y + q.y, z2 = q.z + q.z;
	float xx = q.x * x2, yy = q.y * y2, zz = q.z * z2;
	float xy = q.x * y2, xz = q.x * z2, yz = q.y * z2;
	float wx = q.w * x2, wy = q.w * y2, wz = q.w * z2;

	Matrix3x4 m;
	m.a = glm::vec4((1 - (yy + zz)) * scale.x, (xy - wz) * scale.y, (xz + wy) * scale.z, translate.x);
	m.b = glm::vec4((xy + wz) * scale.x, (1 - (xx + zz)) * scale.y, (yz - wx) * scale.z, translate.y);
	m.c = glm::vec4((xz - wy) * scale.x, (yz + wx) * scale.y, (1 - (xx + yy)) * scale.z, translate.z);
	return m;
}

namespace {

glm::vec4 MultiplyRow(const glm::vec4 &row, const Matrix3x4 &o)
{
	return glm::vec4(row.x * o.a.x + row.y * o.b.x + row.z * o.c.x, row.x * o.a.y + row.y * o.b.y + row.z * o.c.y,
		row.x * o.a.z + row.y * o.b.z + row.z * o.c.z, row.x * o.a.w + row.y * o.b.w + row.z * o.c.w + row.w);
}

}

Matrix3x4 Matrix3x4::operator*(const Matrix3x4 &other) const
{
	Matrix3x4 m;
	m.a = MultiplyRow(a, other);
	m.b = MultiplyRow(b, other);
	m.c = MultiplyRow(c, other);
	return m;
}

Matrix3x4 Matrix3x4::operator*(float factor) const
{
	Matrix3x4 m;
	m.a = a * factor;
	m.b = b * factor;
	m.c = c * factor;
	return m;
}

Matrix3x4 Matrix3x4::operator+(const Matrix3x4 &other) const
{
	Matrix3x4 m;
	m.a = a + other.a;
	m.b = b + other.b;
	m.c = c + other.c;
	return m;
}

void Matrix3x4::AddScaled(const Matrix3x4 &other, float factor)
{
	a += other.a * factor;
	b += other.b * factor;
	c += other.c * factor;
}

glm::vec3 Matrix3x4::TransformPoint(const glm::vec3 &p) const
{
	return glm::vec3(a.x * p.x + a.y * p.y + a.z * p.z + a.w, b.x * p.x + b.y * p.y + b.z * p.z + b.w,
		c.x * p.x + c.y * p.y + c.z * p.z + c.w);
}

glm::vec3 Matrix3x4::TransformNormal(const glm::vec3 &n) const
{
	glm::vec3 rows[3];
	CofactorRows(rows);
	return ApplyRows(rows, n);
}

void Matrix3x4::CofactorRows(glm::vec3 rows[3]) const
{
	glm::vec3 ra(a), rb(b), rc(c);
	rows[0] = glm::cross(rb, rc);
	rows[1] = glm::cross(rc, ra);
	rows[2] = glm::cross(ra, rb);
}

bool Matrix3x4::Invert(Matrix3x4 *out) const
{
	// The columns of the inverse are the cofactor rows divided by the
	// determinant.
	glm::vec3 cofactors[3];
	CofactorRows(cofactors);
	const glm::vec3 &cofA = cofactors[0], &cofB = cofactors[1], &cofC = cofactors[2];
	float determinant = glm::dot(glm::vec3(a), cofA);
	if (!std::isfinite(determinant) || std::fabs(determinant) < kSmallestDeterminant)
		return false;
	float inverse = 1.0f / determinant;
	glm::vec3 translate(a.w, b.w, c.w);
	Matrix3x4 m;
	m.a = glm::vec4(cofA.x, cofB.x, cofC.x, 0.0f) * inverse;
	m.b = glm::vec4(cofA.y, cofB.y, cofC.y, 0.0f) * inverse;
	m.c = glm::vec4(cofA.z, cofB.z, cofC.z, 0.0f) * inverse;
	m.a.w = -glm::dot(glm::vec3(m.a), translate);
	m.b.w = -glm::dot(glm::vec3(m.b), translate);
	m.c.w = -glm::dot(glm::vec3(m.c), translate);
	for (const glm::vec4 *row : {&m.a, &m.b, &m.c})
		for (int i = 0; i < 4; i++)
			if (!std::isfinite((*row)[i]))
				return false;
	*out = m;
	return true;
}

glm::vec4 Matrix3x4::ToQuaternion() const
{
	glm::vec4 q;
	float trace = a.x + b.y + c.z;
	if (trace > 0.0f) {
		float r = std::sqrt(1.0f + trace);
		float s = 0.5f / r;
		q = glm::vec4((c.y - b.z) * s, (a.z - c.x) * s, (b.x - a.y) * s, 0.5f * r);
	} else if (a.x > b.y && a.x > c.z) {
		float r = std::sqrt(1.0f + a.x - b.y - c.z);
		float s = 0.5f / r;
		q = glm::vec4(0.5f * r, (b.x + a.y) * s, (a.z + c.x) * s, (c.y - b.z) * s);
	} else if (b.y > c.z) {
		float r = std::sqrt(1.0f + b.y - a.x - c.z);
		float s = 0.5f / r;
		q = glm::vec4((b.x + a.y) * s, 0.5f * r, (c.y + b.z) * s, (a.z - c.x) * s);
	} else {
		float r = std::sqrt(1.0f + c.z - a.x - b.y);
		float s = 0.5f / r;
		q = glm::vec4((a.z + c.x) * s, (c.y + b.z) * s, 0.5f * r, (b.x - a.y) * s);
	}
	float lengthSquared = glm::dot(q, q);
	if (!(lengthSquared > 0.0f) || !std::isfinite(lengthSquared))
		return glm::vec4(0, 0, 0, 1);
	return q / std::sqrt(lengthSquared);
}
