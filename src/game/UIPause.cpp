#include "game/UIPause.h"

#include "audio/ModMusicPlayer.h"
#include "audio/MusicPlayer.h"
#include "engine/core/IEntityContainer.h"
#include "engine/core/Input.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

constexpr uint16_t kPausedOverlayMode = 1;
constexpr float kPlayingMusicVolume = 1.0f;

UIPause::UIPause() = default;

UIPause::~UIPause() = default;

void UIPause::Init()
{
	if (progress.container != this)
		AddEntity(&progress);
	if (options.container != this)
		AddEntity(&options);
	progress.transform.SetPosition(Vec3(80.0f, 50.0f, 0.0f));
	options.SetDoneHandler(this);
	UIContainer::Init();
}

void UIPause::SetInput(const Input *source)
{
	input = source;
	options.SetInput(source);
	settingsMenu.GetOptions().SetInput(source);
	gameplayMenu.GetOptions().SetInput(source);
}

void UIPause::Open()
{
	open = 1;
	if (Renderer *renderer = GetRenderer())
		renderer->SetOverlayMode(kPausedOverlayMode);
	MusicPlayer::Instance()->SetVolume(kOpenMusicVolume);
	TalvexGame::Current().SetTimerPaused(1);
	BuildPaused();
	// The places seen since the last pause, with the view back on "YOU".
	worldMap.Refresh();
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

void UIPause::OnDone()
{
	// Cancel is also a way back; a press that counted towards the unlock
	// does only that.
	if (countingPress != 0)
		return;
	Close();
}

void UIPause::BuildPaused()
{
	options.Reset("PAUSED", this);
	options.SetDoneHandler(this);
	if (!TalvexGame::IsOriginalContent())
		options.AddOption(kWorldMap, "World Map", "View the world map.");
	options.AddOption(kQuests, "Quests", "What to hero.");
	options.AddOption(kRespawn, "Respawn", "Wake up at the fireplace.");
	options.AddOption(kGameplay, "Gameplay", "Difficulty settings and more.");
	options.AddOption(kSettings, "Settings", "Presentation and configuration.");
	if (unlockCount >= kUnlockPresses) {
		options.AddOption(kMusic, "Music", nullptr);
		options.AddOption(kCredits, "Credits", nullptr);
	}
	options.AddOption(kQuit, "Quit", "Cheese it!");
}

void UIPause::Push(Entity *panel)
{
	if (panel == nullptr || container == nullptr)
		return;
	container->AddEntity(panel);
	panel->SetActive(true);
}

void UIPause::ShowQuests()
{
	if (questPanel == nullptr)
		LogDebug("No quest panel\n");
	Push(questPanel);
}

void UIPause::ShowWorldMap()
{
	if (TalvexGame::IsOriginalContent()) {
		BuildPaused();
		return;
	}
	if (worldMapPanel == nullptr)
		LogDebug("No world map panel\n");
	// Every opening starts centred on "YOU", whatever was panned last time.
	if (worldMapPanel == &worldMap)
		worldMap.Refresh();
	Push(worldMapPanel);
}

void UIPause::PlayNextSong()
{
	MusicPlayer *music = MusicPlayer::Instance();
	const size_t count = music->CueCount();
	if (count == 0)
		return; // no cue list: nothing to step through
	const size_t next = ((size_t)music->CurrentCueIndex() + 1) % count;
	const uint16_t cue = music->CueAt((uint8_t)next);
	if (cue != 0)
		music->PlayCue(music->FindCueById(cue));
}

void UIPause::OnSelect(uint8_t id, uint8_t index)
{
	(void)index;
	TalvexGame &game = TalvexGame::Current();
	switch (id) {
	case kClose:
		Close();
		break;
	case kRespawn:
		Close();
		game.ContinueWith(GameProgress::StartMap());
		break;
	case kWorldMap:
		ShowWorldMap();
		break;
	case kSettings:
		Push(&settingsMenu);
		break;
	case kGameplay:
		Push(&gameplayMenu);
		break;
	case kQuests:
		ShowQuests();
		break;
	case kMusic:
		PlayNextSong();
		break;
	case kCredits:
		game.ShowCredits(false);
		break;
	case kQuit:
		game.ShowTitle();
		break;
	default:
		break;
	}
}

void UIPause::Update(float dt)
{
	const Input *source = input != nullptr ? input : Input::Get();
	countingPress = 0;
	if (unlockCount < kUnlockPresses && source->IsActionPressed(kActionCancel)) {
		unlockCount++;
		countingPress = 1;
		if (unlockCount == kUnlockPresses)
			BuildPaused();
	}
	UIContainer::Update(dt);
	countingPress = 0;
}

void UIPause::Render()
{
	options.Render();
	if (!options.HasChild())
		progress.Render();
}
