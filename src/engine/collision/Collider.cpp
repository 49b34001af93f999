#include "engine/collision/Collider.h"

#include "engine/core/Entity.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {
// Below this share of the right axis along world X the owner counts as
// turned a quarter turn about Y, and its footprint turns with it.
constexpr float kQuarterTurnThreshold = 0.2f;
} // namespace

bool BoxOverlaps(const ColliderBox &a, const ColliderBox &b)
{
	// X and Z first: most pairs in a level are separated on the ground plane.
	constexpr int kAxisOrder[3] = { 0, 2, 1 };
	for (int axis : kAxisOrder) {
		if (a.centre[axis] - a.half[axis] > b.centre[axis] + b.half[axis])
			return false;
		if (b.centre[axis] - b.half[axis] > a.centre[axis] + a.half[axis])
			return false;
	}
	return true;
}

bool BoxContains(const ColliderBox &a, const Vec3 &point)
{
	constexpr int kAxisOrder[3] = { 0, 2, 1 };
	for (int axis : kAxisOrder) {
		if (a.centre[axis] - a.half[axis] > point[axis])
			return false;
		if (point[axis] > a.centre[axis] + a.half[axis])
			return false;
	}
	return true;
}

namespace {
// Moves a out along one ground axis, back towards the side it came from;
// with equal centres it goes to the negative side.
void PushAlongAxis(ColliderBox &a, const ColliderBox &b, int axis)
{
	const float distance = b.centre[axis] - a.centre[axis];
	const float reach = a.half[axis] + b.half[axis];
	if (reach > std::fabs(distance)) {
		const float side = distance >= 0.0f ? -1.0f : 1.0f;
		a.centre[axis] = b.centre[axis] + side * reach;
	}
}
} // namespace

void BoxPushOut(ColliderBox &a, const ColliderBox &b)
{
	const float top = b.centre.y + b.half.y;
	if (a.centre.y > top) {
		// Standing on b: set a on its top whatever the side overlap is.
		a.centre.y = top + a.half.y;
		return;
	}
	const Vec3 d = b.centre - a.centre;
	const float gapX = std::fabs(d.x) - a.half.x - b.half.x;
	const float gapZ = std::fabs(d.z) - a.half.z - b.half.z;
	if (gapX > gapZ)
		PushAlongAxis(a, b, 0);
	else
		PushAlongAxis(a, b, 2);
}

Collider::Collider(Entity *owner, const Vec3 &size, const Vec3 &offset)
	: owner(owner), size(size), offset(offset)
{
}

const ColliderBox &Collider::UpdateBounds()
{
	const Transform &placement = owner->transform;
	// A check tests each box against many others; most owners have not moved
	// since the last test, and comparing is cheaper than turning the right
	// axis again. Bits, not values, are compared, so that a kept box is the
	// one a rebuild would give even for a NaN or a negative zero.
	static_assert(sizeof(BoxSource) == 16 * sizeof(float), "BoxSource is compared as raw bytes");
	const BoxSource source{ placement.position, placement.scale, placement.rotation, size, offset };
	if (builtFor == owner && std::memcmp(&source, &builtFrom, sizeof source) == 0)
		return box;
	builtFrom = source;
	builtFor = owner;

	Vec3 half = size * 0.5f;
	const Vec3 right = placement.GetRight();
	if (std::fabs(glm::dot(right, Vec3(1.0f, 0.0f, 0.0f))) < kQuarterTurnThreshold)
		std::swap(half.x, half.z);
	half *= glm::abs(placement.scale);
	box.centre = placement.position + offset;
	box.half = half;
	return box;
}

bool Collider::Intersects(Collider *other)
{
	if (!other)
		return false;
	UpdateBounds();
	other->UpdateBounds();
	return BoxOverlaps(box, other->box);
}

bool Collider::ContainsPoint(Vec3 point)
{
	UpdateBounds();
	return BoxContains(box, point);
}

void Collider::Resolve(Collider *other)
{
	if (!other || weight > other->weight)
		return;
	other->UpdateBounds();
	BoxPushOut(box, other->box);
	owner->transform.position = box.centre - offset;
	// The pushed box may differ in its last bits from the one the new
	// position gives, and that position may even round to the old one: the
	// next test rebuilds from the owner, as it always has.
	builtFor = nullptr;
}

void ForgetContacts(Entity *entity)
{
	if (entity == nullptr || entity->collider == nullptr)
		return;
	// Emptied, not freed: the next check fills the list again.
	std::vector<Entity *> &partners = entity->collider->contacts;
	for (Entity *partner : partners) {
		if (partner == entity || partner->collider == nullptr || partner->collider == entity->collider)
			continue;
		std::vector<Entity *> &theirs = partner->collider->contacts;
		theirs.erase(std::remove(theirs.begin(), theirs.end(), entity), theirs.end());
	}
	partners.clear();
}
