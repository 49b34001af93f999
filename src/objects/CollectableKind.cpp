#include "objects/CollectableKind.h"

#include "engine/core/NameHash.h"
#include "engine/core/StringUtil.h"
#include "objects/GameLink.h"

#include <array>
#include <cstring>

namespace {

constexpr const char *kFlagPrefix = "collect";

std::array<CollectableKind, CollectableKind::kSetCount> BuildTable()
{
	struct Row {
		const char *name;
		uint8_t count;
	};
	const Row rows[CollectableKind::kSetCount] = {{"tri", 3}, {"letter", 4}, {"puzzle", 16}};
	std::array<CollectableKind, CollectableKind::kSetCount> table;
	for (uint32_t i = 0; i < CollectableKind::kSetCount; i++) {
		table[i].index = i;
		strncpy(table[i].name, rows[i].name, CollectableKind::kNameChars);
		table[i].count = rows[i].count;
		table[i].baseFlag = CollectableFlagFromName(rows[i].name);
	}
	return table;
}

} // namespace

const CollectableKind *CollectableKind::Get(uint32_t index)
{
	// Built once; a static's initialisation is safe across threads.
	static const std::array<CollectableKind, kSetCount> table = BuildTable();
	return index < kSetCount ? &table[index] : nullptr;
}

uint32_t CollectableKind::CountCollected(uint32_t index)
{
	const CollectableKind *kind = Get(index);
	if (kind == nullptr)
		return 0;
	uint32_t found = 0;
	for (uint8_t n = 1; n <= kind->count; n++) {
		if (GameLink::Get().FlagId(CollectableFlagKey(kind->baseFlag, n)))
			found++;
	}
	return found;
}

uint32_t CollectableKindByName(const char *name)
{
	const uint16_t hash = HashName(name);
	if (NameHashEquals(hash, "tri"))
		return CollectableKind::kTri;
	if (NameHashEquals(hash, "letter"))
		return CollectableKind::kLetter;
	return CollectableKind::kPuzzle;
}

uint16_t CollectableFlagHash(const char *name, uint8_t n)
{
	return static_cast<uint16_t>(HashName(kFlagPrefix) + HashName(name) + n);
}

uint16_t CollectableFlagFromName(const char *text)
{
	if (text == nullptr || text[0] == '\0')
		return 0;
	char letters[CollectableKind::kNameChars + 1] = {};
	uint8_t number = 0;
	SplitNameAndNumber(text, CollectableKind::kNameChars, letters, &number);
	return CollectableFlagHash(letters, number);
}

uint16_t CollectableFlagKey(uint16_t base, uint8_t n)
{
	return static_cast<uint16_t>(base + n);
}
