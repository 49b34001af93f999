#include "engine/core/NameHash.h"

namespace {

constexpr uint16_t kHashStart = 5381;    // the hash of a name with no hashed characters
constexpr uint32_t kHashMultiplier = 9;
constexpr char kNameEnd = '#';           // starts a comment that is not part of the name
constexpr char kPunctuation = '_';       // what every other character counts as

bool IsBlank(char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}

uint16_t HashName(const char *text)
{
	if (text == nullptr || text[0] == '\0')
		return 0;
	uint32_t hash = kHashStart;
	for (const char *p = text; *p != '\0' && *p != kNameEnd; ++p) {
		// Taken as a signed byte: bytes of 128 and above are not letters or
		// digits, so they count as punctuation.
		signed char c = static_cast<signed char>(*p);
		if (c >= 'a' && c <= 'z')
			c = static_cast<signed char>(c - 'a' + 'A');
		if (IsBlank(static_cast<char>(c)))
			continue;
		const bool isDigit = c >= '0' && c <= '9';
		const bool isUpper = c >= 'A' && c <= 'Z';
		if (!isDigit && !isUpper)
			c = kPunctuation;
		hash = (hash * kHashMultiplier + static_cast<uint32_t>(c)) & 0xFFFFu;
	}
	return static_cast<uint16_t>(hash);
}

bool NameEquals(const char *a, const char *b)
{
	return HashName(a) == HashName(b);
}

bool NameHashEquals(uint16_t hash, const char *text)
{
	return hash == HashName(text);
}

int32_t CombineNameHashes(const char *first, const char *second)
{
	return static_cast<int32_t>(HashName(first)) + static_cast<int32_t>(HashName(second));
}
