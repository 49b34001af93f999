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

ScreenOverlay::ScreenOverlay()
{
	text.SetVisible(false);
	icon.SetVisible(false);
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
	text.SetFont("fonts/ui");
	text.SetFontSize(kTextSize);
	text.SetAnchor(glm::vec2(1.0f, 0.5f));
	text.transform.position = Vec3(w - kTextInsetX, h - kInsetY, 0.0f);
	text.Init();
	icon.SetSize(kIconSize, kIconSize);
	icon.SetPivot(glm::vec2(1.0f, 0.5f));
	icon.transform.position = Vec3(w - kIconInsetX, h - kInsetY, 0.0f);
	icon.Init();
	g_overlay = this;
	Achievements::SetHandler(this);
}

void ScreenOverlay::OnAchievement(const AchievementDef &def)
{
	timer = kPopupSeconds;
	text.SetTextFormat("%s: \"%s\"", AchievementDef::TypeLabel(def), def.name);
	char iconName[128];
	snprintf(iconName, sizeof(iconName), "achievements/%s.png", def.idText);
	icon.SetTexture(iconName);
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
	text.SetVisible(shown);
	icon.SetVisible(shown);
}

void ScreenOverlay::Render()
{
	Renderer *renderer = GetRenderer();
	if (!text.IsVisible() || renderer == nullptr)
		return;
	renderer->SetDrawBuffer(kInterfaceBuffer);
	text.Render();
	icon.Render();
}
