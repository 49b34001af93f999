#include "objects/WorldSound.h"

#include "audio/Sound.h"

namespace {
WorldSound::Listener *g_listener = nullptr;
} // namespace

void WorldSound::SetListener(Listener *listener)
{
	g_listener = listener;
}

void WorldSound::Play(const char *fileName, float volume, uint16_t flags)
{
	if (g_listener != nullptr) {
		g_listener->Heard(fileName, volume);
		return;
	}
	Sound::Instance()->Play(fileName, volume, 0.0f, flags);
}

void WorldSound::PlayAt(const char *fileName, const Vec3 &position, float volume)
{
	if (g_listener != nullptr) {
		g_listener->Heard(fileName, volume);
		return;
	}
	const float where[3] = {position.x, position.y, position.z};
	Sound::Instance()->PlayAt(fileName, where, volume);
}
