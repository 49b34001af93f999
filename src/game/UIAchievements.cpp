#include "game/UIAchievements.h"

#include <cstdio>

#include "engine/core/IEntityContainer.h"
#include "engine/core/Input.h"
#include "engine/core/MathUtil.h"
#include "engine/render/Renderer.h"
#include "game/AchievementDef.h"
#include "game/Achievements.h"

namespace {

constexpr float kMoveThreshold = 0.4f; // squared length of the stick that scrolls
constexpr float kTop = 20.0f;
constexpr float kSubtitleGap = 30.0f;
constexpr float kListGap = 70.0f;
constexpr float kIconX = 20.0f, kNameX = 60.0f, kDescriptionX = 230.0f, kTextDrop = 16.0f;
constexpr float kIconSize = 32.0f;
constexpr float kNameWrap = 220.0f, kDescriptionWrap = 350.0f;
constexpr float kLineSpacing = 0.7f;
const glm::vec3 kLockedTint(0.2f, 0.2f, 0.2f);
const glm::vec3 kLockedText(0.4f, 0.4f, 0.4f);

const char *LockedHint(uint32_t type)
{
	switch (type) {
	case AchievementDef::kTypeStory:
		return "(Story Quest)";
	case AchievementDef::kTypeSecret:
		return "(Mystery Quest)";
	default:
		return "(Secret Ending)";
	}
}

}

UIAchievements::UIAchievements()
{
	drawLayer = Entity::kInterfaceLayer;
}

UIAchievements::~UIAchievements() = default;

const Input &UIAchievements::Controls() const
{
	return input != nullptr ? *input : *Input::Get();
}

void UIAchievements::Start()
{
	Build();
}

void UIAchievements::Build()
{
	Achievements &achievements = Achievements::Instance();
	title.SetText("Quests");
	title.SetFont("fonts/title");
	title.SetFontSize(32);
	title.SetAnchor(glm::vec2(0.5f, 0.0f));
	title.Init();
	// True counts, however many there are.
	subtitle.SetTextFormat("Conquered %zu of %zu", achievements.UnlockedCount(), achievements.Count());
	subtitle.SetFont("fonts/ui");
	subtitle.SetFontSize(16);
	subtitle.SetAnchor(glm::vec2(0.5f, 0.0f));
	subtitle.Init();

	rows.clear();
	for (size_t i = 0; i < achievements.Count(); i++) {
		auto row = std::make_unique<Row>();
		const AchievementDef *def = achievements.At(i);
		row->def = def;
		row->unlocked = achievements.IsUnlocked(def->id) ? 1 : 0;
		char iconName[128];
		snprintf(iconName, sizeof(iconName), "achievements/%s.png", row->unlocked != 0 ? def->idText : "locked");
		row->icon.SetTexture(iconName);
		row->icon.SetSize(kIconSize, kIconSize);
		row->icon.SetColor(row->unlocked != 0 ? glm::vec3(1.0f) : kLockedTint);
		row->icon.Init();
		const glm::vec3 colour = row->unlocked != 0 ? glm::vec3(1.0f) : kLockedText;
		row->name.SetText(def->name);
		row->description.SetText(row->unlocked != 0 || def->type == AchievementDef::kTypeNone
				? def->description
				: LockedHint(def->type));
		for (Textbox *box : {&row->name, &row->description}) {
			box->SetFont("fonts/ui");
			box->SetAnchor(glm::vec2(0.0f, 0.5f));
			box->SetColor(colour);
			box->SetLineSpacing(kLineSpacing);
		}
		row->name.SetFontSize(14);
		row->name.SetWrapWidth(kNameWrap);
		row->description.SetFontSize(12);
		row->description.SetWrapWidth(kDescriptionWrap);
		row->name.Init();
		row->description.Init();
		rows.push_back(std::move(row));
	}
	scroll = 0.0f;
	elapsed = 0.0f;
}

float UIAchievements::LowestScroll() const
{
	return rows.size() > kRowsShown ? -kRowHeight * (float)(rows.size() - kRowsShown) : 0.0f;
}

void UIAchievements::Update(float dt)
{
	elapsed += dt;
	const glm::vec2 move = Controls().GetMoveVector(0);
	if (move.x * move.x + move.y * move.y > kMoveThreshold)
		scroll = Clamp(scroll - move.y * dt * kScrollSpeed, LowestScroll(), 0.0f);

	float y = kTop + scroll;
	const float middle = (float)Renderer::kLogicalWidth / 2.0f;
	title.transform.position = Vec3(middle, y, 0.0f);
	subtitle.transform.position = Vec3(middle, y + kSubtitleGap, 0.0f);
	y += kListGap;
	for (const std::unique_ptr<Row> &row : rows) {
		row->icon.transform.position = Vec3(kIconX, y, 0.0f);
		row->name.transform.position = Vec3(kNameX, y + kTextDrop, 0.0f);
		row->description.transform.position = Vec3(kDescriptionX, y + kTextDrop, 0.0f);
		y += kRowHeight;
	}

	if (elapsed > kInputDelay) {
		const Input &controls = Controls();
		if (controls.IsSkipPressed() || controls.IsBackPressed() || controls.IsConfirmPressed())
			Close();
	}
}

void UIAchievements::Close()
{
	if (container != nullptr)
		container->RemoveEntity(this);
	else
		NotifyRemoved();
}

void UIAchievements::Render()
{
	if (GetRenderer() == nullptr)
		return;
	title.Render();
	subtitle.Render();
	for (const std::unique_ptr<Row> &row : rows) {
		row->icon.Render();
		row->name.Render();
		row->description.Render();
	}
}
