#include "game/UIMiniMap.h"

#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

namespace {

constexpr float kCompassSize = 66.0f;
constexpr float kZoomRate = 0.3f;
const Vec3 kBaseOffset(60.0f, -47.0f, 0.0f);    // from the bottom-left corner
const Vec3 kCompassOffset(-43.0f, -42.0f, 0.0f); // from the map's base point
constexpr float kBaseLift = 20.0f;               // the base rises this much per unit of zoom
constexpr float kZoomShift = 28.0f;

}

UIMiniMap::UIMiniMap()
{
	drawLayer = Entity::kInterfaceLayer;
}

UIMiniMap::~UIMiniMap() = default;

void UIMiniMap::Init()
{
	map.markerScaleFactor = kMarkerSize;
	map.radius = kRadius;
	map.showYou = 1;
	map.showTowns = 1;
	map.bob = 0;
	map.transform.SetUniformScale(kBaseScale);
	map.Init();
	compass.SetTexture("mats/compass.png");
	compass.SetSize(kCompassSize, kCompassSize);
	compass.Init();
}

void UIMiniMap::Start()
{
	map.Start();
}

void UIMiniMap::Refresh()
{
	map.Build();
	offset = Vec3(0.0f);
	if (TalvexGame::Current().OptionFlag() != 0)
		offset.y -= kClockLift;
	shown = GameProgress::Current().previousMap != 0 ? 1 : 0;
}

void UIMiniMap::Update(float dt)
{
	const uint16_t location = map.GetCurrentIndex();
	if (shown != 0 && location != lastLocation) {
		lastLocation = location;
		highlightTime = kHighlightSeconds;
	}
	float target = 1.0f;
	if (highlightTime > 0.0f) {
		highlightTime -= dt;
		target = kHighlightZoom;
	}
	Renderer *renderer = GetRenderer();
	if (renderer != nullptr && renderer->IsCurrentPostModeOrtho())
		target *= kHighlightZoom;
	map.blinkGoal = highlightTime > 0.0f ? 1 : 0;
	zoom = LerpClamped(zoom, target, SmoothFactor(kZoomRate, dt));
	map.Update(dt);

	Vec3 base = Vec3(0.0f, (float)Renderer::kLogicalHeight, 0.0f) + kBaseOffset;
	base.y -= kBaseLift * (zoom - 1.0f);
	const Vec3 centre = map.MarkerPosition(location) * (kBaseScale * zoom);
	map.transform.position = base + centre + offset + Vec3(kZoomShift * (zoom - 1.0f), kZoomShift * (zoom - 1.0f), 0.0f);
	map.transform.SetUniformScale(kBaseScale * zoom);
	compass.transform.position = base + kCompassOffset + offset;
	compass.transform.SetUniformScale(zoom);
}

void UIMiniMap::Render()
{
	if (shown == 0)
		return;
	map.Render();
	compass.Render();
}
