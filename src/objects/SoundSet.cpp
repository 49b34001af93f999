#include "objects/SoundSet.h"

#include <cstdio>
#include <cstring>

void SoundSet::Set(const char *text, uint8_t variants, float level)
{
	std::memset(pattern, 0, sizeof(pattern));
	if (text != nullptr)
		std::strncpy(pattern, text, kPatternChars - 1);
	count = variants;
	volume = level;
}

void SoundSet::FileName(uint8_t counter, char *out, size_t size) const
{
	if (out == nullptr || size == 0)
		return;
	out[0] = '\0';
	if (count == 0)
		return;
	const char *mark = count > 1 ? std::strstr(pattern, "%d") : nullptr;
	if (mark == nullptr) {
		std::snprintf(out, size, "%s", pattern);
		return;
	}
	// Only the one "%d" is filled in; the pattern is never used as a format.
	const int head = static_cast<int>(mark - pattern);
	std::snprintf(out, size, "%.*s%d%s", head, pattern, counter % count + 1, mark + 2);
}
