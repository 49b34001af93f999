#include "map/FlashLettersStep.h"

#include "audio/Sound.h"
#include "map/MapGameLink.h"
#include "map/ScriptWorld.h"

namespace {
constexpr float kChimeVolume = 1.0f;
} // namespace

void FlashLettersStep::Begin(ScriptWorld &)
{
	startTime = MapGameLink::Get().PlayTimeMs();
	MapGameLink::Get().ShowLetters(true);
	flashCount = 0;
}

bool FlashLettersStep::IsFinished(ScriptWorld &world)
{
	const uint8_t change = static_cast<uint8_t>((MapGameLink::Get().PlayTimeMs() - startTime) / kChangeMs);
	if (flashCount < change) {
		if ((change & 1) != 0) {
			MapGameLink::Get().ShowLetters(true);
			world.PlaySound(kChimeSound, kChimeVolume, Sound::kPlayOnReservedChannel);
		} else {
			MapGameLink::Get().ShowLetters(false);
		}
		flashCount = change;
	}
	return flashCount >= kLastChange;
}
