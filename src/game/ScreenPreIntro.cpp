#include "game/ScreenPreIntro.h"

#include "game/TalvexGame.h"

constexpr float kPreIntroAnchor = 0.2f;

ScreenPreIntro::ScreenPreIntro() = default;

ScreenPreIntro::~ScreenPreIntro() = default;

void ScreenPreIntro::Start()
{
	StopMusic();
	AddEntity(&options);
	options.Reset("Epic Fantasy Intro?", this);
	options.AddOption(kYes, "Yes, Please!", "Play the beautiful, loving fantasy homage!");
	options.AddOption(kNo, "No Thanks.", "I would prefer not to...");
	options.SetAnchor(kPreIntroAnchor);
}

void ScreenPreIntro::OnSelect(uint8_t id, uint8_t index)
{
	(void)index;
	if (!AskNext())
		return;
	if (id == kNo)
		TalvexGame::Current().ShowGameScene();
	else
		TalvexGame::Current().ShowIntro();
}
