#include <gtest/gtest.h>

#include <string>

#include "engine/core/Log.h"
#include "engine/render/Renderer.h"

namespace {

// The last box shown, flattened to one line per field so a test compares it
// whole: flags, parent, title, message, then each button's id, flags and text.
std::string lastBox;
int boxCount = 0;
int answer = -1;

int RecordBox(const SDL_MessageBoxData *data)
{
	SDL_Window *parent = GetRenderer() != nullptr ? GetRenderer()->GetWindow() : nullptr;
	lastBox = std::to_string(data->flags) + (data->window == parent ? " parent" : " stray") + "\n" +
		data->title + "\n" + data->message + "\n";
	for (int i = 0; i < data->numbuttons; ++i) {
		const SDL_MessageBoxButtonData &button = data->buttons[i];
		lastBox += std::to_string(button.buttonid) + " " + std::to_string(button.flags) + " " + button.text + "\n";
	}
	lastBox += data->colorScheme != nullptr ? "colours" : "";
	++boxCount;
	return answer;
}

class MessageBoxes : public testing::Test {
protected:
	void SetUp() override
	{
		previous = GetMessageBoxHook();
		SetMessageBoxHook(&RecordBox);
		boxCount = 0;
	}
	void TearDown() override { SetMessageBoxHook(previous); }

	MessageBoxHook previous = nullptr;
};

}

TEST_F(MessageBoxes, WarningProceedsOnlyOnProceed)
{
	struct Row {
		const char *name;
		int answer;
		bool proceeds;
	};
	const Row rows[] = {{"Proceed", 0, true}, {"Abort", 1, false}, {"closed", -1, false}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		answer = row.answer;
		testing::internal::CaptureStdout();
		EXPECT_EQ(CriticalWarning("No achievements (%d)", 7), row.proceeds);
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "WARNING!: No achievements (7)\n");
		EXPECT_EQ(lastBox, std::to_string(SDL_MESSAGEBOX_WARNING) +
			" parent\nCritical Warning!\nNo achievements (7)\n0 0 Proceed\n1 0 Abort\n");
	}
	EXPECT_EQ(boxCount, 3);
}

TEST_F(MessageBoxes, ErrorBoxCarriesTitleFlagAndCutMessage)
{
	testing::internal::CaptureStdout();
	CriticalError("Video failed: %s", "no display");
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "CRITICAL!: Video failed: no display\n");
	EXPECT_EQ(lastBox.substr(0, lastBox.find("\n0 ")),
		std::to_string(SDL_MESSAGEBOX_ERROR) + " parent\nCritical Error!\nVideo failed: no display");

	testing::internal::CaptureStdout();
	CriticalError("%s", std::string(400, 'x').c_str());
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "CRITICAL!: " + std::string(254, 'x') + "\n");
	EXPECT_EQ(boxCount, 2);
}

// Every message is a line of its own: one that lacks its line end gets it,
// one that has it gets no second, and the debug print stays silent.
TEST(Log, EndsEveryMessageWithExactlyOneLineEnd)
{
	using Print = void (*)(const char *fmt, ...);
	const std::string longText(300, 'x'); // longer than a line kept on the stack
	const struct {
		const char *name;
		Print print;
		const char *fmt;
		const char *argument;
		std::string printed;
	} rows[] = {
		{"line end added", &Log, "Couldn't load map %s", "maps/a.tmx", "Couldn't load map maps/a.tmx\n"},
		{"line end kept", &Log, "Map %s loaded\n", "a", "Map a loaded\n"},
		{"inner line end only", &Log, "two%slines", "\n", "two\nlines\n"},
		{"empty message", &Log, "%s", "", ""},
		{"longer than the stack line", &Log, "%s", longText.c_str(), longText + "\n"},
		{"box echo", &PrintStdout, "WARNING!: %s", "cut", "WARNING!: cut\n"},
		{"debug print", &LogDebug, "never shown %s\n", "x", ""},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		testing::internal::CaptureStdout();
		row.print(row.fmt, row.argument);
		EXPECT_EQ(testing::internal::GetCapturedStdout(), row.printed);
	}

	// A refused map's line and the next one print as two lines.
	testing::internal::CaptureStdout();
	Log("Map load aborted: %s", "b.tmx");
	Log("Clearing %i entities\n", 2);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "Map load aborted: b.tmx\nClearing 2 entities\n");
}
