#include "engine/core/Log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "engine/render/Renderer.h"

namespace {

constexpr size_t kMessageBufferSize = 255; // bytes of a box message, terminator included
constexpr int kNoChoice = -1;              // a box closed without a button, or not shown
constexpr int kProceedButton = 0;
constexpr int kAbortButton = 1;
constexpr int kLineBufferSize = 256;       // bytes of a log line kept on the stack, terminator included

int ShowWithSDL(const SDL_MessageBoxData *data)
{
	int chosen = kNoChoice;
	if (SDL_ShowMessageBox(data, &chosen) != 0)
		return kNoChoice;
	return chosen;
}

MessageBoxHook messageBoxHook = &ShowWithSDL;

// The window the box belongs to; null before the renderer has made one.
SDL_Window *ParentWindow()
{
	Renderer *renderer = GetRenderer();
	return renderer != nullptr ? renderer->GetWindow() : nullptr;
}

// Prints one message as a whole line: one that lacks its line end gets it
// here, so the next message never runs on into it. An empty message prints
// nothing.
void PrintLine(const char *fmt, va_list args)
{
	va_list measure;
	va_copy(measure, args);
	const int length = vsnprintf(nullptr, 0, fmt, measure);
	va_end(measure);
	if (length <= 0)
		return;
	char small[kLineBufferSize];
	std::vector<char> large;
	char *text = small;
	if (length >= kLineBufferSize) {
		large.resize(static_cast<size_t>(length) + 1);
		text = large.data();
	}
	vsnprintf(text, static_cast<size_t>(length) + 1, fmt, args);
	fwrite(text, 1, static_cast<size_t>(length), stdout);
	if (text[length - 1] != '\n')
		fputc('\n', stdout);
	// A pipe or a file buffers whole blocks; a crash would lose the last
	// lines, which are the ones that say what went wrong.
	fflush(stdout);
}

}

void Log(const char *fmt, ...)
{
	va_list args;
	va_start(args, fmt);
	PrintLine(fmt, args);
	va_end(args);
}

void LogDebug(const char *, ...)
{
}

void PrintStdout(const char *fmt, ...)
{
	va_list args;
	va_start(args, fmt);
	PrintLine(fmt, args);
	va_end(args);
}

void SetMessageBoxHook(MessageBoxHook hook)
{
	messageBoxHook = hook != nullptr ? hook : &ShowWithSDL;
}

MessageBoxHook GetMessageBoxHook()
{
	return messageBoxHook;
}

namespace {

// Shows one box through the hook, parented to the game window when there is
// one, and returns the id of the chosen button (-1 for none).
int ShowBox(uint32_t flags, const char *title, const char *message, const SDL_MessageBoxButtonData *buttons,
	int buttonCount)
{
	SDL_MessageBoxData data = {};
	data.flags = flags;
	data.window = ParentWindow();
	data.title = title;
	data.message = message;
	data.numbuttons = buttonCount;
	data.buttons = buttons;
	data.colorScheme = nullptr;
	return messageBoxHook(&data);
}

}

void CriticalError(const char *fmt, ...)
{
	char message[kMessageBufferSize];
	va_list args;
	va_start(args, fmt);
	vsnprintf(message, sizeof(message), fmt, args);
	va_end(args);
	PrintStdout("CRITICAL!: %s", message);

	// One button so that every box, error or question, goes through the hook.
	const SDL_MessageBoxButtonData buttons[] = {
		{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"},
	};
	ShowBox(SDL_MESSAGEBOX_ERROR, "Critical Error!", message, buttons, SDL_arraysize(buttons));
}

bool CriticalWarning(const char *fmt, ...)
{
	char message[kMessageBufferSize];
	va_list args;
	va_start(args, fmt);
	vsnprintf(message, sizeof(message), fmt, args);
	va_end(args);
	PrintStdout("WARNING!: %s", message);

	// Return goes on, Escape stops: the box answers to the keyboard alone.
	const SDL_MessageBoxButtonData buttons[] = {
		{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kProceedButton, "Proceed"},
		{SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kAbortButton, "Abort"},
	};
	return ShowBox(SDL_MESSAGEBOX_WARNING, "Critical Warning!", message, buttons, SDL_arraysize(buttons)) ==
		kProceedButton;
}
