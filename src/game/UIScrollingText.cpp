#include "game/UIScrollingText.h"

#include <algorithm>
#include <cstring>

#include "engine/render/Textbox.h"

UIScrollingText::UIScrollingText() = default;

UIScrollingText::~UIScrollingText() = default;

void UIScrollingText::Load(const char *text)
{
	lines.clear();
	layoutY = 0.0f;
	const size_t length = text != nullptr ? strnlen(text, kMaxTextLength) : 0;
	size_t lineStart = 0;
	for (size_t i = 0; i < length; i++) {
		if (text[i] != '\n')
			continue;
		const size_t lineLength = i - lineStart;
		if (lineLength >= 2) {
			char copy[kMaxLineLength + 1] = {};
			memcpy(copy, text + lineStart, std::min(lineLength, kMaxLineLength));
			Line line;
			line.y = layoutY;
			line.box = std::make_unique<Textbox>();
			line.box->SetAnchor(glm::vec2(0.5f, 0.5f));
			line.box->SetFontSize(fontSize);
			line.box->SetText(copy);
			line.box->GetMeshRenderer().SetMode(renderMode);
			line.box->Init();
			line.box->GetMeshRenderer().SetMode(renderMode);
			lines.push_back(std::move(line));
		}
		layoutY += (float)fontSize * lineSpacing;
		lineStart = i + 1;
	}
	elapsed = 0.0f;
}

void UIScrollingText::SetScrollRange(float start, float end)
{
	startOffset = start;
	endMargin = end;
}

float UIScrollingText::ScrollEnd() const
{
	return layoutY - endMargin + startOffset;
}

void UIScrollingText::SetRenderMode(uint32_t mode)
{
	renderMode = mode;
	for (Line &line : lines)
		line.box->GetMeshRenderer().SetMode(mode);
}

void UIScrollingText::Update(float dt)
{
	elapsed += dt;
	Entity::Update(dt);
	scroll = std::min(scroll + dt * kUnitsPerSecond * speed, ScrollEnd());
	const glm::mat4 matrix = transform.GetMatrix();
	// Lines stack the way their own text reads downward. On the interface
	// that is the column's y axis; a line drawn into the scene is turned a
	// half about z by its text box, so its downward runs along -y, and a
	// column laid along +y there would read from its last line up.
	const float down = renderMode == kSceneLines ? -1.0f : 1.0f;
	const Vec3 axis = glm::vec3(matrix[1]) * down;
	const Vec3 origin = transform.position;
	for (Line &line : lines) {
		line.box->Update(dt);
		line.box->transform.SetFromMatrix(matrix);
		line.box->transform.SetPosition(origin + axis * (line.y - scroll + startOffset));
	}
}

void UIScrollingText::Render()
{
	for (Line &line : lines)
		line.box->Render();
}
