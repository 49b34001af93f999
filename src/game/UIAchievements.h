#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/Entity.h"
#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"

class Input;
struct AchievementDef;

// The "Quests" panel: a list of every achievement, one row per definition,
// earned ones with their icon, name and description in full colour, locked
// ones dimmed with a hint of their kind instead of the description (a plain
// one keeps its description). Six rows fit; the movement input scrolls the
// rest at 400 units a second. A menu pushes it; after its first half second
// any of the confirm, back or skip inputs closes it. It owns its boxes and
// sprites; rows point into the achievements' table, which outlives them.
class UIAchievements : public Entity {
public:
	static constexpr float kRowHeight = 40.0f;
	static constexpr size_t kRowsShown = 6;
	static constexpr float kScrollSpeed = 400.0f; // units a second
	static constexpr float kInputDelay = 0.5f;    // seconds before a close is heard

	struct Row {
		const AchievementDef *def = nullptr;
		Sprite icon;
		Textbox name;
		Textbox description;
		uint8_t unlocked = 0;
	};

	UIAchievements();
	~UIAchievements() override;

	// Builds the rows from the achievements (slot 2).
	void Start() override;
	void Update(float dt) override;
	void Render() override;
	void Build();
	// Null reads the program's input.
	void SetInput(const Input *source) { input = source; }

	float GetScroll() const { return scroll; }
	// The lowest the scroll goes: 0 with six rows or fewer.
	float LowestScroll() const;
	size_t GetRowCount() const { return rows.size(); }
	const Row &GetRow(size_t index) const { return *rows[index]; }
	const Textbox &GetTitle() const { return title; }
	const Textbox &GetSubtitle() const { return subtitle; }

private:
	const Input &Controls() const;
	void Close();

	float scroll = 0.0f;
	Textbox title;
	Textbox subtitle;
	std::vector<std::unique_ptr<Row>> rows;
	float elapsed = 0.0f;
	const Input *input = nullptr;
};
