#pragma once

#include <cstdint>

#include "engine/collision/CollisionChecker.h"
#include "engine/core/Camera.h"
#include "engine/core/Scene.h"
#include "engine/core/UIStack.h"
#include "game/GameUI.h"
#include "game/UIDoneHandler.h"
#include "game/UIMeatQuiz.h"
#include "game/UIPause.h"
#include "map/CameraRig.h"
#include "map/TileMap.h"
#include "map/TileMapLoadListener.h"
#include "objects/LookPreparer.h"
#include "objects/MapEntityFactory.h"
#include "objects/ObjectScriptWorld.h"
#include "objects/Player.h"

class Entity;
class Input;

// The scene of play. It owns the tile map, the one player, the camera and its
// rig, the entity factory and the world the map's scripts act on, the
// collision checker, the HUD and the pause menu; it chooses and loads the
// start map, runs each frame in a fixed order (map loading, the HUD's
// blackout, fade-in, entities and scripts, pause, camera, collisions, fight
// music, map change), changes maps when the player walks out of one (or
// reaches one of the three map-named endings), keeps what must survive a map
// change in the progress record and gives it back on the next map. Besides the
// HUD it shows one overlay interface at a time, the pause menu or a panel a
// script opens; the overlay stack lists it but does not own it.
//
// A map that cannot be loaded does not end play: the player stops walking
// out and stands inside the map it is on, and when the old map was already
// cleared it is loaded again.
class TalvexGameScene : public Scene, public TileMapLoadListener, public UIDoneHandler {
public:
	static constexpr float kFightRange = 20.0f;        // enemies nearer than this raise the fight music
	static constexpr int kMaxFightLevel = 2;
	static constexpr float kFadeInSeconds = 0.5f;      // the map's first frames fade in from black
	static constexpr float kFadeWatchSeconds = 2.0f;   // how long after a load the fade-in is kept up
	static constexpr float kDoorFreezeSeconds = 0.6f;  // the player stands still after coming out of a door
	static constexpr float kBrutalExitFadeSeconds = 0.2f;

	TalvexGameScene();
	~TalvexGameScene() override;

	void Start() override;
	void Update(float dt) override;
	void Render() override;
	// Play ends: the script, the fighting actors and the party go.
	void Leave(Scene *next) override;

	void OnMapUnload() override;
	void OnMapLoaded(const char *name) override;
	// The pause menu closed.
	void OnDone() override;

	// Loads the map whose file name hashes to mapId ("maps/home.tmx" when
	// none does) as the place play starts.
	void LoadStartMap(uint16_t mapId);
	// Shows ui over the game instead of the pause menu; null puts the pause
	// menu back. Not owned.
	void SetOverlayUI(Entity *ui) override;
	Entity *GetOverlayUI() { return overlayOpen != 0 ? overlayStack.Top() : nullptr; }

	// The map the game starts on: the progress record's start map at respawn
	// level 1, none ("maps/home.tmx") at level 2, else its current map; a
	// pending map replaces them all, once.
	static uint16_t ChooseStartMap();
	// The angle of the fade toward a direction: north 0, east pi/2, south pi,
	// west -pi/2, none 0.
	static float DirectionAngle(uint32_t direction);
	static uint32_t OppositeDirection(uint32_t direction);
	static void StepTile(uint32_t direction, int16_t &x, int16_t &y, int n);
	// What one entity adds to the fight level: an active hostile enemy
	// nearer than 20 adds 1 + its maximum half hearts / 5.
	static int FightContribution(uint32_t kind, uint8_t faction, bool active, uint8_t maxHalves, float distance);
	// The fight level after one worked out: it rises, or drops to 0 when the
	// fight is over, never from 2 down to 1.
	static uint16_t NextFightLevel(uint16_t current, int worked);

	// The controls of the scene and its player; null (the default) is the
	// program's input. Not owned.
	void SetInput(Input *source);

	TileMap &GetMap() { return map; }
	Player &GetPlayer() { return player; }
	GameUI &GetHud() { return hud; }
	UIPause &GetPauseMenu() { return pauseMenu; }
	CameraRig &GetCameraRig() { return cameraRig; }
	bool IsOverlayOpen() const { return overlayOpen != 0; }
	uint16_t GetFightLevel() const { return fightLevel; }
	const char *GetLoadedAs() const { return loadedAs; }
	float GetExitFadeDuration() const { return exitFadeDuration; }
	float GetFadeAngle() const { return fadeAngle; }
	bool IsMapLoading() const;

private:
	static constexpr size_t kLoadedAsChars = 16; // a whole short map name

	void UpdateFightMusic();
	void UpdateMapChange(float dt);
	// Loads the named map for a walk out; false when it could not start.
	void LoadExitMap(const char *path);
	// A load that ended without a map: play goes on where it was.
	void RecoverFromFailedLoad();
	// Puts the player back on a tile of the map it stands beside.
	void KeepPlayerInside();
	// Where the player arrives on a freshly loaded map.
	Vec3 ArrivalPoint(uint32_t &direction, bool &doorArrival);
	void StoreGroups(uint8_t state[]) const;
	void ApplyGroups(const uint8_t state[]);
	void SetFade(float angle, float amount);
	const Input &Controls() const;

	TileMap map;
	Player player;
	Camera camera;
	CameraRig cameraRig;
	MapEntityFactory factory;
	LookPreparer lookPreparer; // readies the map's looks while its title shows
	ObjectScriptWorld scriptWorld{UIMeatQuiz::Create}; // what the map's scripts act on
	CollisionChecker collisions;
	GameUI hud;
	UIStack overlayStack;
	UIPause pauseMenu;
	uint8_t fightActorCount = 0;
	uint16_t fightLevel = 0;
	uint8_t overlayOpen = 0;
	uint8_t startMapPending = 0;
	char loadedAs[kLoadedAsChars + 1] = {};
	float exitFadeTime = 0.0f;
	float exitFadeDuration = 1.0f;
	float fadeAngle = 0.0f;
	float sinceLoad = 0.0f;
	uint8_t started = 0;
	// A failed walk out cleared the old map, which is loading again; the
	// player stands where it was.
	uint8_t reloadingOldMap = 0;
	Vec3 reloadPosition = Vec3(0.0f);
	Input *input = nullptr; // not owned
};
