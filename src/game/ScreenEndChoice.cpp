#include "game/ScreenEndChoice.h"

#include "game/TalvexGame.h"

ScreenEndChoice::ScreenEndChoice() = default;

ScreenEndChoice::~ScreenEndChoice() = default;

void ScreenEndChoice::Start()
{
	options.Reset("What's Next?", this);
	options.AddOption(kKeepGrinding, "Keep Grinding!", "Make further progress on this save.");
	options.AddOption(kDone, "Done For The Day!", "Back to the title.");
	AddEntity(&options);
	Scene::Start();
}

void ScreenEndChoice::OnSelect(uint8_t id, uint8_t index)
{
	(void)index;
	if (id == kKeepGrinding) {
		if (AskNext())
			TalvexGame::Current().ContinueGame();
	} else if (id == kDone) {
		if (AskNext())
			TalvexGame::Current().ShowTitle();
	}
}
