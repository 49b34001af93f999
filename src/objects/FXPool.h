#pragma once

#include "objects/FXEntity.h"

#include <cstdint>
#include <memory>
#include <vector>

// The fixed set of instances of one effect kind, all built together when the
// kind is first spawned. Next hands them out in turn, the oldest first, with
// no test of whether it still runs: a sixth spark of a five-spark pool takes
// over the first. The pool owns its instances.
class FXPool {
public:
	using Maker = std::unique_ptr<FXEntity> (*)();

	FXPool(uint16_t count, Maker make);

	// The instance at the next index; the index then moves on, wrapping.
	// Null only for an empty pool.
	FXEntity *Next();
	uint16_t GetCount() const { return static_cast<uint16_t>(instances.size()); }
	uint16_t GetNextIndex() const { return next; }
	FXEntity *At(uint16_t index) const { return index < instances.size() ? instances[index].get() : nullptr; }

private:
	std::vector<std::unique_ptr<FXEntity>> instances;
	uint16_t next = 0;
};
