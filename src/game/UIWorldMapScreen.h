#pragma once

#include <cstddef>

#include "engine/core/MathUtil.h"
#include "engine/core/UIContainer.h"
#include "engine/render/Material.h"
#include "engine/render/Textbox.h"
#include "game/UIWorldMap.h"
#include "game/WorldMapLegendItem.h"

class Input;

// The full-screen world map of the pause menu: the world-map board with its
// environment icons, the title "World Map", a legend of six icons and a
// "CONTINUE" prompt. The movement input pans the board (against the stick,
// so the view follows it) within 80 units across and 250 up and down; action
// 3, 1 or 2 closes it through the container that holds it. It owns the board,
// texts and legend; it never deletes itself.
class UIWorldMapScreen : public UIContainer {
public:
	static constexpr size_t kLegendCount = 6;
	static constexpr float kPanLimitX = 80.0f;
	static constexpr float kPanLimitY = 250.0f;
	static constexpr float kPanSpeed = 200.0f;

	UIWorldMapScreen();
	~UIWorldMapScreen() override;

	void Init() override;
	void Update(float dt) override;
	// Rebuilds the board and centres it on the current place.
	void Refresh();
	void CentreOnCurrent();
	// Null reads the program's input.
	void SetInput(const Input *source) { input = source; }

	UIWorldMap &GetMap() { return map; }
	const Vec3 &GetOffset() const { return offset; }
	const WorldMapLegendItem &GetLegend(size_t i) const { return legend[i % kLegendCount]; }
	const Textbox &GetTitle() const { return title; }

private:
	UIWorldMap map;
	Textbox title;
	Textbox prompt;
	Vec3 velocity = Vec3(0.0f);
	Vec3 offset = Vec3(0.0f);
	Material::Handle atlas;
	WorldMapLegendItem legend[kLegendCount];
	const Input *input = nullptr;
};
