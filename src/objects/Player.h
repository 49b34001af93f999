#pragma once

#include "engine/core/MathUtil.h"
#include "engine/core/NamePool.h"
#include "objects/Actor.h"
#include "objects/PlayerObjectActions.h"
#include "objects/PlayerTile.h"
#include "objects/SafeGround.h"

#include <cstdint>

class Input;
struct MapObjectDef;

// The hero: the one actor that reads the controls. It turns input into
// walking, strikes and rolls, answers messages and script questions, runs
// the scripts of the areas it walks into, walks itself out of a map through
// its links and edges and in again on the next, keeps track of safe ground
// to come back to after a fall into water or lava, counts its chain of hits,
// and dies through the game's death screen.
//
// The in-game scene owns the one player for the whole game and re-places it
// on every map with Setup. The player owns nothing beyond its actor parts;
// its area, use-target and prompt pointers lead into the map's object list
// and are dropped (ForgetMapObjects) before the map frees them. Everything
// it asks of the game around it (HUD, flags, the save slot, the death
// screen) goes through GameLink.
//
// Its parts with names of their own live beside it and work on the state
// below: PlayerInput (the input step), PlayerAreas (areas, links and use),
// PlayerDeath (falls and dying), PlayerObjectActions and PlayerPushing.
class Player : public Actor {
	// Takes pickups, opens doors, hides in cupboards: works on the state below.
	friend class PlayerObjectActions;
	friend class PlayerInput;
	friend class PlayerAreas;
	friend class PlayerDeath;

public:
	static constexpr uint32_t kPlayerKind = 1;
	// The seven chain sounds; the n-th hit of a chain plays the n-th.
	static constexpr uint8_t kChainSoundCount = 7;
	// Hits that make a full chain: the last one gives a heart and starts over.
	static constexpr uint8_t kChainReward = 8;
	static constexpr size_t kExitTargetChars = 16; // a whole map name, terminator apart

	Player();
	~Player() override;

	// --- Entity and map entity hooks ---
	void Start() override;
	void Update(float dt) override;
	void OnCollide(Entity *other) override;
	void SetPosition(const Vec3 &position) override;
	void UpdateTransform() override;
	// Being struck; refused below ground level.
	bool Strike(MapEntity *attacker, uint8_t damage, float power) override;
	void OnBlocked(const Vec3 &direction) override;
	void GetDesiredMove(Vec3 &out, float dt) override;
	// Fell below the world: loses hearts and comes back on safe ground, or
	// dies.
	void Kill() override;
	void Splash() override;

	// --- Actor hooks ---
	void LoadModel() override;
	void AddLooks(std::vector<EntityLook> &looks) const override;
	void Hold(uint32_t kind, const char *name) override;
	void StartAttack() override;
	bool Attack(MapEntity *target, uint8_t damage, float power) override;
	void AddChain(uint8_t count) override;
	void StartRoll() override;
	void Defeat() override;
	// The death timer ran out: the death counts in the save slot, the death
	// screen follows.
	void Die() override;

	// --- What scripts ask of the hero ---
	// Names the map the hero walks out to ("map" lines). Keeps a whole
	// 16-character name; null, empty or the current map's own name clears it.
	void SetExitTarget(const char *name);

	// --- The scene's operations ---
	// Places the player at position on the current map; with a direction
	// (1 to 4) it then walks one tile in that way.
	void Setup(const Vec3 &position, uint32_t entryDirection);
	bool HasExitTarget() const { return exitTarget[0] != '\0'; }
	const char *ExitTarget() const { return exitTarget; }
	void ClearExitTarget() { exitTarget[0] = '\0'; }
	// Ends a walk out (a map that could not be loaded): the exit target is
	// cleared and the player has its controls again.
	void StopWalkingOut();
	uint32_t GetWalkOutDirection() const { return walkOutDirection; }
	uint8_t GetExitSpanX() const { return exitSpanX; }
	uint8_t GetExitSpanY() const { return exitSpanY; }
	void SetFreezeTimer(float seconds) { freezeTimer = seconds; }
	float GetFreezeTimer() const { return freezeTimer; }
	uint8_t GetChain() const { return chain; }
	// Drops every pointer into the map's objects and entities; the scene
	// calls it before the map frees them.
	void ForgetMapObjects();
	// The controls the player reads; null (the default) is the program's
	// input. Not owned.
	void SetInput(Input *source) { input = source; }

	// --- Use and areas ---
	// Starts the walk out through a link object.
	void EnterMapLink(MapObjectDef *object);
	// Acts on a map object: runs its script, once per spot.
	void Use(MapObjectDef *object);
	// Offers object for the use press, with a prompt.
	void ShowUsePrompt(const char *label, MapObjectDef *object);
	void ClearUseTarget() { useTarget = nullptr; }
	MapObjectDef *GetUseTarget() const { return useTarget; }
	MapObjectDef *GetCurrentArea() const { return currentArea; }
	MapObjectDef *GetLastArea() const { return lastArea; }
	bool IsWalkTargetReached() const;
	// Dying: the death timer, the death sound, the music stops.
	void BeginDeath();
	// Gets an item from a pickup or a script: hearts raise the maximum,
	// tools are taken in hand. Nothing when that kind is held already.
	void GainWeapon(uint32_t kind);

	// --- State read by the scene, the HUD and tests ---
	// The tile under the player, signed and unclamped; unset without a map.
	PlayerTile CurrentTile() const;
	PlayerTile GetSafeTile() const { return safeGround.Tile(); }
	PlayerTile GetPromptTile() const { return promptTile; }
	float GetActionCooldown() const { return actionCooldown; }
	float GetChainCooldown() const { return chainCooldown; }
	// The map's entity record of the pickup the held weapon came from; 0
	// none. Map object ids are 16-bit, so are these.
	uint16_t GetWeaponRecordId() const { return weaponRecordId; }
	void SetWeaponRecordId(uint16_t id) { weaponRecordId = id; }
	const Vec3 &GetMoveAxes() const { return moveAxes; }
	// The global count of strikes started, reset at Start; map entities take
	// its lowest bit as the side of their jolts.
	static uint32_t StrikeCount();

	// --- What other world objects answer (kind tests: ItemKinds) ---
	// Half hearts an entity deals to the player by touch: an actor's contact
	// damage, nothing for anything else.
	static uint8_t ContactDamage(const Entity *other)
	{
		return IsActor(other) ? static_cast<const Actor *>(other)->contactDamage : 0;
	}
	static bool IsCupboardOpen(const Entity *e) { return PlayerObjectActions::IsCupboardOpen(e); }
	static bool IsDoorLocked(const Entity *e) { return PlayerObjectActions::IsDoorLocked(e); }
	static bool IsDoorOpened(const Entity *e) { return PlayerObjectActions::IsDoorOpened(e); }
	static bool IsDoorFrozen(const Entity *e) { return PlayerObjectActions::IsDoorFrozen(e); }
	static bool IsObeliskDrained(const Entity *e) { return PlayerObjectActions::IsObeliskDrained(e); }

protected:
	// Every sound the player makes itself goes through here; flags as
	// Sound::Play. Tests listen in.
	virtual void PlayEffect(const char *fileName, float volume, uint16_t flags);

private:
	// The files of the hero's figure: the smith's (in the dress while he
	// holds it), or the chook's in the chook game.
	struct Figure {
		const char *model;
		const char *animations;
		float scale;
		const char *texture;
		const char *shader;
		bool chook;
	};
	Figure CurrentFigure() const;

	const Input &Controls() const;
	bool IsOriginalRules() const;
	// The action went down this frame.
	bool Pressed(uint8_t action) const;
	// Walks one tile in the entry direction after being placed.
	void StartWalkIn();
	// The collider and the wall probe of a freshly placed player.
	void MakeSolid();

	Vec3 moveAxes = Vec3(0.0f);    // x, y of the stick; z unused
	MapObjectDef *lastArea = nullptr;    // owned by the map
	MapObjectDef *currentArea = nullptr; // owned by the map
	MapObjectDef *useTarget = nullptr;   // owned by the map
	float sinceLastPress = 0.0f;
	PlayerTile promptTile;
	Vec3 areaEntryPosition = Vec3(0.0f);
	uint32_t entryDirection = 0;
	Entity *hideCupboard = nullptr;      // owned by the scene
	SafeGround safeGround;
	Vec3 lastUsePosition = Vec3(0.0f);
	float actionCooldown = 0.0f;
	float reholdTimer = 0.0f;
	uint8_t chain = 0;
	uint16_t weaponRecordId = 0;
	NamePool chainSounds;
	float chainCooldown = 0.0f;
	PlayerTile readTile;
	float freezeTimer = 0.0f;
	float sinceScript = 0.0f;
	char exitTarget[kExitTargetChars + 1] = {};
	uint8_t exitSpanX = 0;
	uint8_t exitSpanY = 0;
	uint32_t walkOutDirection = 0;
	uint16_t loadedModelKey = 0; // name hash of the mesh file now loaded
	Input *input = nullptr;      // not owned; null is the program's input
};
