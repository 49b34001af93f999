#include "audio/Sound.h"

Sound *Sound::Instance()
{
	static Sound sound;
	return &sound;
}

void Sound::SetDisabled(bool disabled)
{
	off = disabled ? 1 : 0;
}
