#pragma once

#include <cstddef>
#include <cstdint>

// One of an actor's four voices: a file name, or a pattern with one %d that
// numbered variants fill in turn. Set 1 is the attack voice, set 2 the hurt
// and defeat voice, set 3 speech. A set with count 0 is silent.
struct SoundSet {
	static constexpr size_t kPatternChars = 64; // terminator included

	char pattern[kPatternChars] = {};
	uint8_t count = 0;
	float volume = 1.0f;

	// Copies at most 63 characters of the pattern.
	void Set(const char *text, uint8_t variants, float level);
	// The file of the variant for the sound counter's value: the pattern
	// itself for a count of 1, else its "%d" filled with counter mod count
	// plus 1. Empty for a silent set. Other '%' signs are copied as they are.
	void FileName(uint8_t counter, char *out, size_t size) const;
};
