#include "game/UIWorldMapScreen.h"

#include <cstdio>

#include "engine/core/IEntityContainer.h"
#include "engine/core/Input.h"
#include "engine/render/Renderer.h"

namespace {

constexpr float kMargin = 16.0f;
constexpr float kPanRate = 0.1f;
constexpr float kLegendIconSize = 18.0f;
constexpr float kLegendBottom = 328.0f;
constexpr float kLegendStep = 20.0f;
const Vec3 kLabelOffset(24.0f, 6.0f, 0.0f);
constexpr uint8_t kCloseActions[] = {kActionConfirm, kActionAttack, kActionCancel};

const struct {
	uint32_t frame;
	const char *label;
} kLegend[UIWorldMapScreen::kLegendCount] = {
	{UIWorldMap::kFrameYou, "YOU"},           {UIWorldMap::kFrameGoal, "GOAL"}, {UIWorldMap::kFrameTown, "TOWN"},
	{UIWorldMap::kFrameShortcut, "SHORTCUT"}, {UIWorldMap::kFrameShop, "SHOP"}, {UIWorldMap::kFrameTower, "TOWER"},
};

}

UIWorldMapScreen::UIWorldMapScreen() = default;

UIWorldMapScreen::~UIWorldMapScreen() = default;

void UIWorldMapScreen::Init()
{
	map.showEnvironments = 1;
	AddEntity(&map);
	title.SetAnchor(glm::vec2(0.0f, 0.0f));
	title.SetFontSize(32);
	title.SetFont("fonts/title");
	title.SetText("World Map");
	title.transform.position = Vec3(kMargin, kMargin, 0.0f);
	AddEntity(&title);
	prompt.SetAnchor(glm::vec2(1.0f, 1.0f));
	prompt.SetFontSize(16);
	const glm::vec2 corner = Renderer::ScreenPoint(1.0f, 1.0f);
	prompt.transform.position = Vec3(corner.x - kMargin, corner.y - kMargin, 0.0f);
	prompt.SetText("CONTINUE");
	AddEntity(&prompt);
	atlas = Material::Get("mats/worldmap.png", "shaders/sprite.dsh");
	for (size_t i = 0; i < kLegendCount; i++) {
		WorldMapLegendItem &item = legend[i];
		item.frame = kLegend[i].frame;
		snprintf(item.label, sizeof(item.label), "%s", kLegend[i].label);
		item.icon.SetMaterial(atlas);
		item.icon.SetSize(kLegendIconSize, kLegendIconSize);
		item.icon.SetFrameIndex((uint8_t)item.frame, UIWorldMap::kAtlasColumns, UIWorldMap::kAtlasRows);
		item.text.SetAnchor(glm::vec2(0.0f, 0.5f));
		item.text.SetFontSize(13);
		item.text.SetFont("fonts/ui");
		item.text.SetText(item.label);
		AddEntity(&item.icon);
		AddEntity(&item.text);
	}
	UIContainer::Init();
}

void UIWorldMapScreen::Refresh()
{
	map.Build();
	CentreOnCurrent();
}

void UIWorldMapScreen::CentreOnCurrent()
{
	offset = map.MarkerPosition(map.GetCurrentIndex());
	velocity = Vec3(0.0f);
}

void UIWorldMapScreen::Update(float dt)
{
	const Input &controls = input != nullptr ? *input : *Input::Get();
	for (uint8_t action : kCloseActions) {
		if (controls.IsActionPressed(action)) {
			// A screen that no container holds stays; it never closes itself.
			if (container != nullptr)
				container->RemoveEntity(this);
			return;
		}
	}
	const glm::vec2 move = controls.GetMoveVector(0);
	const Vec3 target = Vec3(-move.x, -move.y, 0.0f) * dt * kPanSpeed;
	velocity = ApproachVec3(velocity, target, SmoothFactor(kPanRate, dt));
	offset += velocity;
	offset.x = ClampAbs(offset.x, kPanLimitX);
	offset.y = ClampAbs(offset.y, kPanLimitY);
	const glm::vec2 middle = Renderer::ScreenPoint(0.5f, 0.5f);
	map.transform.position = Vec3(middle.x, middle.y, 0.0f) + offset;
	for (size_t i = 0; i < kLegendCount; i++) {
		const Vec3 icon(kMargin, kLegendBottom - kLegendStep * (float)(kLegendCount - 1 - i), 0.0f);
		legend[i].icon.transform.position = icon;
		legend[i].text.transform.position = icon + kLabelOffset;
	}
	UIContainer::Update(dt);
}
