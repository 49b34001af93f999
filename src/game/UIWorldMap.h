#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/Entity.h"
#include "engine/core/MathUtil.h"
#include "engine/render/Material.h"
#include "game/WorldMapMarker.h"

struct WorldMapLocation;

// The world drawn as a board of icons from one atlas ("mats/worldmap.png",
// 4 x 6 cells): a marker per place of the world map in a style telling
// whether it was visited or can be reached, arrows toward where reachable
// places are entered from, towns, shops and towers, marks where something is
// still to find, "YOU" and the goal. Rebuilt from the progress record at
// Start and on request; drawn centred on the current place, leaving out what
// lies beyond the radius except the goal, which is held at the edge. The
// world-map screen shows it whole and the minimap a small copy. It owns its
// markers; the places they name belong to the world-map list.
class UIWorldMap : public Entity {
public:
	static constexpr uint16_t kNoIndex = 65535;
	// Atlas cells.
	static constexpr uint32_t kFrameVisited = 1;
	static constexpr uint32_t kFrameShortcut = 3;
	static constexpr uint32_t kFrameReachable = 4;
	static constexpr uint32_t kFrameOtherTower = 5;
	static constexpr uint32_t kFrameToFind = 7;
	static constexpr uint32_t kFrameYou = 8;
	static constexpr uint32_t kFrameTown = 9;
	static constexpr uint32_t kFrameShop = 10;
	static constexpr uint32_t kFrameTower = 11;
	static constexpr uint32_t kFrameArrowAcross = 12;
	static constexpr uint32_t kFrameArrowUpDown = 13;
	static constexpr uint32_t kFrameGoal = 14;
	static constexpr uint32_t kFrameGoalHere = 15;
	static constexpr uint32_t kFrameHidden = 23;
	static constexpr uint8_t kAtlasColumns = 4;
	static constexpr uint8_t kAtlasRows = 6;
	static constexpr float kGridStep = 18.0f;   // panel units between neighbouring places
	static constexpr float kEdgeInset = 12.0f;  // a held goal stays this far inside the radius

	UIWorldMap();
	~UIWorldMap() override;

	// Takes the atlas and builds the markers.
	void Start() override;
	void Update(float dt) override;
	void Render() override;

	// A new marker of the place (null: none is made) with its cell and size.
	WorldMapMarker *AddMarker(const WorldMapLocation *location, uint32_t frame, float scale);
	// The same for the place at a list index; null for an index without one.
	WorldMapMarker *AddMarkerAt(uint16_t index, uint32_t frame, float scale);
	// Rebuilds the markers from the game in progress.
	void Build();
	// World-map picture pixels (16 a grid step) to panel units (18 a step).
	static Vec3 MapToPanel(float x, float y);
	uint16_t GetCurrentIndex() const { return current; }
	uint16_t GetGoalIndex() const { return goal; }
	// The offset that brings marker i to the panel's centre; (0, 0, 0) for a
	// marker that is not there.
	Vec3 MarkerPosition(size_t i) const;
	size_t GetMarkerCount() const { return markers.size(); }
	const WorldMapMarker &GetMarker(size_t i) const { return *markers[i]; }
	const Vec3 &GetExtent() const { return extent; }
	// Where marker i is drawn this frame, relative to the panel's own
	// position and scale; false when it is not drawn.
	bool PlaceMarker(size_t i, Vec3 &position) const;

	// Settings; the minimap changes them before Start.
	float markerScaleFactor = 1.0f;
	float radius = 1000.0f;
	uint8_t showYou = 1;
	uint8_t showTowns = 1;
	uint8_t bob = 1;
	uint8_t blinkGoal = 0;
	uint8_t showEnvironments = 0;

private:
	// The marker of the current place; null when there is none.
	const WorldMapMarker *CentreMarker() const;
	// A spare marker reset, or a new one when none is left.
	std::unique_ptr<WorldMapMarker> TakeMarker();

	std::vector<std::unique_ptr<WorldMapMarker>> markers;
	// The markers of the last build, kept for the next one: the minimap is
	// rebuilt each time the HUD closes a message, often while playing.
	std::vector<std::unique_ptr<WorldMapMarker>> spareMarkers;
	uint16_t current = kNoIndex;
	uint16_t goal = kNoIndex;
	uint16_t tower = kNoIndex;
	uint16_t town = kNoIndex;
	uint16_t shop = kNoIndex;
	uint16_t otherTower = kNoIndex;
	Material::Handle atlas;
	Vec3 extent = Vec3(0.0f);
	float time = 0.0f;
	size_t placeMarkers = 0; // the first markers, one per place, in list order
};
