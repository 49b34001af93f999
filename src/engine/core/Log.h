#pragma once

#include <SDL.h>

// The game's one log print, a debug print that stays silent, and the two
// message boxes that start-up failures raise. Every box goes through one
// replaceable hook so that headless runs and tests never block on a dialog.

#if defined(__GNUC__) || defined(__clang__)
#define TALVEX_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
#else
#define TALVEX_PRINTF_FORMAT(formatIndex, firstArg)
#endif

// Prints one line to standard output: a message that does not end with a
// line end gets one, so no two messages ever share a line. An empty message
// prints nothing.
void Log(const char *fmt, ...) TALVEX_PRINTF_FORMAT(1, 2);
// Prints nothing: progress chatter that release builds keep quiet.
void LogDebug(const char *fmt, ...) TALVEX_PRINTF_FORMAT(1, 2);
// The same as Log; the message boxes echo their text through it.
void PrintStdout(const char *fmt, ...) TALVEX_PRINTF_FORMAT(1, 2);

// Shows the "Critical Error!" box and returns; the caller decides what follows.
void CriticalError(const char *fmt, ...) TALVEX_PRINTF_FORMAT(1, 2);
// Asks "Proceed" or "Abort"; true only when the user chose "Proceed".
bool CriticalWarning(const char *fmt, ...) TALVEX_PRINTF_FORMAT(1, 2);

// Shows a box and returns the id of the chosen button, or -1 when the box was
// closed without a choice or could not be shown.
using MessageBoxHook = int (*)(const SDL_MessageBoxData *data);
// Null puts back the default hook, which calls SDL_ShowMessageBox.
void SetMessageBoxHook(MessageBoxHook hook);
MessageBoxHook GetMessageBoxHook();
