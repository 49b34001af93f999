#pragma once

#include "engine/collision/Collider.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Spares the collision check from testing every pair of a scene: entries
// (scene indices) are filed under the square cells of the ground plane that
// their boxes cover, and a row (one entry against those after it) takes only
// the entries that share a cell with it, in ascending order, so pairs are
// still met in scene order. Height is not looked at.
//
// An entry is filed with its box grown by kMargin on every side, so that a
// small nudge does not take it out of its cells; the checker files it again
// when it moves or grows further (Follow), and one filed again while a row
// is open joins the row if it came into the row's cells (Join). A box wider
// than kMostCellsAcross cells, or not finite, is filed on the everywhere
// list, which every row takes; a row whose own box is that wide, or whose
// cells hold about as many entries as follow it (a crowd on one spot), takes
// every entry after it. Taking an entry too many costs one box test that
// fails; missing one would lose a pair.
//
// All storage is kept from one check to the next: once it has grown to the
// size of the scene, filing and gathering allocate nothing.
class CollisionGrid {
public:
	static constexpr float kCellSide = 2.0f;      // world units: a tile, a bit over a creature
	static constexpr float kMargin = 0.5f;        // world units
	static constexpr int32_t kMostCellsAcross = 8; // per axis, for a filed or gathered box

	// Forgets every entry and row; entries are numbered below count.
	void Clear(uint32_t count);
	// Files the entry under the cells its box covers, taking it out of any it
	// was filed under before.
	void File(uint32_t index, const ColliderBox &box);
	// Files the entry again if box is no longer inside the cells it is filed
	// under, or files it for the first time; true when it did.
	bool Follow(uint32_t index, const ColliderBox &box);

	// Starts the row of the entry at index with its box: the entries
	// numbered above index that share a cell with the box or are filed
	// everywhere, ascending.
	void BeginRow(uint32_t index, const ColliderBox &box);
	// True when the row has taken every entry after its own, so that no
	// entry filed again can be missing from it.
	bool RowTakesAll() const { return gathered.wide; }
	// An entry numbered above the row's current one was filed again: the row
	// takes it when it is now filed in a cell the row has gathered.
	// ExtendRow puts it in order.
	void Join(uint32_t index);
	// The row's entry may have moved: adds the entries numbered above after
	// that its new box reaches and the row lacks, and keeps the part of the
	// row after after ascending, with what Join added.
	void ExtendRow(uint32_t after, const ColliderBox &box);
	const std::vector<uint32_t> &Row() const { return row; }

private:
	static constexpr uint32_t kNone = UINT32_MAX;
	// A row takes its entries in order by walking every entry after it once
	// it holds more than one in this many of them, instead of sorting.
	static constexpr size_t kScanOverSort = 16;

	// Cells x0..x1 by z0..z1, ends included; wide when too many for cells.
	struct Span {
		int32_t x0 = 0, z0 = 0, x1 = -1, z1 = -1;
		bool wide = false;
		bool Holds(const Span &inner) const;
		bool HoldsCell(int32_t x, int32_t z) const;
		bool Meets(const Span &other) const;
		// The rectangle round both.
		static Span Round(const Span &a, const Span &b);
	};
	// One entry in one cell, linked both ways in its bucket's chain.
	struct Node {
		int32_t x, z;
		uint32_t index;
		uint32_t prev, next;
	};
	struct Filing {
		Span span;
		uint32_t firstNode = kNone; // its nodes lie together
		uint32_t nodeCount = 0;
		uint32_t nodeRoom = 0;      // nodes reserved for it at firstNode
		bool filed = false;
		bool listed = false;        // on the everywhere list, wide or not now
	};

	static Span SpanOf(const ColliderBox &box, float grow);
	uint32_t Bucket(int32_t x, int32_t z) const;
	void Unlink(uint32_t node);
	// Appends to the row the entries above after in the cells of span, but
	// not those of skipped, that it lacks; all of them when span is wide or
	// its cells crowded, and then marks the row's gathered cells wide.
	void Gather(const Span &span, const Span &skipped, uint32_t after);
	void Take(uint32_t index);
	// Puts the row from from on, all of it above after, in ascending order.
	void SortFrom(size_t from, uint32_t after);

	uint32_t count = 0;
	uint32_t bucketMask = 0;
	std::vector<uint32_t> heads;        // first node of each bucket's chain
	std::vector<uint32_t> chainLengths; // nodes in each bucket's chain
	std::vector<Node> nodes;
	std::vector<Filing> filings;       // by entry
	std::vector<uint32_t> everywhere;  // entries ever filed as wide
	std::vector<uint32_t> rowStamps;   // by entry: the row that took it last
	uint32_t rowStamp = 0;
	Span gathered;                     // every cell the row has gathered
	std::vector<uint32_t> row;
	size_t rowSorted = 0;              // leading entries of the row known to be in order
};
