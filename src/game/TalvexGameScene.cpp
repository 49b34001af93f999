#include "game/TalvexGameScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/MusicPlayer.h"
#include "engine/core/ActiveSequence.h"
#include "engine/core/Input.h"
#include "engine/core/Log.h"
#include "engine/core/MathUtil.h"
#include "engine/core/NameHash.h"
#include "engine/render/Renderer.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/ScreenOverlay.h"
#include "game/TalvexGame.h"
#include "game/UIMeatQuiz.h"
#include "map/MapCommand.h"
#include "map/MapFiles.h"
#include "map/MapSequence.h"
#include "map/Missions.h"
#include "map/TileCode.h"
#include "objects/Actor.h"
#include "objects/ActorRegistry.h"
#include "objects/Party.h"
#include "objects/SpawnFX.h"

namespace {

constexpr const char *kDefaultStartMap = "maps/home.tmx";
const Vec3 kFirstPlayerPosition(10.0f, 1.0f, 10.0f); // before any map is loaded
constexpr uint8_t kMinStartHalves = 4;         // a game never starts with fewer half hearts
constexpr uint32_t kFireplaceKind = 22;        // a lit fireplace is where a respawn wakes
constexpr uint8_t kHostileFaction = 4;
constexpr int kFightHeartsPerLevel = 5;        // maximum half hearts worth one more level
constexpr float kExitFadePerBorderTile = 0.4f; // walk-out fade seconds per tile of border height
constexpr float kMinExitFade = 1.0f;
constexpr float kMaxExitFade = 2.0f;
constexpr int kBrutal = 2;
constexpr int kArrivalStepBack = -2;           // tiles from a link's far edge back to the arrival tile
constexpr float kNewGamePlusSeconds = 3.0f;
constexpr uint8_t kDressKind = 48;
constexpr uint8_t kPauseMapAction = 4;         // held with the pause key: open the world map
constexpr uint32_t kRespawnAtStart = 1;        // respawn level that wakes at the save point
constexpr uint32_t kRespawnAtHome = 2;         // respawn level that wakes at home
constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;
constexpr uint8_t kGroupValueCount = 255;   // group values a map can enable (1 to 255)

const char *kNewGamePlusText = "Somehow, after Vozaduzurizaz was defeated, the enemies all grew in strength.";

}

TalvexGameScene::TalvexGameScene()
{
	// The overlay stack is driven by hand, not listed by the scene.
	overlayStack.lifeState = kLifeAdded;
	map.SetSequenceMaker(MapSequence::Create);
	map.SetScriptWorld(&scriptWorld);
}

TalvexGameScene::~TalvexGameScene()
{
	if (started != 0) {
		EndActiveSequence();
		ActorRegistry::Clear();
		Party::Instance().Clear();
	}
	// The player's pointers lead into the map, which goes after it.
	player.ForgetMapObjects();
	if (Party::Instance().GetLeader() == &player)
		Party::Instance().SetLeader(nullptr);
	pauseMenu.SetDoneHandler(nullptr);
}

// --- Small rules -------------------------------------------------------------

uint16_t TalvexGameScene::ChooseStartMap()
{
	uint16_t mapId;
	if (GameProgress::RespawnLevel() == (int)kRespawnAtStart)
		mapId = GameProgress::StartMap();
	else if (GameProgress::RespawnLevel() == (int)kRespawnAtHome)
		mapId = 0;
	else
		mapId = GameProgress::Current().currentMap;
	uint16_t pending = GameProgress::PendingValue();
	if (pending != 0) {
		mapId = pending;
		GameProgress::SetPendingValue(0);
	}
	return mapId;
}

float TalvexGameScene::DirectionAngle(uint32_t direction)
{
	switch (direction) {
	case 2:
		return kHalfPi;
	case 3:
		return kPi;
	case 4:
		return -kHalfPi;
	default:
		return 0.0f;
	}
}

uint32_t TalvexGameScene::OppositeDirection(uint32_t direction)
{
	switch (direction) {
	case 1:
		return 3;
	case 3:
		return 1;
	case 2:
		return 4;
	case 4:
		return 2;
	default:
		return 0;
	}
}

void TalvexGameScene::StepTile(uint32_t direction, int16_t &x, int16_t &y, int n)
{
	x = (int16_t)(x + n * DirectionStepX((uint8_t)direction));
	y = (int16_t)(y + n * DirectionStepY((uint8_t)direction));
}

int TalvexGameScene::FightContribution(uint32_t kind, uint8_t faction, bool active, uint8_t maxHalves, float distance)
{
	if (!IsEnemyKind(kind) || !active || (faction & kHostileFaction) == 0 || distance >= kFightRange)
		return 0;
	return 1 + maxHalves / kFightHeartsPerLevel;
}

uint16_t TalvexGameScene::NextFightLevel(uint16_t current, int worked)
{
	int level = std::min(worked, kMaxFightLevel);
	if (level > current)
		return (uint16_t)level;
	if (level <= 0)
		return 0;
	return current; // a lower level keeps the music that plays
}

// --- Set-up --------------------------------------------------------------------

void TalvexGameScene::SetInput(Input *source)
{
	input = source;
	player.SetInput(source);
	hud.SetInput(source);
	pauseMenu.SetInput(source);
}

const Input &TalvexGameScene::Controls() const
{
	return input != nullptr ? *input : *Input::Get();
}

void TalvexGameScene::Start()
{
	started = 1;
	cameraRig.Attach(&camera, &player, &map);
	map.SetEntityFactory(&factory);
	AddEntity(&map);
	AddEntity(&player);
	AddEntity(&hud);
	overlayStack.AddEntity(&pauseMenu);
	srand(0);
	player.LinkToMap(&map, nullptr);
	player.transform.position = kFirstPlayerPosition;
	LoadStartMap(ChooseStartMap());
	Achievements::Instance().SyncFromFlags();
}

void TalvexGameScene::LoadStartMap(uint16_t mapId)
{
	std::string path = mapId != 0 ? FindMapFileByHash(mapId) : std::string();
	if (path.empty())
		path = kDefaultStartMap;
	startMapPending = mapId == GameProgress::StartMap() ? 1 : 0;
	map.Load(path.c_str(), 0, this);
	if (map.GetLoadState().phase == kPhaseAborted)
		Log("Couldn't load the start map %s\n", path.c_str());

	PlayerStats stats;
	GameProgress::PlayerStats(stats);
	stats.maxHearts = std::max(stats.maxHearts, kMinStartHalves);
	stats.hearts = stats.maxHearts;
	player.GetStats() = stats;
	pauseMenu.SetDoneHandler(nullptr);
	overlayOpen = 0;
}

bool TalvexGameScene::IsMapLoading() const
{
	uint32_t phase = map.GetLoadState().phase;
	return phase >= kPhaseUnload && phase <= kPhaseSequences;
}

// --- The frame -------------------------------------------------------------------

void TalvexGameScene::SetFade(float angle, float amount)
{
	if (Renderer *renderer = GetRenderer())
		renderer->SetFade(angle, amount);
}

void TalvexGameScene::Update(float dt)
{
	Renderer *renderer = GetRenderer();
	if (IsMapLoading()) {
		if (renderer != nullptr)
			renderer->SkipNextPresent();
		map.Step();
		if (map.GetLoadState().phase == kPhaseAborted)
			RecoverFromFailedLoad();
		return;
	}
	if (hud.IsTimerActive()) {
		hud.Tick(dt);
		SetFade(fadeAngle, 1.0f);
		lookPreparer.Step(*this);
		return;
	}

	sinceLoad += dt;
	if (sinceLoad <= kFadeWatchSeconds)
		SetFade(fadeAngle, std::clamp(1.0f - sinceLoad / kFadeInSeconds, 0.0f, 1.0f));

	if (overlayOpen != 0 && overlayStack.Top() == nullptr)
		overlayOpen = 0;

	if (overlayOpen == 0) {
		Scene::Update(dt);
		if (state != kSceneActive)
			return; // play asked for another scene
		UpdateActiveSequence();
		if (state != kSceneActive)
			return;
		if (Controls().IsSkipPressed() && !hud.IsTimerActive()) {
			overlayOpen = 1;
			if (pauseMenu.container != &overlayStack) {
				overlayStack.Clear();
				overlayStack.AddEntity(&pauseMenu);
			}
			pauseMenu.Open();
			ScreenOverlay *overlay = ScreenOverlay::Instance();
			if (overlay != nullptr && overlay->IsPopupShowing())
				pauseMenu.ShowQuests();
			else if (Controls().IsActionPressed(kPauseMapAction))
				pauseMenu.ShowWorldMap();
			pauseMenu.SetDoneHandler(this);
		}
	}
	hud.SetVisible(overlayOpen == 0);
	if (overlayOpen != 0)
		overlayStack.Tick(dt);

	cameraRig.Update(dt);
	camera.Update(dt);
	collisions.Check(this);
	if (state != kSceneActive)
		return;

	UpdateFightMusic();
	MusicPlayer::Instance()->Update(dt);
	UpdateMapChange(dt);
}

void TalvexGameScene::UpdateFightMusic()
{
	int living = CountLivingActors();
	if (!(living > fightActorCount || (fightLevel > 0 && living == 0)))
		return;
	fightActorCount = (uint8_t)std::min(living, 255);
	int level = 0;
	for (uint16_t i = 0; i < GetEntityCount(); i++) {
		Actor *actor = dynamic_cast<Actor *>(GetEntityAt(i));
		if (actor == nullptr || actor == &player)
			continue;
		float distance = glm::length(actor->transform.position - player.transform.position);
		level += FightContribution(actor->GetKind(), actor->GetFaction(), actor->lifeState < kLifePaused,
			actor->GetStats().maxHearts, distance);
	}
	uint16_t next = NextFightLevel(fightLevel, level);
	if (next > fightLevel) {
		// "fight1" or "fight2": the level is one digit.
		char cue[8] = "fight0";
		cue[5] = static_cast<char>('0' + next);
		MusicPlayer::Instance()->PlayOverlayCue(MusicPlayer::Instance()->FindCue(cue));
	} else if (next == 0 && fightLevel > 0)
		MusicPlayer::Instance()->EndOverlayCue();
	fightLevel = next;
}

void TalvexGameScene::UpdateMapChange(float dt)
{
	if (!player.HasExitTarget())
		return;
	if (exitFadeTime < exitFadeDuration && player.GetWalkOutDirection() != 0) {
		exitFadeTime += dt;
		SetFade(DirectionAngle(player.GetWalkOutDirection()), std::min(exitFadeTime / exitFadeDuration, 1.0f));
		return;
	}
	exitFadeTime = 0.0f;
	char target[Player::kExitTargetChars + 1];
	snprintf(target, sizeof(target), "%s", player.ExitTarget());
	player.ClearExitTarget();
	if (strcmp(target, map.GetMapData().GetMapName()) == 0)
		return;
	player.ResetState();

	TalvexGame &game = TalvexGame::Current();
	if (strcmp(target, "end_north") == 0) {
		if (player.GetStats().heldKind == kDressKind) {
			game.ShowWinAlt("Walked North,\nConfidently.", 2);
			Missions::Complete("end_lady");
		} else {
			game.ShowWinAlt("Walked North.\nWorld Ended.", 1);
			Missions::Complete("end_north");
		}
		return;
	}
	if (strcmp(target, "end_hole") == 0) {
		game.ShowWinAlt("Wrong Hole!", 3);
		Missions::Complete("end_hole");
		return;
	}
	LoadExitMap(BuildMapPath(target).c_str());
}

void TalvexGameScene::LoadExitMap(const char *path)
{
	reloadPosition = player.transform.position;
	map.Load(path, 0, this);
	if (Renderer *renderer = GetRenderer())
		renderer->SkipNextPresent();
	if (map.GetLoadState().phase == kPhaseAborted)
		RecoverFromFailedLoad();
}

void TalvexGameScene::RecoverFromFailedLoad()
{
	Log("Couldn't change to map %s; play goes on\n", map.GetLoadState().name);
	player.StopWalkingOut();
	SetFade(fadeAngle, 0.0f);
	exitFadeTime = 0.0f;
	if (map.GetMapData().width != 0 && map.GetMapData().height != 0) {
		// The old map is still there: the player steps back onto it.
		KeepPlayerInside();
		return;
	}
	if (reloadingOldMap != 0 || loadedAs[0] == '\0') {
		Log("Couldn't load %s again either\n", loadedAs);
		reloadingOldMap = 0;
		return;
	}
	// The old map was cleared before the new one failed: load it again.
	reloadingOldMap = 1;
	map.Load(BuildMapPath(loadedAs).c_str(), 0, this);
	if (map.GetLoadState().phase == kPhaseAborted)
		RecoverFromFailedLoad();
}

void TalvexGameScene::KeepPlayerInside()
{
	int16_t x = 0;
	int16_t y = 0;
	map.WorldToTile(player.transform.position, x, y);
	if (map.IsInMap(x, y, 0)) {
		player.StopWalkingOut();
		return;
	}
	map.ClampTile(x, y);
	player.SetPosition(map.TilePosition(x, y, 0.5f, 0.5f));
	player.StopWalkingOut();
}

// --- Rendering and leaving ---------------------------------------------------------

void TalvexGameScene::Render()
{
	Renderer *renderer = GetRenderer();
	if (renderer != nullptr)
		renderer->SetRenderMode(0);
	if (hud.IsTimerActive()) {
		if (renderer != nullptr) {
			renderer->SetDrawBuffer(0);
			lookPreparer.Draw(map);
			renderer->SetDrawBuffer(1);
		}
		hud.Render();
	} else {
		if (renderer != nullptr)
			renderer->SetDrawBuffer(0);
		Scene::Render();
	}
	if (overlayOpen != 0) {
		if (renderer != nullptr)
			renderer->SetDrawBuffer(1);
		overlayStack.Render();
	}
}

void TalvexGameScene::Leave(Scene *next)
{
	(void)next;
	EndActiveSequence();
	ActorRegistry::Clear();
	Party::Instance().Clear();
}

// --- Overlay -------------------------------------------------------------------------

void TalvexGameScene::OnDone()
{
	if (overlayOpen == 0)
		return;
	overlayOpen = 0;
	pauseMenu.SetDoneHandler(nullptr);
	hud.RefreshShotMap();
}

void TalvexGameScene::SetOverlayUI(Entity *ui)
{
	overlayStack.Clear();
	if (ui != nullptr) {
		overlayStack.AddEntity(ui);
		overlayOpen = 1;
		return;
	}
	overlayStack.AddEntity(&pauseMenu);
	overlayOpen = 0;
}

// --- Map unload and load ---------------------------------------------------------------

void TalvexGameScene::StoreGroups(uint8_t state[]) const
{
	memset(state, 0, kMapStateSize);
	size_t used = 0;
	for (int group = 1; group <= kGroupValueCount && used < (size_t)kMapStateSize; group++)
		if (map.IsGroupEnabled((uint8_t)group))
			state[used++] = (uint8_t)group;
}

void TalvexGameScene::ApplyGroups(const uint8_t state[])
{
	bool wanted[kGroupValueCount + 1] = {};
	for (int i = 0; i < kMapStateSize; i++)
		wanted[state[i]] = true;
	for (int group = 1; group <= kGroupValueCount; group++)
		map.SetGroupFlag((uint8_t)group, wanted[group]);
}

void TalvexGameScene::OnMapUnload()
{
	const char *mapName = map.GetMapData().GetMapName();
	if (mapName == nullptr || mapName[0] == '\0')
		return;
	LogDebug("Unloading map %s\n", mapName);
	uint8_t state[kMapStateSize];
	StoreGroups(state);
	GameProgress::StoreMapState(mapName, state);
	GameProgress::SetPlaySeconds(TalvexGame::Current().PlayTimeMs() / 1000);

	LogDebug("Saving position\n");
	const char *arrivalName = mapName;
	MapObjectDef *under = map.FindObjectAt(player.transform.position);
	const MapCommand *enter = map.FindLinkedOfKind(under, kCmdEnter);
	const std::vector<MapName> &strings = map.GetMapData().strings;
	if (enter != nullptr && enter->value < strings.size() && strings[enter->value].Get() != nullptr)
		arrivalName = strings[enter->value].Get();
	GameProgress::SetPreviousMap(arrivalName);
	sinceLoad = 0.0f;

	LogDebug("Saving inventory\n");
	GameProgress::StorePlayerStats(player.GetStats());
	GameProgress::SetSpawnBytes(player.GetExitSpanX(), player.GetExitSpanY());

	// Nothing may keep pointing into the map or its entities once it clears.
	player.ForgetMapObjects();
	Party::Instance().Clear();
	LogDebug("Unloading attacks\n");
	ActorRegistry::Clear();
	LogDebug("Unloading FX\n");
	DeactivateAllFX();
	LogDebug("Unloading sequence\n");
	EndActiveSequence();
}

Vec3 TalvexGameScene::ArrivalPoint(uint32_t &direction, bool &doorArrival)
{
	const TileMapData &data = map.GetMapData();
	const Vec3 topMiddle = map.TilePosition((int16_t)(data.width / 2), 0, 0.5f, 0.5f);
	direction = 3;
	doorArrival = false;
	if (reloadingOldMap != 0) {
		direction = 0;
		Vec3 back = reloadPosition;
		int16_t x = 0;
		int16_t y = 0;
		map.WorldToTile(back, x, y);
		map.ClampTile(x, y);
		return map.TilePosition(x, y, 0.5f, 0.5f);
	}
	if (startMapPending != 0) {
		direction = 0;
		for (const MapObjectDef &record : data.entityRecords)
			if (MapEntityKindFromType(record.type) == kFireplaceKind && Entity::IsAlive(record.entity))
				return map.TilePosition((int16_t)record.x, (int16_t)record.y, 0.5f, 0.5f);
		return topMiddle;
	}

	uint8_t spanX = 0;
	uint8_t spanY = 0;
	GameProgress::SpawnBytes(spanX, spanY);
	MapObjectDef *link = map.FindObjectByKey(GameProgress::Current().previousMap);
	if (link != nullptr) {
		const MapCommand *dir = map.FindLinkedOfKind(link, kCmdDir);
		const int cx = (int16_t)link->x + link->w / 2;
		const int cy = (int16_t)link->y + link->h / 2;
		if (dir != nullptr && dir->value >= 1 && dir->value <= 4)
			direction = dir->value;
		else if (cx < 1)
			direction = 2;
		else if (cx > data.width - 2)
			direction = 4;
		else if (cy < 1)
			direction = 3;
		else if (cy > data.height - 2)
			direction = 1;
		Vec3 toward = direction != 0 ? DirectionToVector(direction) : player.facing;
		int16_t x = 0;
		int16_t y = 0;
		map.ObjectEdgeTile(*link, toward, x, y);
		if (direction == 1 || direction == 3)
			x = (int16_t)((int16_t)link->x + spanX);
		else if (direction == 2 || direction == 4)
			y = (int16_t)((int16_t)link->y + spanY);
		StepTile(direction, x, y, kArrivalStepBack);
		MapRect rect;
		rect.x0 = (int16_t)link->x;
		rect.y0 = (int16_t)link->y;
		rect.width = link->w;
		rect.height = link->h;
		ClampToMapRect(rect, x, y);
		return map.TilePosition(x, y, 0.5f, 0.5f);
	}

	const MapObjectDef *door = loadedAs[0] != '\0' ? map.FindEntityRecordByKey(HashName(loadedAs)) : nullptr;
	if (door != nullptr) {
		doorArrival = true;
		return map.TilePosition((int16_t)(door->x + 1), (int16_t)(door->y + 1), 0.0f, 0.5f);
	}
	uint32_t walkOut = player.GetWalkOutDirection();
	if (walkOut != 0) {
		const MapObjectDef *toward = map.FindEntityRecordToward((uint8_t)OppositeDirection(walkOut));
		if (toward != nullptr) {
			direction = walkOut;
			return map.TilePosition((int16_t)toward->x, (int16_t)toward->y, 0.5f, 0.5f);
		}
	}
	return topMiddle;
}

void TalvexGameScene::OnMapLoaded(const char *name)
{
	LogDebug("Loaded map %s\n", name != nullptr ? name : "");
	lookPreparer.Restart();
	TalvexGame &game = TalvexGame::Current();
	game.ApplySettings();
	const TileMapData &data = map.GetMapData();
	GameProgress::SetCurrentMap(data.GetMapName());
	GameProgress::SaveCurrentSlot();
	uint8_t state[kMapStateSize];
	StoreGroups(state);
	GameProgress::FetchMapState(data.GetMapName(), state);
	ApplyGroups(state);
	game.SetTimerPaused(0);
	sinceLoad = 0.0f;

	uint32_t direction = 3;
	bool doorArrival = false;
	Vec3 spawn = ArrivalPoint(direction, doorArrival);
	reloadingOldMap = 0;
	player.Setup(spawn, direction);
	if (doorArrival)
		player.SetFreezeTimer(kDoorFreezeSeconds);

	snprintf(loadedAs, sizeof(loadedAs), "%s", data.GetMapName());
	LogDebug("Loaded map as %s\n", loadedAs);

	cameraRig.Attach(&camera, &player, &map);
	fadeAngle = DirectionAngle(direction) + kPi;
	SetFade(fadeAngle, 1.0f);

	Party::Instance().SetLeader(&player);
	Party::Instance().RestoreMembers(&map);

	MusicPlayer *music = MusicPlayer::Instance();
	const char *cue = data.music.Get();
	if (cue == nullptr || cue[0] == '\0' || !music->PlayCueByName(cue))
		music->PlayForArea(data.environmentId, [](uint16_t flagId) { return GameProgress::FlagId(flagId); });

	if (Renderer *renderer = GetRenderer())
		renderer->SkipNextPresent();
	startMapPending = 0;

	exitFadeDuration = std::clamp((float)data.border * kExitFadePerBorderTile, kMinExitFade, kMaxExitFade);
	if (GameProgress::Difficulty() >= kBrutal)
		exitFadeDuration = kBrutalExitFadeSeconds;
	hud.RefreshShotMap();

	const char *title = data.title.Get();
	if (title != nullptr && title[0] != '\0') {
		uint16_t seen = (uint16_t)(HashName(loadedAs) + HashName("TITLE"));
		if (!GameProgress::FlagId(seen)) {
			GameProgress::SetFlagId(seen, 1);
			hud.ShowBanner(title);
		}
	}
	if (GameProgress::Flag("ending") && !GameProgress::Flag("newgame+")) {
		GameProgress::SetFlag("newgame+", 1);
		hud.ShowMessage(kNewGamePlusText, kNewGamePlusSeconds, GameUI::kKindMessage);
	}
}
