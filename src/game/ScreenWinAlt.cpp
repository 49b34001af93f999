#include "game/ScreenWinAlt.h"

#include "engine/core/NameHash.h"
#include "engine/render/Renderer.h"
#include "game/TalvexGame.h"

ScreenWinAlt::ScreenWinAlt(const char *caption, uint8_t endingNumber)
	: text(caption), ending(endingNumber)
{
}

ScreenWinAlt::~ScreenWinAlt() = default;

void ScreenWinAlt::Start()
{
	PlaceText(heading, glm::vec2(0.5f, 0.5f), 22, Renderer::ScreenPoint(0.5f, 0.2f), "");
	heading.SetTextFormat("ENDING %i of 5", (int)ending);
	AddEntity(&heading);
	PlaceText(message, glm::vec2(0.5f, 0.5f), 32, Renderer::ScreenPoint(0.5f, 0.4f), text.GetOr(""));
	AddEntity(&message);
	TalvexGame::Current().SetTimerPaused(1);
	StopMusic();
	step = -1;
	NextStep();
	PlayThunder();
}

void ScreenWinAlt::NextStep()
{
	timer = 0.0f;
	stepDuration = kStepSeconds;
	if (step == 0)
		Finish();
}

void ScreenWinAlt::Finish()
{
	if (!AskNext())
		return;
	if (NameEquals(text.GetOr(""), kSecretEnding)) {
		TalvexGame::Current().ShowCreditsFR();
		return;
	}
	PlayThunder();
	TalvexGame::Current().ShowStartup();
}

void ScreenWinAlt::Update(float dt)
{
	timer += dt;
	if (timer >= stepDuration) {
		step++;
		NextStep();
	}
	Screen::Update(dt);
}
