#pragma once
// The game for headless playthroughs: the real game and its own screen flow
// (new game, pre-intro, play, quest complete, won, the endings, death), with
// each screen it is asked for written down, play scenes reading the maps
// through an optional loader of the test's, and a frame step of exactly
// 1/60 s that switches scenes as the engine's frame does but draws nothing.
#include "engine/core/Input.h"
#include "game/TalvexGame.h"
#include "support/ScreenNotingGame.h"
#include "game/TalvexGameScene.h"
#include "map/TileMapData.h"
#include "support/PlaythroughFrameWatcher.h"

#include <string>
#include <vector>

class PlaythroughGame : public ScreenNotingGame {
public:
	static constexpr float kFrame = 1.0f / 60.0f;

	PlaythroughGame() { SetClock(&Ticks, &NoDelay); }
	~PlaythroughGame() override { DropScenes(); }


	// One frame: the pending scene takes over, then the scene and the game
	// are updated by 1/60 s and the input's frame ends.
	void Step()
	{
		if (watcher != nullptr)
			watcher->FrameBegins();
		if (pendingScene != nullptr) {
			if (currentScene != nullptr)
				OnSceneEnd(currentScene);
			currentScene = pendingScene;
			pendingScene = nullptr;
			currentScene->state = kSceneActive;
			OnSceneStart(currentScene);
			currentScene->Start();
		}
		frames++;
		if (currentScene != nullptr)
			currentScene->Update(kFrame);
		Update(kFrame);
		Input::Get()->EndFrame();
		if (watcher != nullptr)
			watcher->FrameEnds();
	}
	// The scene of play when it is the current one.
	TalvexGameScene *PlayScene() const { return dynamic_cast<TalvexGameScene *>(currentScene); }
	// The screen last asked for ("play", "won", "died", "ending 3" ...).
	std::string LastScreen() const { return screens.empty() ? std::string() : screens.back(); }
	bool HasShown(const std::string &screen) const
	{
		for (const std::string &shown : screens)
			if (shown == screen)
				return true;
		return false;
	}

	MapLoader *maps = nullptr; // not owned; null reads the data tree
	PlaythroughFrameWatcher *watcher = nullptr; // not owned; null plays unwatched

protected:
	void SetPlayScene() override
	{
		Note("play");
		auto *scene = new TalvexGameScene();
		if (maps != nullptr)
			scene->GetMap().SetMapLoader(maps);
		SetScene(scene);
	}

private:
	// The frame clock the screens time themselves by: 1/60 s a frame.
	static uint32_t Ticks() { return 1000u + static_cast<uint32_t>(frames * 1000 / 60); }
	static void NoDelay(uint32_t) {}

	static inline uint64_t frames = 0;
};
