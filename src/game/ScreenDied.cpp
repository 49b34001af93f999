#include "game/ScreenDied.h"

#include <mutex>

#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

namespace {

const char kBanners[ScreenDied::kBannerCount][30] = {
	"DED", "A'SPLODE", "CARKED IT", "NO MORE", "MARROWBY", "YOLO'D", "FOR THE REALM", "DONE", "FIN",
	"MUNTED", "GRIMBLED", "SHUNTED IT", "SHIT THE BED", "PUNTED", "CHICKEN FEED", "ENDED", "MARROWBY IT",
	"SKEWERED",
};

uint32_t g_bannerCounter = 0;
std::once_flag g_bannerCounterSet;

}

ScreenDied::ScreenDied() = default;

ScreenDied::~ScreenDied() = default;

const char *ScreenDied::PickDeathBanner()
{
	std::call_once(g_bannerCounterSet, [] { g_bannerCounter = Ticks() % kBannerCount; });
	const char *text = kBanners[g_bannerCounter % kBannerCount];
	g_bannerCounter++;
	return text;
}

const char *ScreenDied::Banner(int row)
{
	return row >= 0 && row < kBannerCount ? kBanners[row] : "";
}

void ScreenDied::SetBannerCounter(uint32_t value)
{
	std::call_once(g_bannerCounterSet, [] {});
	g_bannerCounter = value;
}

void ScreenDied::Start()
{
	PlaceText(banner, glm::vec2(0.5f, 0.5f), 32, Renderer::ScreenPoint(0.5f, 0.48f), PickDeathBanner());
	PlaceText(youDied, glm::vec2(0.5f, 0.5f), 15, Renderer::ScreenPoint(0.5f, 0.56f), "YOU DIED");
	UseCamera(camera);
	speed = GameProgress::Difficulty() < kDifficultyBrutal ? 1.0f : 2.0f;
	AddEntity(&banner);
	AddEntity(&youDied);
	youDied.SetActive(false);
}

void ScreenDied::Update(float dt)
{
	Screen::Update(dt);
	timer += dt * speed;
	if (timer > kContinueAt) {
		if (AskNext())
			TalvexGame::Current().ContinueGame();
	} else if (timer > kYouDiedAt)
		youDied.SetActive(true);
}
