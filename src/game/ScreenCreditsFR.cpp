#include "game/ScreenCreditsFR.h"

#include "engine/core/NameHash.h"
#include "game/GameProgress.h"

constexpr const char *kHomeMap = "home";

void ScreenCreditsFR::Finish()
{
	if (HasAskedNext())
		return;
	GameProgress::SetCurrentMap(kHomeMap);
	GameProgress::SetStartMap(HashName(kHomeMap));
	GameProgress::SaveCurrentSlot();
	ScreenCredits::Finish();
}
