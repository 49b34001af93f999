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
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "WARNING!: No achievements (7)");
		EXPECT_EQ(lastBox, std::to_string(SDL_MESSAGEBOX_WARNING) +
			" parent\nCritical Warning!\nNo achievements (7)\n0 0 Proceed\n1 0 Abort\n");
	}
	EXPECT_EQ(boxCount, 3);
}

TEST_F(MessageBoxes, ErrorBoxCarriesTitleFlagAndCutMessage)
{
	testing::internal::CaptureStdout();
	CriticalError("Video failed: %s", "no display");
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "CRITICAL!: Video failed: no display");
	EXPECT_EQ(lastBox.substr(0, lastBox.find("\n0 ")),
		std::to_string(SDL_MESSAGEBOX_ERROR) + " parent\nCritical Error!\nVideo failed: no display");

	testing::internal::CaptureStdout();
	CriticalError("%s", std::string(400, 'x').c_str());
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "CRITICAL!: " + std::string(254, 'x'));
	EXPECT_EQ(boxCount, 2);
}

TEST(Log, PrintsFormattedTextWithoutAddingALineEnd)
{
	testing::internal::CaptureStdout();
	Log("phase %i", 3);
	LogDebug("never shown %d\n", 1);
	PrintStdout(" and %s", "more");
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "phase 3 and more");
}
