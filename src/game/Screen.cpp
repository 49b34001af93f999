#include "game/Screen.h"

#include <SDL.h>

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/Camera.h"
#include "engine/core/Game.h"
#include "engine/core/Log.h"
#include "engine/render/Textbox.h"

constexpr const char *kThunderSound = "sfx/thunder.wav";

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

bool Screen::AskNext()
{
	if (askedNext != 0)
		return false;
	askedNext = 1;
	return true;
}

uint32_t Screen::Ticks()
{
	Game *game = Game::Get();
	return game != nullptr ? game->Ticks() : SDL_GetTicks();
}

void Screen::PlaceText(Textbox &box, glm::vec2 offset, uint8_t size, glm::vec2 at, const char *text)
{
	box.SetAnchor(offset);
	box.SetFontSize(size);
	box.SetText(text);
	box.transform.SetPosition(Vec3(at.x, at.y, 0.0f));
}

void Screen::UseCamera(Camera &camera)
{
	Camera::SetCurrent(&camera);
	camera.clearColor = Vec3(0.0f, 0.0f, 0.0f);
}

void Screen::PlayThunder()
{
	Sound::Instance()->Play(kThunderSound, 1.0f, 0.0f, 0);
}

void Screen::StopMusic()
{
	MusicPlayer::Instance()->Stop();
}
