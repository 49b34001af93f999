#include "game/ScreenStartup.h"

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "engine/render/Renderer.h"
#include "map/MapPreloader.h"
#include "game/TalvexGame.h"

constexpr float kLogoGrowthPerMs = 0.00003f;
constexpr float kLogoStartScale = 0.9f;

ScreenStartup::ScreenStartup() = default;

ScreenStartup::~ScreenStartup()
{
	if (camera != nullptr && Camera::Get() == camera.get())
		Camera::SetCurrent(nullptr);
}

void ScreenStartup::Start()
{
	PlaceText(credit, glm::vec2(0.5f, 0.5f), 24, Renderer::ScreenPoint(0.5f, 0.5f), "Halvenmoor presents");
	credit.SetFont("fonts/body");
	AddEntity(&credit);
	credit.SetVisible(false);

	const struct {
		Sprite *sprite;
		const char *texture;
		glm::vec2 size;
		glm::vec2 pivot;
		glm::vec2 at;
		bool visible;
	} logos[] = {
		{&titleLogo, "mats/halvenmoor.png", {158, 142}, {0.5f, 0.5f}, {0.3f, 0.5f}, false},
		{&makerLogo, "mats/marrowbylogo.png", {192, 160}, {0.5f, 0.5f}, {0.7f, 0.5f}, false},
		{&engineLogo, "mats/halvenmoor-engine.png", {598, 48}, {0.0f, 0.5f}, {0.05f, 0.5f}, true},
	};
	for (const auto &logo : logos) {
		logo.sprite->SetTexture(logo.texture);
		logo.sprite->SetSize(logo.size.x, logo.size.y);
		logo.sprite->SetPivot(logo.pivot);
		const glm::vec2 at = Renderer::ScreenPoint(logo.at.x, logo.at.y);
		logo.sprite->transform.SetPosition(Vec3(at.x, at.y, 0.0f));
		AddEntity(logo.sprite);
		logo.sprite->SetVisible(logo.visible);
	}

	camera = std::make_unique<Camera>();
	UseCamera(*camera);
	stateStart = Ticks();
}

uint32_t ScreenStartup::Elapsed() const
{
	return Ticks() - stateStart;
}

void ScreenStartup::Update(float dt)
{
	Screen::Update(dt);
	const uint32_t next = StepState(state);
	if (next != state) {
		state = next;
		stateStart = Ticks();
	}
}

uint32_t ScreenStartup::StepState(uint32_t current)
{
	switch (current) {
	case kEngineLogo:
		return UpdateEngineLogo();
	case kPause:
		return UpdatePause();
	case kLogos:
		return UpdateLogos();
	default:
		return current;
	}
}

uint32_t ScreenStartup::UpdateEngineLogo()
{
	if (Elapsed() < kEngineLogoMs)
		return kEngineLogo;
	MusicPlayer::Instance()->PlayCueByName("theme");
	engineLogo.SetVisible(false);
	return kPause;
}

uint32_t ScreenStartup::UpdatePause()
{
	if (Elapsed() < kPauseMs)
		return kPause;
	TalvexGame::Current().PreloadStartMap();
	return kLogos;
}

uint32_t ScreenStartup::UpdateLogos()
{
	const uint32_t elapsed = Elapsed();
	credit.SetVisible(false);
	const bool shown = elapsed > kLogosShownFromMs && elapsed < kLogosShownToMs;
	titleLogo.SetVisible(shown);
	makerLogo.SetVisible(shown);
	const float scale = kLogoStartScale + (float)elapsed * kLogoGrowthPerMs;
	titleLogo.transform.SetUniformScale(scale);
	makerLogo.transform.SetUniformScale(scale);
	MapPreloader *preloader = MapPreloader::Instance();
	if (preloader != nullptr && preloader->IsLoading()) {
		preloader->Step();
		return kLogos;
	}
	if (elapsed < kLogosMs)
		return kLogos;
	if (AskNext())
		TalvexGame::Current().ShowTitle();
	return kDone;
}
