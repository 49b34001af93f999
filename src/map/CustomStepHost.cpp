#include "map/CustomStepHost.h"

#include "audio/Sound.h"

CustomStepHost &CustomStepHost::Quiet()
{
	static CustomStepHost quiet;
	return quiet;
}

void CustomStepHost::PlaySound(const char *fileName, float volume, uint16_t flags)
{
	Sound::Instance()->Play(fileName, volume, 0.0f, flags);
}
