#include "map/ScriptWorld.h"

#include "audio/Sound.h"
#include "engine/core/Entity.h"

ScriptWorld &ScriptWorld::Quiet()
{
	static ScriptWorld quiet;
	return quiet;
}

void ScriptWorld::PlaySound(const char *fileName, float volume, uint16_t flags)
{
	Sound::Instance()->Play(fileName, volume, 0.0f, flags);
}

std::unique_ptr<Entity> ScriptWorld::MakeMeatMenu()
{
	return nullptr;
}
