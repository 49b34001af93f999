#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/Entity.h"
#include "engine/render/Material.h"
#include "engine/render/Sprite.h"
#include "engine/render/Textbox.h"

class Input;
class UIDoneHandler;
class UIOptionsPage;
class UISelectHandler;

// One entry of a menu list. Texts are cut at their field width and always end
// in their terminator.
struct UIOption {
	static constexpr size_t kLabelSize = 42;
	static constexpr size_t kDescriptionSize = 50;

	uint8_t id = 0; // reported to the select handler; options may share one
	char label[kLabelSize] = {};
	char description[kDescriptionSize] = {};
};

// The one menu widget of the game: a titled vertical list of text options,
// six to a page, with a cursor sprite and a description line for the option
// under the cursor. It knows nothing of what its options mean: a confirm
// reports the option's id to the select handler, a "back" to the done handler
// (neither owned). Menus own a list and rebuild it for each page; a page
// object given with SetPage is owned by the list. It draws in the 600 x 360
// interface space, y downward. The cursor never leaves the options of the
// page shown, and a confirm with no option under it reports nothing.
class UIOptions : public Entity {
public:
	static constexpr size_t kTitleSize = 42;
	static constexpr uint8_t kRowsPerPage = 6;
	static constexpr uint8_t kNoDescription = 255;
	static constexpr float kMoveThreshold = 0.4f;     // squared stick length that counts as pushed
	static constexpr float kInputDelaySeconds = 0.1f; // no confirm or back this soon after a clear
	static constexpr float kTitleY = 50.0f;
	static constexpr float kFirstRowY = 100.0f;
	static constexpr float kLoneRowY = 250.0f;        // a single option sits lower, as in a prompt
	static constexpr float kRowSpacing = 34.0f;
	static constexpr float kDescriptionLift = 50.0f;  // above the bottom edge
	static constexpr float kCursorOffsetX = -40.0f;
	static constexpr float kCursorOffsetY = -6.0f;
	static constexpr const char *kTitleFont = "fonts/title"; // title only; rows and description take the default
	static constexpr uint8_t kTitleFontSize = 32;
	static constexpr uint8_t kRowFontSize = 21;
	static constexpr uint8_t kDescriptionFontSize = 14;

	UIOptions();
	~UIOptions() override;

	void Init() override;
	void OnResume() override;
	void Update(float dt) override;
	void Render() override;

	// Starts a new page: clears the list, sets the title and the select
	// handler. Under the same title the cursor returns to the row of the last
	// vertical move. The done handler stays as it is.
	void Reset(const char *title, UISelectHandler *handler);
	void SetTitle(const char *title);
	// Null texts stay empty.
	void AddOption(uint8_t id, const char *label, const char *description);
	// Changes the first option with the id; a null text stays as it was.
	void SetOptionText(uint8_t id, const char *label, const char *description);
	// Empties the list; title, remembered row and handlers stay.
	void Clear();
	void SetCursor(uint8_t row);
	uint8_t GetCursor() const { return cursor; }
	// Reports a choice to the select handler.
	void Choose(uint8_t id, uint8_t index);
	// Reports "back" to the done handler.
	void Done();
	// Not owned; while set, the list hands its update and drawing to it.
	void SetChild(Entity *entity) { child = entity; }
	bool HasChild() const { return child != nullptr; }
	// Replaces the page object (deleting the old one; when the old page is
	// the one whose choice is running, once that choice returns) and makes
	// the new one the select handler; null leaves no handler.
	void SetPage(UIOptionsPage *page);

	void SetDoneHandler(UIDoneHandler *handler) { doneHandler = handler; }
	UIDoneHandler *GetDoneHandler() const { return doneHandler; }
	UISelectHandler *GetSelectHandler() const { return selectHandler; }
	// The input read for moves, confirm and back; null (the default) is the
	// game's.
	void SetInput(const Input *source) { input = source; }
	void SetAnchor(float fraction) { anchorX = fraction; layoutDirty = 1; }
	float GetAnchor() const { return anchorX; }

	size_t GetOptionCount() const { return options.size(); }
	const UIOption &GetOption(size_t index) const { return options[index]; }
	const char *GetTitle() const { return title; }
	uint8_t GetPageOffset() const { return pageOffset; }
	uint8_t GetRememberedRow() const { return rememberedRow; }
	uint8_t GetChosenIndex() const { return chosenIndex; }
	uint8_t GetDescribedIndex() const { return describedIndex; }
	// Options shown on the current page (0..6).
	uint8_t GetVisibleRows() const;
	const Textbox &GetRow(uint8_t row) const { return rows[row % kRowsPerPage]; }
	const Textbox &GetTitleBox() const { return titleBox; }
	const Textbox &GetDescriptionBox() const { return descriptionBox; }
	const Sprite &GetCursorSprite() const { return cursorSprite; }

private:
	void Layout();
	void Move(const glm::vec2 &direction);
	void KeepCursorOnPage();
	void PlaySound(const char *name) const;

	Material::Handle material;
	Textbox titleBox;
	Textbox descriptionBox;
	Sprite cursorSprite;
	uint8_t pageOffset = 0;
	uint8_t cursor = 0;
	uint8_t rememberedRow = 0;
	uint8_t chosenIndex = 0;
	uint8_t describedIndex = kNoDescription;
	uint8_t layoutDirty = 0;
	uint8_t stickHeld = 0;
	char title[kTitleSize] = {};
	std::vector<UIOption> options;
	Textbox rows[kRowsPerPage];
	Entity *child = nullptr;
	std::unique_ptr<UIOptionsPage> page;
	// A page replaced from inside its own choice waits here until the
	// choice returns.
	std::unique_ptr<UIOptionsPage> retiredPage;
	uint8_t choosing = 0;
	// Cleared when the list goes: a handler may free the list it chose in
	// (an ending that leaves play ends the script that owns it).
	std::shared_ptr<bool> alive = std::make_shared<bool>(true);
	float elapsed = 0.0f;
	UISelectHandler *selectHandler = nullptr;
	UIDoneHandler *doneHandler = nullptr;
	const Input *input = nullptr;
	float anchorX = 0.5f;
};
