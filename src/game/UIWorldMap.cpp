#include "game/UIWorldMap.h"

#include <cmath>

#include "engine/core/NameHash.h"
#include "engine/render/Renderer.h"
#include "map/WorldMap.h"
#include "objects/CollectableKind.h"
#include "game/GameProgress.h"

namespace {

constexpr const char *kAtlasName = "mats/worldmap.png";
constexpr const char *kSpriteShader = "shaders/sprite.dsh";
constexpr float kSpriteSide = 512.0f;   // a marker's sprite size before its scale
constexpr float kMarkerScale = 0.0625f; // 32 panel units at scale 1
constexpr float kHalfMarker = 16.0f;
constexpr float kPicturePixelsPerStep = 16.0f;
constexpr float kYouGrowth = 1.5f;
constexpr float kYouShift = -8.0f;
constexpr float kOriginShift = -16.0f;
constexpr float kBlinkPeriod = 0.5f;
constexpr float kBlinkOff = 0.25f;
constexpr float kBobRate = 4.0f;
constexpr float kBobHeight = 4.0f;
const char *const kOtherTowers[] = {"black2", "far3", "black4", "towerf5"};

}

UIWorldMap::UIWorldMap()
{
	drawLayer = Entity::kInterfaceLayer;
}

UIWorldMap::~UIWorldMap() = default;

Vec3 UIWorldMap::MapToPanel(float x, float y)
{
	return Vec3(x / kPicturePixelsPerStep * kGridStep, y / kPicturePixelsPerStep * kGridStep, 0.0f);
}

WorldMapMarker *UIWorldMap::AddMarker(const WorldMapLocation *location, uint32_t frame, float scale)
{
	if (location == nullptr)
		return nullptr; // a marker always stands for a place
	std::unique_ptr<WorldMapMarker> marker = TakeMarker();
	marker->location = location;
	if (atlas.IsValid())
		marker->SetMaterial(atlas);
	marker->SetSize(kSpriteSide, kSpriteSide);
	marker->SetFrameIndex((uint8_t)frame, kAtlasColumns, kAtlasRows);
	marker->markerScale = Vec3(kMarkerScale * scale);
	marker->SetPivot(glm::vec2(0.0f));
	marker->basePosition = MapToPanel(location->x, location->y) - Vec3(kHalfMarker * scale, kHalfMarker * scale, 0.0f);
	marker->Init();
	marker->frame = frame;
	markers.push_back(std::move(marker));
	return markers.back().get();
}

std::unique_ptr<WorldMapMarker> UIWorldMap::TakeMarker()
{
	if (spareMarkers.empty())
		return std::make_unique<WorldMapMarker>();
	std::unique_ptr<WorldMapMarker> marker = std::move(spareMarkers.back());
	spareMarkers.pop_back();
	marker->Reset();
	return marker;
}

WorldMapMarker *UIWorldMap::AddMarkerAt(uint16_t index, uint32_t frame, float scale)
{
	if (index == kNoIndex)
		return nullptr;
	return AddMarker(GetWorldMapLocation(index), frame, scale);
}

void UIWorldMap::Build()
{
	const GameProgress &progress = GameProgress::Current();
	for (std::unique_ptr<WorldMapMarker> &marker : markers)
		spareMarkers.push_back(std::move(marker));
	markers.clear();
	LoadWorldMap(false);
	current = 0;
	extent = Vec3(0.0f);
	tower = town = shop = otherTower = goal = kNoIndex;
	const bool ended = progress.HasFlag(HashName("ending"));

	const uint16_t count = GetWorldMapLocationCount();
	for (uint16_t i = 0; i < count; i++) {
		const WorldMapLocation *location = GetWorldMapLocation(i);
		if (location == nullptr)
			continue;
		const bool visited = progress.HasMapRecord(location->nameKey);
		const bool reached = progress.HasMapRecord(location->previousKey);
		uint32_t frame = reached ? kFrameReachable : kFrameHidden;
		if (location->nameKey == progress.currentMap)
			current = i;
		if (progress.waypoint != 0 && progress.waypoint == location->nameKey)
			goal = i;
		if (visited) {
			frame = location->shortcut != 0 ? kFrameShortcut : kFrameVisited;
			if (NameEquals(location->name, "town2"))
				shop = i;
			else if (NameEquals(location->name, "town"))
				town = i;
			else if (NameEquals(location->name, "black5"))
				tower = i;
			for (const char *name : kOtherTowers)
				if (NameEquals(location->name, name))
					otherTower = i;
		} else if (location->shortcut != 0) {
			frame = kFrameHidden;
		}
		WorldMapMarker *marker = AddMarker(location, frame, 1.0f);
		if (marker == nullptr)
			continue;
		marker->visited = visited ? 1 : 0;
		marker->reached = reached ? 1 : 0;
		extent.x = Max(extent.x, marker->basePosition.x);
		extent.y = Max(extent.y, marker->basePosition.y);
		if (reached) {
			marker->arrowX = location->px;
			marker->arrowY = location->py;
		}
	}
	placeMarkers = markers.size();

	// Each step walks only the markers there when it starts: what it adds
	// is not walked again.
	for (size_t m = 0; m < placeMarkers; m++) {
		const WorldMapMarker &from = *markers[m];
		if (from.location == nullptr || from.frame == kFrameHidden || (from.arrowX == 0 && from.arrowY == 0))
			continue;
		const int16_t px = from.arrowX, py = from.arrowY;
		WorldMapMarker *arrow = AddMarker(from.location, px != 0 ? kFrameArrowAcross : kFrameArrowUpDown, 1.0f);
		if (arrow != nullptr)
			arrow->basePosition -= kGridStep * Vec3((float)px, (float)py, 0.0f);
	}
	if (showEnvironments != 0) {
		for (size_t m = 0; m < placeMarkers; m++) {
			const WorldMapMarker &from = *markers[m];
			if (from.location == nullptr || from.visited == 0 || from.location->shortcut != 0)
				continue;
			const uint8_t icon = WorldMapEnvIcon(from.location->envKey);
			if (icon != 0)
				AddMarker(from.location, icon, 1.0f);
		}
	}
	if (showTowns != 0) {
		AddMarkerAt(town, kFrameTown, markerScaleFactor);
		AddMarkerAt(shop, kFrameShop, markerScaleFactor);
		AddMarkerAt(tower, kFrameTower, markerScaleFactor);
		AddMarkerAt(otherTower, kFrameOtherTower, markerScaleFactor);
		for (size_t m = 0; m < placeMarkers; m++) {
			const WorldMapMarker &from = *markers[m];
			if (from.location == nullptr || (from.visited == 0 && !ended))
				continue;
			const WorldMapLocation &place = *from.location;
			const uint16_t collectFlag = CollectableFlagFromName(place.collect);
			const bool open = (place.dragonKey != 0 && !progress.HasFlag(place.dragonKey))
				|| (place.coolerKey != 0 && !progress.HasFlag(place.coolerKey))
				|| (collectFlag != 0 && !progress.HasFlag(collectFlag));
			if (open)
				AddMarker(from.location, kFrameToFind, markerScaleFactor);
		}
	}
	if (showYou != 0) {
		if (WorldMapMarker *you = AddMarkerAt(current, kFrameYou, markerScaleFactor)) {
			you->markerScale *= kYouGrowth;
			you->basePosition += Vec3(kYouShift, kYouShift, 0.0f);
		}
	}
	if (goal != kNoIndex)
		AddMarkerAt(goal, goal == current ? kFrameGoalHere : kFrameGoal, markerScaleFactor);
	time = 0.0f;
}

Vec3 UIWorldMap::MarkerPosition(size_t i) const
{
	if (i >= markers.size())
		return Vec3(0.0f);
	return extent * 0.5f - markers[i]->basePosition;
}

void UIWorldMap::Start()
{
	atlas = Material::Get(kAtlasName, kSpriteShader);
	Build();
}

void UIWorldMap::Update(float dt)
{
	time += dt;
}

const WorldMapMarker *UIWorldMap::CentreMarker() const
{
	const WorldMapLocation *place = GetWorldMapLocation(current);
	for (size_t m = 0; m < placeMarkers; m++)
		if (markers[m]->location == place)
			return markers[m].get();
	return nullptr;
}

bool UIWorldMap::PlaceMarker(size_t i, Vec3 &position) const
{
	const WorldMapMarker *centreMarker = CentreMarker();
	if (i >= markers.size() || centreMarker == nullptr)
		return false;
	const WorldMapMarker &marker = *markers[i];
	const Vec3 centre = centreMarker->basePosition;
	const Vec3 d = marker.basePosition - centre;
	const float distance = Max(std::fabs(d.y), std::fabs(d.x));
	Vec3 p = marker.basePosition;
	if (distance > radius) {
		// Only the goal is held at the edge of the square.
		if (marker.frame != kFrameGoal)
			return false;
		const float r = radius - kEdgeInset;
		p.x = Clamp(p.x, centre.x - r, centre.x + r);
		p.y = Clamp(p.y, centre.y - r, centre.y + r);
		if (blinkGoal != 0 && std::fmod(time, kBlinkPeriod) < kBlinkOff)
			return false;
	}
	if (marker.frame == kFrameHidden)
		return false;
	if (bob != 0 && (marker.frame == kFrameYou || marker.frame == kFrameGoal))
		p.y -= std::fabs(std::sin(kBobRate * time)) * kBobHeight;
	position = p;
	return true;
}

void UIWorldMap::Render()
{
	if (GetRenderer() == nullptr)
		return;
	const Vec3 &s = transform.scale;
	Vec3 origin = transform.position - extent * 0.5f * s;
	origin.x += kOriginShift;
	origin.y += kOriginShift;
	for (size_t i = 0; i < markers.size(); i++) {
		Vec3 p;
		if (!PlaceMarker(i, p))
			continue;
		WorldMapMarker &marker = *markers[i];
		marker.transform.position = p * s + origin;
		marker.transform.scale = marker.markerScale * s;
		marker.Render();
	}
}
