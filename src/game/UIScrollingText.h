#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Entity.h"

class Textbox;

// A column of text lines that scrolls along its own transform: the credits
// roll up the screen with it, and the intro tilts it into the distance for its
// crawl. Either way the first line leads and the rest follow below it, as the
// text reads. Each line of the loaded text becomes a centred text box; the
// scroll grows by 20 units a second (times the speed) until the column's end
// stands the range end away from its place.
class UIScrollingText : public Entity {
public:
	static constexpr float kUnitsPerSecond = 20.0f;
	static constexpr size_t kMaxTextLength = 65535; // characters read of a text
	static constexpr size_t kMaxLineLength = 127;   // characters kept of a line
	static constexpr uint32_t kSceneLines = 0;      // render mode: lines drawn as objects of the 3D scene

	UIScrollingText();
	~UIScrollingText() override;

	// One line per "\n"-ended line of text; a line of fewer than two
	// characters only leaves a gap, and text after the last line end is not
	// shown. Null is an empty text.
	void Load(const char *text);

	// Where the scroll starts (added to every line's distance) and how far
	// before the column's end it stops.
	void SetScrollRange(float start, float end);
	float ScrollEnd() const;
	float Remaining() const { return ScrollEnd() - scroll; }
	bool IsFinished() const { return scroll >= ScrollEnd(); }
	// A line's height is the font size times this factor.
	void SetLineSpacing(float factor) { lineSpacing = factor; }
	void SetSpeed(float factor) { speed = factor; }
	float GetSpeed() const { return speed; }
	// 1 draws the lines on the interface, 0 as objects of the 3D scene.
	void SetRenderMode(uint32_t mode);

	float GetScroll() const { return scroll; }
	float GetLength() const { return layoutY; }
	size_t LineCount() const { return lines.size(); }
	const Textbox &GetLine(size_t index) const { return *lines[index].box; }

	void Update(float dt) override;
	void Render() override;

private:
	struct Line {
		float y = 0.0f;
		std::unique_ptr<Textbox> box;
	};

	std::vector<Line> lines;
	float elapsed = 0.0f;
	float scroll = 0.0f;
	float layoutY = 0.0f;
	float lineSpacing = 1.75f;
	uint8_t fontSize = 20;
	float startOffset = 0.0f;
	float endMargin = 100.0f;
	float speed = 1.0f;
	uint32_t renderMode = 1;
};
