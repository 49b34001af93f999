#include "game/ScreenLoadGame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/core/Input.h"
#include "engine/render/Renderer.h"
#include "map/EnvironmentTable.h"
#include "map/MapPreloader.h"
#include "map/Missions.h"
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"

namespace {

const char kNormalTips[ScreenLoadGame::kNormalTipCount][ScreenLoadGame::kTipSize] = {
	"Life is meant to be lived, don't die.",
	"Whenever you're a little frustrated, burn something small.",
	"There are three triangles of power. -the Sage",
	"The Blacklord's name is a well kept secret.",
	"Play harder, not smarter.",
	"Success is a frame of mind. Think about it.",
	"Chickens see suffering, pain persists in their absence",
	"A rising tide sinks all ships.",
	"Behind every successful person is a secret corridor.",
	"Dragons can most often be seen flying around castles in Europe.",
	"Secrets lie to the West of the Fire Wizards -the Sage",
	"Splosion, Warble, Ong.",
	"The best defence is a good fence.",
	"The pen is mightier than the Sword of Quillowen.",
	"A horse is not a horse if it is a unicorn.",
	"What doesn't kill you only makes you weaker.",
	"Fall down seven times, stand up eight, then check for bees.",
	"Towering Doomtowers are flammmable.",
	"Focus on what you can control and destroy what you can't.",
	"There are five secret endings. -the Sage",
	"Off you go, hero! Mind the chickens on your way out.",
	"Play the game until you have won the game.",
	"Halvenmoors are silly and not worth saving.",
	"There is, somewhere, an enigmatic place of mystery. -the Sage",
};

const char kBrutalTips[ScreenLoadGame::kBrutalTipCount][ScreenLoadGame::kTipSize] = {
	"Let problems be; they resolve themselves.",
	"Prioritize others over yourself at all times.",
	"Don't ask for help; you can handle it.",
	"Hide your emotions; vulnerability is weakness.",
	"Delay tasks; pressure fosters performance.",
	"Stress is superstition, try harder.",
	"Stay in toxic relationships; loyalty is happiness.",
	"Skip setting goals to avoid disappointment.",
	"Always say yes; you'll get more done.",
	"Constantly compare; it fuels improvement.",
	"You can avoid conflict by lying.",
	"Dwell on the past; it was better back then.",
	"Chase perfection; only it is acceptable.",
	"Ignore feedback; criticism is disguised jealousy.",
	"Base your self-worth on others' opinions.",
	"Stick to the comfort zone; risks aren't worth it.",
	"Blame others; it isn't your fault.",
	"Live for the future; the present is a stepping stone.",
	"Ignore relationship red flags; love conquers all.",
	"Never forgive; grudges ensure justice.",
	"Winning is all that matters.",
	"Never ask for help; independence is strength.",
	"Take shortcuts; the destination is key.",
	"Don't communicate; they should just understand.",
	"Ignore burnout signs; success requires sacrifice.",
	"Seek revenge for justice.",
	"Keep regrets; opportunities were made to be missed.",
	"Avoid learning; you already know.",
};

const char *const kCaptions[4] = {
	"Ostensibly Loading...",
	"Probably Loading...",
	"Mostly Loading...",
	"Definitely Loading...",
};

constexpr float kBrutalRate = 0.8f;
constexpr float kTimedRate = 0.6f;
constexpr float kNormalRate = 0.4f;
constexpr float kTipDriftPerSecond = 3.0f;
constexpr float kHeadingDriftPerSecond = 2.0f;
constexpr float kTipFadePerSecond = 0.5f;
constexpr float kMaxPhase = 255.0f; // the phase is a byte and never wraps
const glm::vec3 kTipColour(0.8f, 0.7f, 0.5f);

uint8_t g_lastTipIndex = 0;

}

ScreenLoadGame::ScreenLoadGame() = default;

ScreenLoadGame::~ScreenLoadGame() = default;

const char *ScreenLoadGame::NormalTip(int row)
{
	return row >= 0 && row < kNormalTipCount ? kNormalTips[row] : "";
}

const char *ScreenLoadGame::BrutalTip(int row)
{
	return row >= 0 && row < kBrutalTipCount ? kBrutalTips[row] : "";
}

uint8_t ScreenLoadGame::LastTipIndex()
{
	return g_lastTipIndex;
}

void ScreenLoadGame::SetLastTipIndex(uint8_t index)
{
	g_lastTipIndex = index;
}

void ScreenLoadGame::Start()
{
	captionBase = Vec3(Renderer::ScreenPoint(1.0f, 1.0f), 0.0f) - Vec3(20.0f, 40.0f, 0.0f);
	const bool brutal = GameProgress::Difficulty() >= kDifficultyBrutal;
	const char *captionText = kCaptions[Ticks() & 3];
	if (brutal) {
		captionText = "Prepare for Brutality...";
		phaseRate = kBrutalRate;
	} else
		phaseRate = Settings::Instance().Get()[kSettingTimedMode] != 0 ? kTimedRate : kNormalRate;
	PlaceText(caption, glm::vec2(1.0f, 1.0f), 16, glm::vec2(captionBase), captionText);

	PlaceText(heading, glm::vec2(1.0f, 0.0f), 14, Renderer::ScreenPoint(1.0f, 0.45f) - glm::vec2(20.0f, 1.0f),
		brutal ? "BRUTAL TIP:" : "TIP:");
	heading.SetColor(kTipColour);

	const int count = brutal ? kBrutalTipCount : kNormalTipCount;
	const uint32_t pick = g_lastTipIndex != 0 ? (uint32_t)g_lastTipIndex + 1 : (Ticks() & 255);
	g_lastTipIndex = (uint8_t)(pick % (uint32_t)count);
	char text[77];
	snprintf(text, sizeof(text), "%s", brutal ? kBrutalTips[g_lastTipIndex] : kNormalTips[g_lastTipIndex]);
	PlaceText(tip, glm::vec2(1.0f, 0.0f), 22, Renderer::ScreenPoint(1.0f, 0.5f) - glm::vec2(10.0f, 0.0f), text);
	tip.SetWrapWidth(260.0f);
	tip.SetLineSpacing(0.7f);
	tip.SetLetterSpacing(0.8f);
	tip.SetColor(kTipColour);

	UseCamera(camera);
	progress.transform.SetPosition(Vec3(80.0f, 38.0f, 0.0f));
	showTips = GameProgress::IsFresh() ? 0 : 1;
	if (showTips != 0) {
		AddEntity(&heading);
		AddEntity(&tip);
		AddEntity(&progress);
	}
	AddEntity(&caption);
	PlayThunder();
}

void ScreenLoadGame::Update(float dt)
{
	Screen::Update(dt);
	MapPreloader *preloader = MapPreloader::Instance();
	if (preloader != nullptr && preloader->IsLoading())
		preloader->Step();

	const bool ready = phase >= 2;
	const float a = ready ? 0.2f : 1.0f;
	caption.transform.SetPosition(captionBase + Vec3(0.0f, std::sin((time + 0.5f) / a) * 4.0f * a, 0.0f));
	if (!ready) {
		tip.transform.position.x -= kTipDriftPerSecond * dt;
		heading.transform.position.x -= kHeadingDriftPerSecond * dt;
	}

	time += dt;
	const uint8_t next = (uint8_t)std::min(std::floor(time * phaseRate), kMaxPhase);
	if (next != phase) {
		const uint8_t before = phase;
		phase = next;
		// One frame may pass phases 1 and 2 together: the tables load once.
		if (before < 1 && phase >= 1) {
			Settings::Instance().Get();
			LoadEnvironment();
			Missions::Instance().Load();
			tableLoads++;
		}
		if (before < 2 && phase >= 2)
			caption.SetText("READY: Press to begin!");
	}

	if (phase >= 2) {
		glm::vec3 c = tip.GetColor() - glm::vec3(kTipFadePerSecond * dt);
		if (c.r < 0.0f)
			c = glm::vec3(0.0f);
		tip.SetColor(c);
		heading.SetColor(c);
		if ((Input::Get()->AnyActionPressed() || showTips == 0) && AskNext())
			TalvexGame::Current().ShowGameScene();
	}
	caption.waviness = 0.5f;
	tip.waviness = 0.2f;
}
