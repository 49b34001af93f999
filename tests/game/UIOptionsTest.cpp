#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/Input.h"
#include "game/UIDoneHandler.h"
#include "game/UIOptions.h"
#include "game/UIOptionsPage.h"
#include "game/UISelectHandler.h"
#include "support/KeyEvent.h"

namespace {

constexpr float kFrame = 1.0f / 60.0f;

struct Recorder : UISelectHandler, UIDoneHandler {
	std::vector<std::pair<int, int>> picks;
	int backs = 0;
	void OnSelect(uint8_t id, uint8_t index) override { picks.emplace_back(id, index); }
	void OnDone() override { ++backs; }
};

// A list driven by its own input through whole frames: a key goes down, the
// list updates, the key comes up again.
struct ListRig {
	Input input;
	UIOptions list;
	Recorder recorder;

	ListRig()
	{
		list.SetInput(&input);
		list.SetDoneHandler(&recorder);
	}
	void Fill(const char *title, int count)
	{
		list.Reset(title, &recorder);
		for (int i = 0; i < count; ++i)
			list.AddOption(static_cast<uint8_t>(10 + i), ("Option " + std::to_string(i)).c_str(),
			               ("About " + std::to_string(i)).c_str());
	}
	void Frame() { list.Update(kFrame); input.EndFrame(); }
	void Press(SDL_Scancode key)
	{
		input.HandleEvent(KeyEvent(true, key));
		Frame();
		input.HandleEvent(KeyEvent(false, key));
		Frame(); // the stick is seen back at rest before the next push
	}
	void Settle()
	{
		for (int i = 0; i < 8; ++i)
			Frame();
	}
};

// A page that replaces itself with a new page from its own choice, and
// records when it dies.
struct ChainPage : UIOptionsPage {
	UIOptions *list;
	std::vector<std::string> *log;
	int depth;
	ChainPage(UIOptions *owner, std::vector<std::string> *record, int level) : list(owner), log(record), depth(level) {}
	~ChainPage() override { log->push_back("gone " + std::to_string(depth)); }
	void Fill(UIOptions &target) override
	{
		target.SetTitle(("Page " + std::to_string(depth)).c_str());
		target.AddOption(1, "Next", nullptr);
		target.AddOption(2, "Same", nullptr);
	}
	void OnSelect(uint8_t id, uint8_t) override
	{
		if (id == 1)
			list->SetPage(new ChainPage(list, log, depth + 1));
		// Still alive here: the list keeps the old page until this returns.
		log->push_back("chose on " + std::to_string(depth));
	}
};

}

TEST(UIOptions, TextsAreCutAndOptionTextsReplaced)
{
	UIOptions list;
	std::string longLabel(80, 'x');
	list.Reset(std::string(60, 't').c_str(), nullptr);
	list.AddOption(3, longLabel.c_str(), nullptr);
	list.AddOption(3, "Second", "Second about");
	list.AddOption(4, nullptr, "Four");
	EXPECT_EQ(UIOptions::kTitleSize - 1, strlen(list.GetTitle()));
	EXPECT_EQ(UIOption::kLabelSize - 1, strlen(list.GetOption(0).label));
	EXPECT_STREQ("", list.GetOption(0).description);
	EXPECT_STREQ("", list.GetOption(2).label);

	list.SetOptionText(3, "Music: on", nullptr);
	list.SetOptionText(4, nullptr, "Four again");
	list.SetOptionText(99, "nobody", "nobody");
	EXPECT_STREQ("Music: on", list.GetOption(0).label) << "the first option with the id changes";
	EXPECT_STREQ("Second", list.GetOption(1).label);
	EXPECT_STREQ("", list.GetOption(2).label) << "a null label stays as it was";
	EXPECT_STREQ("Four again", list.GetOption(2).description);
}

TEST(UIOptions, SevenOptionsPageAndGoBack)
{
	ListRig rig;
	rig.Fill("Settings", 7);
	rig.Settle();
	EXPECT_EQ(6, rig.list.GetVisibleRows());
	EXPECT_FLOAT_EQ(100.0f, rig.list.GetRow(0).transform.position.y);
	EXPECT_STREQ("About 0", rig.list.GetDescriptionBox().GetText());

	rig.Press(SDL_SCANCODE_DOWN);
	rig.Press(SDL_SCANCODE_RIGHT);
	EXPECT_EQ(6, rig.list.GetPageOffset());
	EXPECT_EQ(0, rig.list.GetCursor());
	EXPECT_EQ(1, rig.list.GetVisibleRows());
	EXPECT_FLOAT_EQ(250.0f, rig.list.GetRow(0).transform.position.y) << "a lone option sits lower";
	EXPECT_STREQ("Option 6", rig.list.GetRow(0).GetText());
	EXPECT_STREQ("About 6", rig.list.GetDescriptionBox().GetText());

	rig.Press(SDL_SCANCODE_RIGHT);
	EXPECT_EQ(6, rig.list.GetPageOffset()) << "no page past the last";
	rig.Press(SDL_SCANCODE_LEFT);
	EXPECT_EQ(0, rig.list.GetPageOffset());
	EXPECT_EQ(0, rig.list.GetCursor());
	EXPECT_EQ(0, rig.recorder.backs);
	rig.Press(SDL_SCANCODE_LEFT);
	EXPECT_EQ(1, rig.recorder.backs) << "left on the first page goes back";
}

TEST(UIOptions, VerticalMovesWrapWithinThePage)
{
	const struct {
		const char *name;
		int count;
		std::vector<SDL_Scancode> keys;
		int row;
	} rows[] = {
		{"up on row 0 of a full page", 6, {SDL_SCANCODE_UP}, 5},
		{"down on the last of three", 3, {SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN}, 0},
		{"two downs", 9, {SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN}, 2},
		{"no options ignore moves", 0, {SDL_SCANCODE_DOWN}, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ListRig rig;
		rig.Fill("Moves", row.count);
		rig.Frame();
		for (SDL_Scancode key : row.keys)
			rig.Press(key);
		EXPECT_EQ(row.row, rig.list.GetCursor());
	}
}

TEST(UIOptions, HoldingMovesOnce)
{
	ListRig rig;
	rig.Fill("Hold", 5);
	rig.input.HandleEvent(KeyEvent(true, SDL_SCANCODE_DOWN));
	for (int i = 0; i < 10; ++i)
		rig.Frame();
	EXPECT_EQ(1, rig.list.GetCursor());
	rig.input.HandleEvent(KeyEvent(false, SDL_SCANCODE_DOWN));
	rig.Frame();
	rig.Press(SDL_SCANCODE_DOWN);
	EXPECT_EQ(2, rig.list.GetCursor());
}

TEST(UIOptions, SameTitleRemembersTheRowWithinTheOptions)
{
	ListRig rig;
	rig.Fill("Pause", 5);
	rig.Frame();
	for (int i = 0; i < 3; ++i)
		rig.Press(SDL_SCANCODE_DOWN);
	rig.Fill("Pause", 5);
	EXPECT_EQ(3, rig.list.GetCursor());
	rig.Fill("Other", 5);
	EXPECT_EQ(0, rig.list.GetCursor());

	// The same title with fewer options than the remembered row: the cursor
	// stays on the last option and a confirm chooses it.
	rig.Fill("Other", 2);
	rig.Settle();
	EXPECT_EQ(1, rig.list.GetCursor());
	rig.Press(SDL_SCANCODE_RETURN);
	ASSERT_EQ(1u, rig.recorder.picks.size());
	EXPECT_EQ(std::make_pair(11, 1), rig.recorder.picks[0]);
}

TEST(UIOptions, ConfirmAndBackRules)
{
	const struct {
		const char *name;
		int count;
		bool settle;
		std::vector<SDL_Scancode> keys; // pressed together in one frame
		size_t picks;
		int backs;
	} rows[] = {
		{"confirm chooses", 3, true, {SDL_SCANCODE_RETURN}, 1, 0},
		{"back reports done", 3, true, {SDL_SCANCODE_ESCAPE}, 0, 1},
		{"a frame that chose does not go back", 3, true, {SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE}, 1, 0},
		{"confirm on an empty list does nothing", 0, true, {SDL_SCANCODE_RETURN}, 0, 0},
		{"empty list still goes back", 0, true, {SDL_SCANCODE_ESCAPE}, 0, 1},
		{"too soon after the page was built", 3, false, {SDL_SCANCODE_RETURN}, 0, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ListRig rig;
		rig.Fill("Rules", row.count);
		if (row.settle)
			rig.Settle();
		for (SDL_Scancode key : row.keys)
			rig.input.HandleEvent(KeyEvent(true, key));
		rig.Frame();
		EXPECT_EQ(row.picks, rig.recorder.picks.size());
		EXPECT_EQ(row.backs, rig.recorder.backs);
	}
}

TEST(UIOptions, ResetKeepsTheDoneHandlerAndEmptyDescriptionClears)
{
	ListRig rig;
	rig.Fill("One", 2);
	rig.list.SetOptionText(11, nullptr, "");
	rig.Settle();
	EXPECT_STREQ("About 0", rig.list.GetDescriptionBox().GetText());
	rig.Press(SDL_SCANCODE_DOWN);
	EXPECT_STREQ("", rig.list.GetDescriptionBox().GetText());
	Recorder other;
	rig.list.Reset("Two", &other);
	EXPECT_EQ(&rig.recorder, rig.list.GetDoneHandler());
	EXPECT_EQ(&other, rig.list.GetSelectHandler());
}

TEST(UIOptions, PageChosenFromItselfDiesAfterItsChoice)
{
	std::vector<std::string> log;
	{
		ListRig rig;
		rig.list.SetPage(new ChainPage(&rig.list, &log, 1));
		EXPECT_STREQ("Page 1", rig.list.GetTitle());
		rig.Settle();
		rig.Press(SDL_SCANCODE_RETURN);
		EXPECT_STREQ("Page 2", rig.list.GetTitle());
		EXPECT_EQ(2u, rig.list.GetOptionCount());
		rig.Settle();
		rig.Press(SDL_SCANCODE_DOWN);
		rig.Press(SDL_SCANCODE_RETURN);
		EXPECT_STREQ("Page 2", rig.list.GetTitle()) << "choosing \"Same\" keeps the page";
		rig.list.SetPage(nullptr);
		EXPECT_EQ(nullptr, rig.list.GetSelectHandler());
		EXPECT_EQ(0u, rig.list.GetOptionCount());
		rig.list.SetPage(new ChainPage(&rig.list, &log, 7));
	}
	const std::vector<std::string> expected = {"chose on 1", "gone 1", "chose on 2", "gone 2", "gone 7"};
	EXPECT_EQ(expected, log);
}
