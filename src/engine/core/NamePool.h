#pragma once

#include <cstdint>
#include <vector>

class Random;

// A set of numbered names printed from one pattern ("sfx/hit%d.wav" with count
// 3 gives sfx/hit1.wav to sfx/hit3.wav), from which world objects pick one at
// random so that repeated sounds vary. Names are stored inline, each cut to 31
// characters; the pool owns no files.
class NamePool {
public:
	static constexpr int kNameCapacity = 32; // bytes of one name record, terminator included

	NamePool() = default;
	NamePool(const char *pattern, uint8_t count);
	virtual ~NamePool() = default;

	// Replaces the names: name i (from 0) is the pattern printed with i + 1.
	void Generate(const char *pattern, uint8_t count);
	// Null when index is out of range or that name is empty.
	const char *Get(uint8_t index) const;
	// Picks with the generator when one is given, else with the C library's
	// rand(). Null when the pool is empty.
	const char *PickRandom(Random *generator) const;
	uint8_t GetCount() const { return count; }

private:
	struct NameRecord {
		char text[kNameCapacity] = {};
	};

	std::vector<NameRecord> names;
	uint8_t count = 0;
};

// generator->Next() modulo n; 0 when n is 0 or there is no generator.
uint32_t RandomBelow(Random *generator, uint32_t n);
