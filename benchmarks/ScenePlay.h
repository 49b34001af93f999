#pragma once

#include <SDL.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "engine/core/Input.h"

class MapEntity;
class TalvexGameScene;

// The in-game scene on one map, loaded from a fresh game, in free play (no
// banner, no greeting waiting), with the player walking right and left in
// turn under injected input and, if asked, a crowd of fighting creatures
// placed round him. Saves and settings go to a temporary folder. The
// benchmarks drive one frame at a time in the game's own order: Update, then
// Draw, then Present.
class ScenePlay {
public:
	static constexpr float kFrameTime = 1.0f / 60.0f; // seconds

	ScenePlay(const char *mapFile, int creatureCount);
	~ScenePlay();
	ScenePlay(const ScenePlay &) = delete;
	ScenePlay &operator=(const ScenePlay &) = delete;

	// The map loaded and is the one asked for.
	bool IsReady() const;

	// A frame begins and the scene and the game update.
	void Update();
	// The frame begins again for drawing and the scene draws.
	void Draw();
	// The post pass runs and the frame is presented.
	void Present();

	TalvexGameScene &Scene() { return *scene; }
	uint16_t EntityCount() const;

private:
	void Press(SDL_Scancode key);
	void Release(SDL_Scancode key);

	std::filesystem::path folder;
	std::string mapName;
	Input input;
	std::unique_ptr<TalvexGameScene> scene;
	std::vector<std::unique_ptr<MapEntity>> creatures;
	int frame = 0;
};
