#include "engine/core/NamePool.h"

#include <cstdio>
#include <cstdlib>

#include "engine/core/Random.h"

NamePool::NamePool(const char *pattern, uint8_t count)
{
	Generate(pattern, count);
}

void NamePool::Generate(const char *pattern, uint8_t newCount)
{
	count = newCount;
	names.assign(newCount, NameRecord());
	if (pattern == nullptr)
		return;
	for (int i = 0; i < newCount; ++i) {
		// snprintf cuts a long name to 31 characters and keeps the terminator.
		snprintf(names[i].text, sizeof(names[i].text), pattern, i + 1);
	}
}

const char *NamePool::Get(uint8_t index) const
{
	if (index >= count || names[index].text[0] == '\0')
		return nullptr;
	return names[index].text;
}

const char *NamePool::PickRandom(Random *generator) const
{
	if (count == 0)
		return nullptr;
	const uint32_t index = generator != nullptr
		? RandomBelow(generator, count)
		: static_cast<uint32_t>(rand()) % count;
	return Get(static_cast<uint8_t>(index));
}

uint32_t RandomBelow(Random *generator, uint32_t n)
{
	if (generator == nullptr || n == 0)
		return 0;
	return generator->Next() % n;
}
