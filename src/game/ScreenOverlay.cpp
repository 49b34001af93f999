#include "game/ScreenOverlay.h"

#include <cstdio>

#include "engine/render/Renderer.h"
#include "game/AchievementDef.h"
#include "game/Achievements.h"
#include "game/GameUI.h"
#include "game/TalvexGame.h"

namespace {

ScreenOverlay *g_overlay = nullptr;

constexpr uint8_t kTextSize = 16;
constexpr float kIconSize = 32.0f;
// From the bottom-right corner of the interface screen.
constexpr float kTextInsetX = 70.0f, kIconInsetX = 20.0f, kInsetY = 40.0f;
constexpr uint32_t kInterfaceBuffer = 1;

}

ScreenOverlay::ScreenOverlay() = default;

Textbox &ScreenOverlay::Text()
{
	if (text == nullptr) {
		text = std::make_unique<Textbox>();
		text->SetVisible(false);
	}
	return *text;
}

Sprite &ScreenOverlay::Icon()
{
	if (icon == nullptr) {
		icon = std::make_unique<Sprite>();
		icon->SetVisible(false);
	}
	return *icon;
}

void ScreenOverlay::ReleaseDrawing()
{
	timer = -1.0f;
	text.reset();
	icon.reset();
}

ScreenOverlay::~ScreenOverlay()
{
	if (g_overlay == this)
		g_overlay = nullptr;
	Achievements::ForgetHandler(this);
}

ScreenOverlay *ScreenOverlay::Instance()
{
	return g_overlay;
}

void ScreenOverlay::Start()
{
	timer = 0.0f;
	const float w = (float)Renderer::kLogicalWidth, h = (float)Renderer::kLogicalHeight;
	Textbox &line = Text();
	line.SetFont("fonts/ui");
	line.SetFontSize(kTextSize);
	line.SetAnchor(glm::vec2(1.0f, 0.5f));
	line.transform.position = Vec3(w - kTextInsetX, h - kInsetY, 0.0f);
	line.Init();
	Sprite &picture = Icon();
	picture.SetSize(kIconSize, kIconSize);
	picture.SetPivot(glm::vec2(1.0f, 0.5f));
	picture.transform.position = Vec3(w - kIconInsetX, h - kInsetY, 0.0f);
	picture.Init();
	g_overlay = this;
	Achievements::SetHandler(this);
}

void ScreenOverlay::OnAchievement(const AchievementDef &def)
{
	timer = kPopupSeconds;
	Text().SetTextFormat("%s: \"%s\"", AchievementDef::TypeLabel(def), def.name);
	char iconName[128];
	snprintf(iconName, sizeof(iconName), "achievements/%s.png", def.idText);
	Icon().SetTexture(iconName);
}

void ScreenOverlay::Update(float dt)
{
	Screen::Update(dt);
	bool run = true;
	const TalvexGame &game = TalvexGame::Current();
	if (game.IsInGame() && !game.IsTimerPaused()) {
		const GameUI *hud = GameUI::Current();
		if (hud != nullptr && hud->IsMessageVisible())
			run = false;
	}
	if (run && timer >= 0.0f)
		timer -= dt;
	const bool shown = run && timer >= 0.0f;
	if (text != nullptr)
		text->SetVisible(shown);
	if (icon != nullptr)
		icon->SetVisible(shown);
}

void ScreenOverlay::Render()
{
	Renderer *renderer = GetRenderer();
	if (text == nullptr || icon == nullptr || !text->IsVisible() || renderer == nullptr)
		return;
	renderer->SetDrawBuffer(kInterfaceBuffer);
	text->Render();
	icon->Render();
}
