#include "game/ScreenIntro.h"

#include <cstdio>
#include <glm/gtc/quaternion.hpp>
#include <tinyxml2.h>

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/MathUtil.h"
#include "engine/render/Renderer.h"
#include "game/TalvexGame.h"

constexpr float kBackgroundWidth = 600.0f;
constexpr float kBackgroundHeight = 720.0f;
constexpr float kCrawlLineSpacing = 1.4f;
constexpr float kCrawlSpeed = 1.075f;
constexpr float kLogoHeight = 360.0f * 0.85f;
constexpr float kLogoShrinkPerSecond = 0.08f;
constexpr float kCameraDistance = 500.0f;
constexpr float kFlatCrawlRange = 400.0f;
constexpr float kTiltedCrawlRange = 330.0f;
constexpr float kHalfTurn = 3.14159265f; // radians
constexpr float kCrawlTilt = 0.3f * kHalfTurn;

ScreenIntro::ScreenIntro(const char *file)
	: introFile(file != nullptr ? file : kIntroFile)
{
}

ScreenIntro::~ScreenIntro() = default;

void ScreenIntro::Start()
{
	Scene::Start();
	tinyxml2::XMLDocument document;
	const tinyxml2::XMLElement *intro = nullptr;
	if (!LoadXmlFile(introFile.c_str(), document))
		Log("Couldn't load music cues from %s\n", introFile.c_str());
	else if ((intro = document.FirstChildElement("intro")) == nullptr)
		Log("Couldn't find valid intro file %s\n", introFile.c_str());
	Renderer *renderer = GetRenderer();
	const bool ortho = renderer != nullptr && renderer->IsCurrentPostModeOrtho();
	snprintf(musicFile, sizeof(musicFile), "%s", ortho ? "data/intro8.it" : "data/intro.it");
	// Without the file the states still run, over empty members.
	const char *bg = intro != nullptr ? intro->Attribute("bg") : nullptr;
	const char *pretextText = intro != nullptr ? intro->Attribute("pretext") : nullptr;
	const char *logoName = intro != nullptr ? intro->Attribute("logo") : nullptr;
	if (bg != nullptr)
		background.SetTexture(bg);
	background.SetSize(kBackgroundWidth, kBackgroundHeight);
	background.SetPivot(glm::vec2(0.5f, 0.0f));
	background.drawLayer = 0;
	AddEntity(&background);
	PlaceText(pretext, glm::vec2(0.5f, 0.5f), 20, glm::vec2(0.0f), pretextText);
	AddEntity(&pretext);
	if (logoName != nullptr)
		logo.SetTexture(logoName);
	logo.SetPivot(glm::vec2(0.5f, 0.5f));
	AddEntity(&logo);
	crawl.SetLineSpacing(kCrawlLineSpacing);
	crawl.SetSpeed(kCrawlSpeed);
	crawl.Load(intro != nullptr ? intro->GetText() : nullptr);
	AddEntity(&crawl);
	crawl.SetActive(false);
	const TalvexGame &game = TalvexGame::Current();
	if (game.HasEndedSlot() || game.OptionFlag() != 0)
		AddEntity(&skipper);
	UseCamera(camera);
	state = EnterPretext();
}

void ScreenIntro::Update(float dt)
{
	const uint32_t old = state;
	stateTime += dt;
	state = StepState(dt);
	if (state != old)
		stateTime = 0.0f;
	Screen::Update(dt);
	if (skipper.IsReady() && !HasAskedNext()) {
		Finish();
		StopMusic();
	}
}

uint32_t ScreenIntro::StepState(float dt)
{
	(void)dt;
	switch (state) {
	case kPretext:
		return UpdatePretext();
	case kCrawl:
		return UpdateCrawl();
	case kScrollAway:
		return UpdateScrollAway();
	default:
		return state;
	}
}

void ScreenIntro::HideAll()
{
	pretext.SetActive(false);
	crawl.SetActive(false);
	logo.SetActive(false);
	background.SetActive(false);
}

uint32_t ScreenIntro::EnterPretext()
{
	HideAll();
	pretext.SetActive(true);
	const glm::vec2 at = Renderer::ScreenPoint(0.5f, 0.5f);
	pretext.transform.SetPosition(Vec3(at, 0.0f));
	StopMusic();
	return kPretext;
}

uint32_t ScreenIntro::EnterCrawl()
{
	HideAll();
	background.SetActive(true);
	background.transform.SetPosition(Vec3(Renderer::ScreenPoint(0.5f, 0.0f), 0.0f));
	logo.SetActive(true);
	crawl.SetActive(true);
	const glm::quat tilt = glm::angleAxis(kHalfTurn, Vec3(0.0f, 0.0f, 1.0f)) * glm::angleAxis(kCrawlTilt, Vec3(1.0f, 0.0f, 0.0f));
	Renderer *renderer = GetRenderer();
	if (renderer != nullptr && renderer->IsCurrentPostModeOrtho()) {
		crawl.SetScrollRange(kFlatCrawlRange * crawl.GetSpeed(), 0.0f);
		crawl.transform.SetPosition(Vec3(Renderer::ScreenPoint(0.5f, 0.0f), 0.0f));
	} else {
		crawl.transform.SetRotation(tilt);
		crawl.SetRenderMode(UIScrollingText::kSceneLines);
		crawl.transform.SetScale(Vec3(1.0f, -1.0f, 1.0f));
		crawl.SetScrollRange(kTiltedCrawlRange * crawl.GetSpeed(), 0.0f);
	}
	MusicPlayer::Instance()->PlayModule(musicFile);
	return kCrawl;
}

uint32_t ScreenIntro::UpdatePretext()
{
	if (stateTime > kPretextSeconds)
		return EnterCrawl();
	return kPretext;
}

uint32_t ScreenIntro::UpdateCrawl()
{
	if (crawl.IsFinished())
		return kScrollAway;
	const glm::vec2 texture = logo.GetTextureSize();
	const float width = texture.y > 0.0f ? kLogoHeight * texture.x / texture.y : 0.0f;
	const float k = 1.0f - kLogoShrinkPerSecond * stateTime;
	const float s = k > 0.0f ? Clamp01(k * k) : 0.0f;
	logo.transform.SetPosition(Vec3(300.0f, 180.0f, 0.0f));
	logo.SetSize(width * s, texture.y > 0.0f ? kLogoHeight * s : 0.0f);
	const Vec3 at = crawl.transform.position;
	camera.transform.SetPosition(at + Vec3(0.0f, 0.0f, kCameraDistance));
	camera.transform.LookAt(at);
	return kCrawl;
}

uint32_t ScreenIntro::UpdateScrollAway()
{
	const float step = stateTime * stateTime;
	background.transform.position.y -= step * 0.5f;
	camera.transform.position.y -= step;
	if (background.transform.position.y < -kBackgroundHeight)
		Finish();
	return kScrollAway;
}

void ScreenIntro::Finish()
{
	if (AskNext())
		TalvexGame::Current().ShowGameScene();
}
