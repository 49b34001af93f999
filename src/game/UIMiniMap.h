#pragma once

#include <cstdint>

#include "engine/core/Entity.h"
#include "engine/core/MathUtil.h"
#include "engine/render/Sprite.h"
#include "game/UIWorldMap.h"

// The small world map in the HUD's bottom-left corner: a third-size copy of
// the world-map board centred on the player's place, with places beyond 100
// units left out (the goal held at the edge, blinking while the map is
// highlighted) and a compass beside it. It grows to 1.3 times its size for
// ten seconds when the player reaches a new place, and sits 32 units higher
// while the play clock is shown. Not drawn on the first map of a new game.
// The HUD owns, updates and draws it.
class UIMiniMap : public Entity {
public:
	static constexpr float kBaseScale = 0.333f;
	static constexpr float kHighlightSeconds = 10.0f;
	static constexpr float kHighlightZoom = 1.3f;
	static constexpr float kRadius = 100.0f;
	static constexpr float kMarkerSize = 1.5f;
	static constexpr float kClockLift = 32.0f;

	UIMiniMap();
	~UIMiniMap() override;

	void Init() override;
	void Start() override;
	void Update(float dt) override;
	void Render() override;
	// Rebuilds the board and reads the clock option and the previous map.
	void Refresh();

	UIWorldMap &GetMap() { return map; }
	const Sprite &GetCompass() const { return compass; }
	const Vec3 &GetOffset() const { return offset; }
	bool IsShown() const { return shown != 0; }
	float GetZoom() const { return zoom; }
	float GetHighlightTime() const { return highlightTime; }

private:
	UIWorldMap map;
	Vec3 offset = Vec3(0.0f);
	Sprite compass;
	uint8_t shown = 0;
	float zoom = 1.0f;
	uint16_t lastLocation = 0;
	float highlightTime = 0.0f;
};
