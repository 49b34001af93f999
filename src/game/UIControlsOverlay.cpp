#include "game/UIControlsOverlay.h"

#include "engine/core/IEntityContainer.h"
#include "engine/core/Input.h"
#include "engine/render/Renderer.h"

UIControlsOverlay::UIControlsOverlay()
{
	drawLayer = kInterfaceLayer;
}

UIControlsOverlay::~UIControlsOverlay() = default;

void UIControlsOverlay::Init()
{
	picture.SetTexture("data/controls.png");
	picture.SetSize(kWidth, kHeight);
	const glm::vec2 centre = Renderer::ScreenPoint(0.5f, 0.5f);
	picture.transform.SetPosition(Vec3(centre.x - 222.0f, centre.y - 115.0f, 0.0f));
	firstFrame = 1;
}

void UIControlsOverlay::Start()
{
	firstFrame = 1;
}

void UIControlsOverlay::Update(float dt)
{
	(void)dt;
	// The press that opened the picture is still down in its first frame.
	if (firstFrame != 0) {
		firstFrame = 0;
		return;
	}
	if (Input::Get()->AnyActionPressed() && container != nullptr)
		container->RemoveEntity(this);
}

void UIControlsOverlay::Render()
{
	picture.Render();
}
