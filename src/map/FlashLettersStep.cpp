#include "map/FlashLettersStep.h"

#include "audio/Sound.h"
#include "map/CustomStepHost.h"

namespace {
constexpr float kChimeVolume = 1.0f;
} // namespace

void FlashLettersStep::Begin(CustomStepHost &host)
{
	startTime = host.PlayTimeMs();
	host.ShowLetters(true);
	flashCount = 0;
}

bool FlashLettersStep::IsFinished(CustomStepHost &host)
{
	const uint8_t change = static_cast<uint8_t>((host.PlayTimeMs() - startTime) / kChangeMs);
	if (flashCount < change) {
		if ((change & 1) != 0) {
			host.ShowLetters(true);
			host.PlaySound(kChimeSound, kChimeVolume, Sound::kPlayOnReservedChannel);
		} else {
			host.ShowLetters(false);
		}
		flashCount = change;
	}
	return flashCount >= kLastChange;
}
