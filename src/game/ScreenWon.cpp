#include "game/ScreenWon.h"

#include "engine/core/Input.h"
#include "engine/render/Renderer.h"
#include "map/Missions.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

constexpr const char *kVersionText = "1.0.0";
constexpr uint8_t kCrankyPercent = 104;
constexpr uint8_t kFullPercent = 100;
constexpr uint32_t kSpeedySeconds = 3600;

ScreenWon::ScreenWon() = default;

ScreenWon::~ScreenWon() = default;

void ScreenWon::Start()
{
	progress.SetShowDeaths(true);
	const glm::vec2 p = Renderer::ScreenPoint(0.5f, 0.15f);
	TalvexGame::Current().SetTimerPaused(1);
	ProgressSummary summary;
	const GameProgress &record = GameProgress::Current();
	Missions::Summarize(summary, record.Facts());
	const char *suffix = GameProgress::Flag(kOriginalContentFlag) ? " [OG]" : "";
	Achievements &achievements = Achievements::Instance();
	const char *format = "STORY COMPLETE!%s";
	if (record.lowestDifficulty >= kDifficultyBrutal) {
		format = "QUEST CONQUERED!%s";
		achievements.UnlockByName("complete_maso");
		achievements.UnlockByName("complete_intended");
	} else if (record.lowestDifficulty == 1) {
		format = "QUEST COMPLETE!%s";
		achievements.UnlockByName("complete_intended");
	}
	PlaceText(title, glm::vec2(0.5f, 0.5f), 32, p, "");
	title.SetTextFormat(format, suffix);
	if (summary.percent >= kFullPercent)
		achievements.UnlockByName("complete");
	if (summary.percent >= kCrankyPercent)
		achievements.UnlockByName("cranky");
	if (summary.percent >= kCompletePercent)
		achievements.UnlockByName("ultralord2");
	if (record.playSeconds < kSpeedySeconds)
		Missions::Complete("speedy");
	if (!GameProgress::Flag("lake"))
		Missions::Complete("lakeless");
	progress.transform.SetPosition(Vec3(p.x - 84.0f, p.y + 32.0f, 0.0f));
	UseCamera(camera);
	AddEntity(&title);
	AddEntity(&progress);
	PlaceText(version, glm::vec2(1.0f, 1.0f), 14, Renderer::ScreenPoint(0.95f, 0.95f), kVersionText);
	AddEntity(&version);
	PlayThunder();
	StopMusic();
}

void ScreenWon::Update(float dt)
{
	timer += dt;
	Screen::Update(dt);
	if (timer > kWaitSeconds && Input::Get()->AnyActionPressed() && AskNext())
		TalvexGame::Current().ShowCredits(true);
}
