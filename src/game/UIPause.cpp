#include "game/UIPause.h"

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "engine/core/IEntityContainer.h"
#include "engine/core/Input.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"
#include "game/TalvexGame.h"
#include "game/UIDoneHandler.h"

constexpr uint16_t kPausedOverlayMode = 1;
constexpr float kPlayingMusicVolume = 1.0f;

void UIPause::Open()
{
	open = 1;
	openedThisFrame = 1;
	if (Renderer *renderer = GetRenderer())
		renderer->SetOverlayMode(kPausedOverlayMode);
	MusicPlayer::Instance()->SetVolume(kOpenMusicVolume);
	TalvexGame::Current().SetTimerPaused(1);
	LogDebug("------\nPAUSED\n------\n");
}

void UIPause::Close()
{
	open = 0;
	if (Renderer *renderer = GetRenderer())
		renderer->SetOverlayMode(0);
	MusicPlayer::Instance()->SetVolume(kPlayingMusicVolume);
	TalvexGame::Current().SetTimerPaused(0);
	if (doneHandler != nullptr)
		doneHandler->OnDone();
	else if (container != nullptr)
		container->RemoveEntity(this);
}

void UIPause::ShowQuests()
{
	LogDebug("No quests page yet\n");
}

void UIPause::ShowWorldMap()
{
	LogDebug("No world map page yet\n");
}

void UIPause::Update(float dt)
{
	UIContainer::Update(dt);
	// The key that opened the menu is still pressed in the frame it opened.
	if (openedThisFrame != 0) {
		openedThisFrame = 0;
		return;
	}
	const Input *source = input != nullptr ? input : Input::Get();
	if (open != 0 && (source->IsBackPressed() || source->IsConfirmPressed()))
		Close();
}
