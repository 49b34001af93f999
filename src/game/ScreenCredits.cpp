#include "game/ScreenCredits.h"

#include <string>

#include "audio/Sound.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Input.h"
#include "engine/render/Renderer.h"
#include "map/Missions.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

ScreenCredits::ScreenCredits() = default;

ScreenCredits::~ScreenCredits() = default;

void ScreenCredits::Start()
{
	AddEntity(&crawl);
	crawl.transform.SetPosition(Vec3(Renderer::ScreenPoint(0.5f, 1.0f), 0.0f));
	crawl.SetScrollRange(0.0f, 100.0f - (float)Renderer::kLogicalHeight);
	const std::string text = ReadWholeFile(GetFileName());
	crawl.Load(text.c_str());
	const TalvexGame &game = TalvexGame::Current();
	if (game.HasEndedSlot() || game.OptionFlag() != 0)
		AddEntity(&skipper);
	UseCamera(camera);
}

void ScreenCredits::Update(float dt)
{
	Screen::Update(dt);
	if (HasAskedNext())
		return;
	if (crawl.Remaining() < kActionEndsWithin && Input::Get()->AnyActionPressed())
		Finish();
	else if (skipper.IsReady())
		Finish();
}

void ScreenCredits::Leave(Scene *next)
{
	(void)next;
	Sound::Instance()->HaltAll();
}

void ScreenCredits::Finish()
{
	if (!AskNext())
		return;
	TalvexGame &game = TalvexGame::Current();
	ProgressSummary completion;
	Missions::Summarize(completion, GameProgress::Current().Facts());
	const SaveSlotSummary summary = GameProgress::Current().Summary(completion);
	if ((game.IsInGame() && summary.ended != 0) || summary.traitor != 0)
		game.ShowEndChoice();
	else
		game.ShowTitle();
}
