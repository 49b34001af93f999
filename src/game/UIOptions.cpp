#include "game/UIOptions.h"

#include <cmath>
#include <cstring>

#include "audio/Sound.h"
#include "engine/core/Input.h"
#include "engine/core/StringUtil.h"
#include "engine/render/Renderer.h"
#include "game/UIDoneHandler.h"
#include "game/UIOptionsPage.h"
#include "game/UISelectHandler.h"

namespace {

constexpr const char *kSpriteTexture = "mats/entities-hq.png";
constexpr const char *kSpriteShader = "shaders/sprite.dsh";
constexpr const char *kClickSound = "sfx/click.wav";
constexpr const char *kConfirmSound = "sfx/confirm.wav";
constexpr float kCursorSize = 32.0f;
constexpr uint8_t kCursorCell = 41; // of the 8 x 8 sheet
constexpr uint8_t kSheetCells = 8;
constexpr float kChosenWaviness = 0.2f;
const glm::vec3 kDescriptionColor(0.83f, 0.83f, 0.76f);
const glm::vec3 kRowColor(0.8f, 0.8f, 0.8f);
const glm::vec3 kCursorRowColor(1.0f, 1.0f, 1.0f);

}

UIOptions::UIOptions() = default;

UIOptions::~UIOptions()
{
	*alive = false;
	if (material.IsValid())
		Material::Release(material);
}

void UIOptions::Init()
{
	material = Material::Get(kSpriteTexture, kSpriteShader);
	titleBox.SetFontSize(kTitleFontSize);
	titleBox.SetFont(kTitleFont);
	titleBox.Init();
	descriptionBox.SetFontSize(kDescriptionFontSize);
	descriptionBox.SetColor(kDescriptionColor);
	descriptionBox.Init();
	cursorSprite.SetMaterial(material);
	cursorSprite.SetSize(kCursorSize, kCursorSize);
	cursorSprite.SetFrameIndex(kCursorCell, kSheetCells, kSheetCells);
	for (Textbox &row : rows) {
		row.SetFontSize(kRowFontSize);
		row.Init();
	}
	Layout();
}

void UIOptions::OnResume()
{
	layoutDirty = 1;
}

uint8_t UIOptions::GetVisibleRows() const
{
	if (options.size() <= pageOffset)
		return 0;
	size_t n = options.size() - pageOffset;
	return static_cast<uint8_t>(n < kRowsPerPage ? n : kRowsPerPage);
}

void UIOptions::KeepCursorOnPage()
{
	uint8_t n = GetVisibleRows();
	if (n > 0 && cursor >= n)
		cursor = static_cast<uint8_t>(n - 1);
}

void UIOptions::Layout()
{
	KeepCursorOnPage();
	const float width = static_cast<float>(Renderer::kLogicalWidth);
	const float height = static_cast<float>(Renderer::kLogicalHeight);
	const float x = width * anchorX;
	titleBox.SetText(title);
	titleBox.transform.SetPosition(glm::vec3(x, kTitleY, 0.0f));
	uint8_t n = GetVisibleRows();
	float y = n == 1 ? kLoneRowY : kFirstRowY;
	for (uint8_t row = 0; row < n; ++row) {
		rows[row].SetText(options[pageOffset + row].label);
		rows[row].transform.SetPosition(glm::vec3(x, y, 0.0f));
		y += kRowSpacing;
	}
	descriptionBox.transform.SetPosition(glm::vec3(x, height - kDescriptionLift, 0.0f));
}

void UIOptions::PlaySound(const char *name) const
{
	Sound::Instance()->Play(name, 1.0f, 0.0f, 0);
}

void UIOptions::Move(const glm::vec2 &direction)
{
	if (std::fabs(direction.x) > std::fabs(direction.y)) {
		if (direction.x < 0.0f) {
			if (pageOffset > 0) {
				pageOffset = static_cast<uint8_t>(pageOffset - kRowsPerPage);
				layoutDirty = 1;
			} else {
				Done();
				return;
			}
		} else if (direction.x > 0.0f && pageOffset + kRowsPerPage < static_cast<int>(options.size())) {
			pageOffset = static_cast<uint8_t>(pageOffset + kRowsPerPage);
			layoutDirty = 1;
		}
		if (layoutDirty != 0) {
			PlaySound(kClickSound);
			cursor = 0;
		}
		return;
	}
	uint8_t n = GetVisibleRows();
	if (n == 0)
		return;
	int step = direction.y > 0.0f ? 1 : -1;
	cursor = static_cast<uint8_t>((cursor + step + n) % n);
	rememberedRow = cursor;
	PlaySound(kClickSound);
}

void UIOptions::Update(float dt)
{
	elapsed += dt;
	if (child != nullptr) {
		child->Update(dt);
		return;
	}
	const Input *source = input != nullptr ? input : Input::Get();
	glm::vec2 move = source->GetMoveVector(0);
	bool pushed = glm::dot(move, move) > kMoveThreshold;
	if (pushed && stickHeld == 0)
		Move(move);
	stickHeld = pushed ? 1 : 0;
	if (layoutDirty != 0) {
		layoutDirty = 0;
		Layout();
	}
	KeepCursorOnPage();
	uint8_t n = GetVisibleRows();
	if (n > 0)
		cursorSprite.transform.SetPosition(rows[cursor].transform.position +
		                                   glm::vec3(kCursorOffsetX, kCursorOffsetY, 0.0f));
	for (uint8_t row = 0; row < kRowsPerPage; ++row) {
		bool current = row == cursor;
		rows[row].SetColor(current ? kCursorRowColor : kRowColor);
		rows[row].waviness = current ? kChosenWaviness : 0.0f;
	}
	if (n > 0 && pageOffset + cursor != describedIndex) {
		describedIndex = static_cast<uint8_t>(pageOffset + cursor);
		descriptionBox.SetText(options[describedIndex].description);
	}
	if (elapsed <= kInputDelaySeconds)
		return;
	if (source->IsConfirmPressed() && n > 0) {
		chosenIndex = static_cast<uint8_t>(pageOffset + cursor);
		const std::shared_ptr<bool> stillHere = alive;
		Choose(options[chosenIndex].id, chosenIndex);
		if (*stillHere)
			PlaySound(kConfirmSound);
		return; // the frame that chose does not also go back
	}
	if (source->IsBackPressed())
		Done();
}

void UIOptions::Render()
{
	if (child != nullptr) {
		child->Render();
		return;
	}
	if (Renderer *renderer = GetRenderer())
		renderer->SetRenderMode(Renderer::kRenderModeDepthless);
	titleBox.Render();
	uint8_t n = GetVisibleRows();
	for (uint8_t row = 0; row < n; ++row)
		rows[row].Render();
	if (n > 0)
		cursorSprite.Render();
	descriptionBox.Render();
}

void UIOptions::Reset(const char *text, UISelectHandler *handler)
{
	bool sameTitle = strncmp(title, text != nullptr ? text : "", kTitleSize) == 0;
	Clear();
	SetTitle(text);
	if (sameTitle && rememberedRow != 0)
		cursor = rememberedRow;
	selectHandler = handler;
}

void UIOptions::SetTitle(const char *text)
{
	CopyText(title, kTitleSize, text);
	layoutDirty = 1;
}

void UIOptions::AddOption(uint8_t id, const char *label, const char *description)
{
	UIOption option;
	option.id = id;
	CopyText(option.label, UIOption::kLabelSize, label);
	CopyText(option.description, UIOption::kDescriptionSize, description);
	options.push_back(option);
	layoutDirty = 1;
}

void UIOptions::SetOptionText(uint8_t id, const char *label, const char *description)
{
	layoutDirty = 1;
	for (UIOption &option : options) {
		if (option.id != id)
			continue;
		if (label != nullptr)
			CopyText(option.label, UIOption::kLabelSize, label);
		if (description != nullptr)
			CopyText(option.description, UIOption::kDescriptionSize, description);
		return;
	}
}

void UIOptions::Clear()
{
	options.clear();
	pageOffset = 0;
	cursor = 0;
	elapsed = 0.0f;
	child = nullptr;
	describedIndex = kNoDescription;
	descriptionBox.SetText("");
	layoutDirty = 1;
}

void UIOptions::SetCursor(uint8_t row)
{
	cursor = row;
	rememberedRow = row;
	layoutDirty = 1;
}

void UIOptions::Choose(uint8_t id, uint8_t index)
{
	if (index >= pageOffset && index - pageOffset < kRowsPerPage)
		cursor = static_cast<uint8_t>(index - pageOffset);
	if (selectHandler == nullptr)
		return;
	++choosing;
	const std::shared_ptr<bool> stillHere = alive;
	selectHandler->OnSelect(id, index);
	if (!*stillHere)
		return;
	if (--choosing == 0)
		retiredPage.reset();
}

void UIOptions::Done()
{
	if (doneHandler != nullptr)
		doneHandler->OnDone();
}

void UIOptions::SetPage(UIOptionsPage *next)
{
	if (page != nullptr) {
		// A page whose own choice is running is still on the stack: it goes
		// once that choice returns.
		if (choosing != 0 && retiredPage == nullptr)
			retiredPage = std::move(page);
		else
			page.reset();
	}
	selectHandler = nullptr;
	Clear();
	if (next == nullptr)
		return;
	page.reset(next);
	selectHandler = next;
	next->Fill(*this);
}
