#pragma once
// A key going down or up, as SDL would deliver it to the input, for tests
// that play the game from the keyboard.
#include <SDL.h>

inline SDL_Event KeyEvent(bool down, SDL_Scancode key)
{
	SDL_Event event{};
	event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
	event.key.keysym.scancode = key;
	return event;
}
