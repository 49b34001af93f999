#include "objects/FXPool.h"

FXPool::FXPool(uint16_t count, Maker make)
{
	instances.reserve(count);
	for (uint16_t i = 0; i < count; i++)
		instances.push_back(make());
}

FXEntity *FXPool::Next()
{
	if (instances.empty())
		return nullptr;
	FXEntity *effect = instances[next].get();
	next = static_cast<uint16_t>(next + 1);
	if (next >= instances.size())
		next = 0;
	return effect;
}
