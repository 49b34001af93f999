#include "game/UISkipper.h"

#include <algorithm>

#include "engine/core/Input.h"
#include "engine/render/Renderer.h"

constexpr uint8_t kSkipperTextSize = 14;
constexpr float kSkipperMargin = 10.0f;

void UISkipper::Start()
{
	text.SetFontSize(kSkipperTextSize);
	text.SetAnchor(glm::vec2(1.0f, 1.0f));
	text.transform.SetPosition(Vec3((float)Renderer::kLogicalWidth - kSkipperMargin,
		(float)Renderer::kLogicalHeight - kSkipperMargin, 0.0f));
	text.Init();
	text.SetVisible(false);
}

void UISkipper::Update(float dt)
{
	elapsed += dt;
	const Input *source = input != nullptr ? input : Input::Get();
	if (elapsed > kIgnoreSeconds && source->AnyActionDown()) {
		holdTime = std::min(holdTime + dt, kHoldSeconds);
		text.SetTextFormat("Skip in %d...", (int)kHoldSeconds - (int)holdTime);
		text.SetVisible(true);
	} else {
		holdTime = 0.0f;
		text.SetVisible(false);
	}
}

void UISkipper::Render()
{
	if (text.IsVisible())
		text.Render();
}
