#include "game/Screen.h"

#include "engine/core/Log.h"

void Screen::Update(float dt)
{
	Scene::Update(dt);
}

void Screen::SetScreen(intptr_t first, intptr_t second, intptr_t third)
{
	if (doneAction == nullptr) {
		Log("Screen::SetScreen: No done action set.\n");
		return;
	}
	doneAction->Run(first, second, third);
}
