#pragma once

#include <cstdint>

// The three sets of numbered items the hero gathers over the whole game:
// three triangles, four letters and sixteen chicken feeds ("puzzle"). Item n
// of a set is found when the game flag CollectableFlagHash(set, n) is set;
// n = 128 marks half the set found and n = 255 the whole set. The HUD, the
// progress screens and the world map count with these keys. The table is
// built once, on first use, and never changes.
class CollectableKind {
public:
	static constexpr uint32_t kTri = 0;
	static constexpr uint32_t kLetter = 1;
	static constexpr uint32_t kPuzzle = 2;
	static constexpr uint32_t kSetCount = 3;
	static constexpr uint8_t kHalfFound = 128; // item number of the half-way flag
	static constexpr uint8_t kComplete = 255;  // item number of the set's flag
	static constexpr uint8_t kNameChars = 8;   // of a set name

	// The set's record for 0 to 2; null otherwise.
	static const CollectableKind *Get(uint32_t index);
	// How many of items 1 to count have their flags set; 0 for a bad index.
	static uint32_t CountCollected(uint32_t index);

	uint32_t index = 0;
	char name[kNameChars + 1] = {};
	uint8_t count = 0;
	uint16_t baseFlag = 0; // CollectableFlagHash(name, 0)
};

// 0 for "tri", 1 for "letter", 2 for any other name (by name hash).
uint32_t CollectableKindByName(const char *name);
// hash("collect") + hash(name) + n, kept to 16 bits.
uint16_t CollectableFlagHash(const char *name, uint8_t n);
// The flag of a reference such as "letter2" (the set's letters, then the
// item number); 0 for a null or empty text.
uint16_t CollectableFlagFromName(const char *text);
// base + n, kept to 16 bits.
uint16_t CollectableFlagKey(uint16_t base, uint8_t n);
