#include <gtest/gtest.h>

#include <string>

#include <sys/wait.h>
#include <unistd.h>

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
			" parent\nCritical Warning!\nNo achievements (7)\n0 " +
			std::to_string(SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT) + " Proceed\n1 " +
			std::to_string(SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT) + " Abort\n");
	}
	EXPECT_EQ(boxCount, 3);
}

// A player at the keyboard: the key picks the button that carries its
// default flag, as the system box does; no such button leaves the box open,
// which reads as no choice.
namespace {
SDL_Keycode pressedKey = SDLK_UNKNOWN;
int PressKey(const SDL_MessageBoxData *data)
{
	const uint32_t wanted = pressedKey == SDLK_RETURN ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT
		: pressedKey == SDLK_ESCAPE ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0;
	int chosen = -1;
	int flagged = 0;
	for (int i = 0; i < data->numbuttons; ++i)
		if (wanted != 0 && (data->buttons[i].flags & wanted) != 0) {
			chosen = data->buttons[i].buttonid;
			flagged++;
		}
	return flagged == 1 ? chosen : -1;
}
}

TEST(MessageBoxKeys, WarningAnswersReturnWithProceedAndEscapeWithAbort)
{
	const MessageBoxHook previous = GetMessageBoxHook();
	SetMessageBoxHook(&PressKey);
	const struct {
		const char *name;
		SDL_Keycode key;
		bool proceeds;
	} rows[] = {{"Return", SDLK_RETURN, true}, {"Escape", SDLK_ESCAPE, false}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		pressedKey = row.key;
		testing::internal::CaptureStdout();
		EXPECT_EQ(CriticalWarning("No store client"), row.proceeds);
		testing::internal::GetCapturedStdout();
	}
	SetMessageBoxHook(previous);
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

// A game that crashes with its output piped (a launcher, a log file) still
// leaves every line it printed: nothing waits in a buffer for an exit that
// never comes.
TEST(Log, LinesReachAPipeBeforeACrash)
{
	int ends[2];
	ASSERT_EQ(0, pipe(ends));
	fflush(stdout);
	const pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		close(ends[0]);
		dup2(ends[1], STDOUT_FILENO);
		// What the C library does for a pipe: whole blocks, not lines.
		setvbuf(stdout, nullptr, _IOFBF, 4096);
		Log("Loading map %s", "town");
		PrintStdout("WARNING!: %s", "no store client");
		Log("Last words before the crash\n");
		abort();
	}
	close(ends[1]);
	std::string piped;
	char chunk[256];
	ssize_t got;
	while ((got = read(ends[0], chunk, sizeof(chunk))) > 0)
		piped.append(chunk, static_cast<size_t>(got));
	close(ends[0]);
	int status = 0;
	ASSERT_EQ(child, waitpid(child, &status, 0));
	EXPECT_TRUE(WIFSIGNALED(status));
	EXPECT_EQ("Loading map town\nWARNING!: no store client\nLast words before the crash\n", piped);
}
