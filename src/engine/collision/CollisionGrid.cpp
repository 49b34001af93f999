#include "engine/collision/CollisionGrid.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr float kCellsPerUnit = 1.0f / CollisionGrid::kCellSide; // a power of two: scaling is exact
// Past this many cells from the origin a box is filed everywhere, which keeps
// every cell number a float holds exactly and an int32 holds at all.
constexpr float kFarthestCell = 4194304.0f;
constexpr uint32_t kFewestBuckets = 64;
} // namespace

bool CollisionGrid::Span::Holds(const Span &inner) const
{
	if (wide)
		return true;
	return !inner.wide && x0 <= inner.x0 && inner.x1 <= x1 && z0 <= inner.z0 && inner.z1 <= z1;
}

bool CollisionGrid::Span::HoldsCell(int32_t x, int32_t z) const
{
	return wide || (x0 <= x && x <= x1 && z0 <= z && z <= z1);
}

bool CollisionGrid::Span::Meets(const Span &other) const
{
	if (wide || other.wide)
		return true;
	return x0 <= other.x1 && other.x0 <= x1 && z0 <= other.z1 && other.z0 <= z1;
}

CollisionGrid::Span CollisionGrid::Span::Round(const Span &a, const Span &b)
{
	Span round;
	round.wide = a.wide || b.wide;
	if (round.wide)
		return round;
	round.x0 = std::min(a.x0, b.x0);
	round.z0 = std::min(a.z0, b.z0);
	round.x1 = std::max(a.x1, b.x1);
	round.z1 = std::max(a.z1, b.z1);
	round.wide = round.x1 - round.x0 >= kMostCellsAcross || round.z1 - round.z0 >= kMostCellsAcross;
	return round;
}

CollisionGrid::Span CollisionGrid::SpanOf(const ColliderBox &box, float grow)
{
	// The very bounds BoxOverlaps compares, so that two boxes it finds
	// overlapping, or touching, always have a cell in common.
	float lowX = box.centre.x - box.half.x;
	float highX = box.centre.x + box.half.x;
	float lowZ = box.centre.z - box.half.z;
	float highZ = box.centre.z + box.half.z;
	// A negative size turns a box inside out; it can only meet boxes that
	// reach over its whole turned extent.
	if (lowX > highX)
		std::swap(lowX, highX);
	if (lowZ > highZ)
		std::swap(lowZ, highZ);
	const float x0 = std::floor((lowX - grow) * kCellsPerUnit);
	const float x1 = std::floor((highX + grow) * kCellsPerUnit);
	const float z0 = std::floor((lowZ - grow) * kCellsPerUnit);
	const float z1 = std::floor((highZ + grow) * kCellsPerUnit);
	Span span;
	// Written so that a NaN anywhere also makes the span wide.
	constexpr float kMostAcross = static_cast<float>(kMostCellsAcross);
	const bool fits = x1 - x0 < kMostAcross && z1 - z0 < kMostAcross &&
		std::fabs(x0) < kFarthestCell && std::fabs(x1) < kFarthestCell &&
		std::fabs(z0) < kFarthestCell && std::fabs(z1) < kFarthestCell;
	if (!fits) {
		span.wide = true;
		return span;
	}
	span.x0 = static_cast<int32_t>(x0);
	span.x1 = static_cast<int32_t>(x1);
	span.z0 = static_cast<int32_t>(z0);
	span.z1 = static_cast<int32_t>(z1);
	return span;
}

uint32_t CollisionGrid::Bucket(int32_t x, int32_t z) const
{
	uint32_t hash = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(z) * 0x85EBCA6Bu;
	hash ^= hash >> 15;
	return hash & bucketMask;
}

void CollisionGrid::Clear(uint32_t entries)
{
	count = entries;
	uint32_t buckets = kFewestBuckets;
	while (buckets < 2 * count)
		buckets *= 2;
	bucketMask = buckets - 1;
	heads.assign(buckets, kNone);
	chainLengths.assign(buckets, 0);
	nodes.clear();
	filings.assign(count, Filing{});
	everywhere.clear();
	rowStamps.assign(count, 0);
	rowStamp = 0;
	gathered = Span{};
	row.clear();
	rowSorted = 0;
}

void CollisionGrid::Unlink(uint32_t at)
{
	const Node &node = nodes[at];
	const uint32_t bucket = Bucket(node.x, node.z);
	--chainLengths[bucket];
	if (node.prev != kNone)
		nodes[node.prev].next = node.next;
	else
		heads[bucket] = node.next;
	if (node.next != kNone)
		nodes[node.next].prev = node.prev;
}

void CollisionGrid::File(uint32_t index, const ColliderBox &box)
{
	Filing &filing = filings[index];
	for (uint32_t n = 0; n < filing.nodeCount; ++n)
		Unlink(filing.firstNode + n);
	filing.nodeCount = 0;
	filing.filed = true;
	filing.span = SpanOf(box, kMargin);
	const Span &span = filing.span;
	if (span.wide) {
		if (!filing.listed)
			everywhere.push_back(index);
		filing.listed = true;
		return;
	}
	const uint32_t needed = static_cast<uint32_t>((span.x1 - span.x0 + 1) * (span.z1 - span.z0 + 1));
	if (needed > filing.nodeRoom) {
		// Filed again over more cells than before: its old nodes stay unused
		// until the grid is cleared.
		filing.firstNode = static_cast<uint32_t>(nodes.size());
		filing.nodeRoom = needed;
		nodes.resize(nodes.size() + needed);
	}
	uint32_t at = filing.firstNode;
	for (int32_t z = span.z0; z <= span.z1; ++z) {
		for (int32_t x = span.x0; x <= span.x1; ++x, ++at) {
			const uint32_t bucket = Bucket(x, z);
			uint32_t &head = heads[bucket];
			++chainLengths[bucket];
			nodes[at] = Node{ x, z, index, kNone, head };
			if (head != kNone)
				nodes[head].prev = at;
			head = at;
		}
	}
	filing.nodeCount = needed;
}

bool CollisionGrid::Follow(uint32_t index, const ColliderBox &box)
{
	const Filing &filing = filings[index];
	if (filing.filed && filing.span.Holds(SpanOf(box, 0.0f)))
		return false;
	File(index, box);
	return true;
}

void CollisionGrid::Join(uint32_t index)
{
	if (filings[index].span.Meets(gathered))
		Take(index);
}

void CollisionGrid::Take(uint32_t index)
{
	if (rowStamps[index] == rowStamp)
		return;
	rowStamps[index] = rowStamp;
	row.push_back(index);
}

void CollisionGrid::Gather(const Span &span, const Span &skipped, uint32_t after)
{
	// In a crowd the cells hold about everyone after anyway: taking them all
	// in order is cheaper than walking the cells. The extra pairs fail the
	// box test.
	size_t walk = 0;
	if (!span.wide) {
		for (int32_t z = span.z0; z <= span.z1; ++z) {
			for (int32_t x = span.x0; x <= span.x1; ++x)
				walk += skipped.HoldsCell(x, z) ? 0 : chainLengths[Bucket(x, z)];
		}
	}
	if (span.wide || walk >= count - after) {
		for (uint32_t index = after + 1; index < count; ++index)
			Take(index);
		// Nothing is left to gather for this row.
		gathered.wide = true;
		return;
	}
	for (uint32_t index : everywhere) {
		if (index > after && filings[index].span.wide)
			Take(index);
	}
	for (int32_t z = span.z0; z <= span.z1; ++z) {
		for (int32_t x = span.x0; x <= span.x1; ++x) {
			if (skipped.HoldsCell(x, z))
				continue;
			for (uint32_t at = heads[Bucket(x, z)]; at != kNone; at = nodes[at].next) {
				const Node &node = nodes[at];
				if (node.x == x && node.z == z && node.index > after)
					Take(node.index);
			}
		}
	}
}

void CollisionGrid::SortFrom(size_t from, uint32_t after)
{
	const size_t taken = row.size() - from;
	const size_t following = count - after - 1; // entries numbered above after
	if (taken < 2)
		return;
	if (taken * kScanOverSort < following) {
		std::sort(row.begin() + static_cast<std::ptrdiff_t>(from), row.end());
		return;
	}
	// Most of what follows is in the row (a crowd): picking the taken ones
	// out in order is cheaper than sorting them.
	row.resize(from);
	for (uint32_t index = after + 1; index < count; ++index) {
		if (rowStamps[index] == rowStamp)
			row.push_back(index);
	}
}

void CollisionGrid::BeginRow(uint32_t index, const ColliderBox &box)
{
	row.clear();
	++rowStamp;
	gathered = SpanOf(box, 0.0f);
	Gather(gathered, Span{}, index);
	SortFrom(0, index);
	rowSorted = row.size();
}

void CollisionGrid::ExtendRow(uint32_t after, const ColliderBox &box)
{
	const Span span = SpanOf(box, 0.0f);
	if (!gathered.Holds(span)) {
		// Gather over the rectangle round both, so that an entry pushed back
		// and forth across a border gathers each cell once. Entries filed
		// again into cells gathered before have joined already.
		const Span before = gathered;
		gathered = Span::Round(gathered, span);
		Gather(gathered, before, after);
	}
	// The row was ascending before the joined and gathered ones were
	// appended, so what comes after after is one run to sort with them.
	if (row.size() != rowSorted) {
		const auto from = std::upper_bound(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(rowSorted), after);
		SortFrom(static_cast<size_t>(from - row.begin()), after);
	}
	rowSorted = row.size();
}
