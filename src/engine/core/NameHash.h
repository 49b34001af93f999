#pragma once

#include <cstdint>

// The 16-bit name hash by which map names, flag names, music cues, keywords and
// file extensions are stored and compared. Case, blanks and the choice of
// punctuation do not matter, and a '#' ends the name, so "Old Mill", "OLDMILL"
// and "old-mill # by the river" are one name. Unrelated names may collide; the
// game treats equal hashes as equal names everywhere.

// 0 for a null or empty text; otherwise starts at 5381.
uint16_t HashName(const char *text);
bool NameEquals(const char *a, const char *b);
bool NameHashEquals(uint16_t hash, const char *text);
// The plain sum of both hashes (0 to 131070), not reduced to 16 bits.
int32_t CombineNameHashes(const char *first, const char *second);
