#pragma once

#include "engine/core/Entity.h"
#include "engine/core/MathUtil.h"
#include "engine/core/NamePool.h"
#include "map/MapFiles.h"
#include "map/MapStr.h"
#include "map/TileMapData.h"

#include <glm/gtc/quaternion.hpp>

#include <cstdint>
#include <memory>
#include <vector>

class Shadow;
struct EntityLook;
class TileMap;
struct EnvironmentLayer;

// A tile position. Signed, so that a walker that steps off the map reads -1,
// -2 or width + 1 rather than a clamped edge tile.
struct Point16 {
	int16_t x = 0;
	int16_t y = 0;
};

// The base of everything that stands on the tile map: props, pickups, doors,
// townsfolk, creatures, the player and some effects. It gives them one small
// physics model (walking that eases toward a wanted velocity, falling,
// sliding on slippery ground, knock-back, stepping up at most a step height,
// sinking into water and lava), pushes against solid neighbours, hit and thud
// sounds guarded by a short hurt timer, a blob shadow, and links to the map
// and to the map object it was placed from. Subclasses change the defaults
// and override the hooks; every rule of motion the game relies on lives in
// Update.
//
// The entity owns its shadow and sound pools. It never owns its map nor its
// map object; the map object's back pointer to the entity is cleared when
// the entity is removed or destroyed, so the map never holds a dangling
// entity. The scene that lists a map entity owns it.
class MapEntity : public Entity {
public:
	static constexpr uint16_t kClassId = kMapEntityClassId; // answered by IsKind

	explicit MapEntity(uint32_t entityKind);
	~MapEntity() override;

	// --- Entity hooks ---
	// Starts hidden when the map object carries a "hide 1" line.
	void Init() override;
	// Gives a collider left in mode 0 the ignored mode and makes the current
	// placement home unless something placed the entity already.
	void Start() override;
	// The physics step; dt in seconds.
	void Update(float dt) override;
	// Draws the shadow; subclasses draw their model and call this.
	void Render() override;
	void NotifyRemoved() override;
	void Destroy() override;
	// Remembers which way a solid neighbour pushes; the next update uses it.
	void OnCollide(Entity *other) override;
	bool IsKind(uint16_t testKind) override;

	// --- Map entity hooks ---
	// Zeroes every velocity, the fall speed and the knock-back timer.
	virtual void ResetState();
	// Makes the position, with the current rotation, the home placement.
	virtual void SetPosition(const Vec3 &position);
	// Back to the home placement, at rest.
	virtual void UpdateTransform();
	// A blow: knocks the entity back; true when it took the blow. attacker
	// may be null (the ground itself hurt it).
	virtual bool Strike(MapEntity *attacker, uint8_t damage, float power);
	// Knock-back away from source (null: backward), jolted sideways.
	virtual void KnockBackFrom(Entity *source, float force);
	// Knock-back along direction; the entity turns to face the other way.
	virtual void KnockBack(const Vec3 &direction, float force);
	// The hit sound without damage or knock-back.
	virtual void Hurt(Entity *source);
	virtual void PlayHitSound(const Vec3 &direction);
	// Takes the entity off the map. A scene that lists it deletes it at the
	// end of its update; an entity that no scene lists stays with its holder.
	virtual void Remove();
	// Called in each update in which a rise higher than the step stops the
	// walk; direction is the walk's unit direction.
	virtual void OnBlocked(const Vec3 &direction) { (void)direction; }
	// The wanted walking velocity of this frame (units per second).
	virtual void GetDesiredMove(Vec3 &out, float dt);
	virtual void UpdateAnimation(float dt) { (void)dt; }
	// Deactivates the entity when it is killable.
	virtual void Kill();
	// The water or lava splash of falling in.
	virtual void Splash();
	// The surface under the entity is lava (its splash, and the hero's fall).
	bool IsOnLava() const;
	// True for a fighter of the hostile side that has not been defeated yet;
	// the map counts those before it opens its "enemies beaten" group. A
	// plain map entity never fights.
	virtual bool IsStillFighting() const { return false; }
	// Appends the models its start will show, so that a map's files can be
	// read into the caches before its entities start (while the map's title
	// shows). Changes nothing of the entity; a plain map entity shows none.
	virtual void AddLooks(std::vector<EntityLook> &looks) const { (void)looks; }

	// --- Operations ---
	// Makes the collider when there is none, then sets mode, size and offset.
	// A size shorter than 0.1 becomes a cube of the entity's diameter
	// standing on its feet.
	void CreateCollider(uint32_t mode, const Vec3 &size, const Vec3 &offset);
	// The bump of a prop: a thud, a small shake, a short hurt guard.
	void PlayThud();
	uint32_t GetKind() const { return entityKind; }
	// The map and the map object, as the map's entity phase hands them over;
	// the entity takes the object's name. A null object goes back to the
	// shared empty one (and the name is cleared).
	void LinkToMap(TileMap *tileMap, MapObjectDef *object);
	// The record of entities made outside the map; shared by all of them.
	static MapObjectDef &EmptyMapObject();

	// --- Fields (subclasses and the game read and set them directly) ---
	uint32_t entityKind;
	Vec3 homePosition = Vec3(0.0f);
	uint8_t placed = 0;
	glm::quat homeRotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
	Vec3 velocity = Vec3(0.0f);      // applied in the last update
	Vec3 moveVelocity = Vec3(0.0f);  // horizontal walk, eased toward the wanted move
	Vec3 slideVelocity = Vec3(0.0f); // gathered on slippery ground
	Vec3 facing = Vec3(0.0f);        // last wanted direction; toward the striker in knock-back
	Vec3 contactPush = Vec3(0.0f);   // toward a solid touched this frame; cleared each update
	uint8_t moving = 0;
	uint8_t grounded = 0;
	uint8_t splashed = 0;            // fell into water or lava and has not landed since
	float fallSpeed = 0.0f;          // units per second downward; negative while rising
	float groundHeight = 0.0f;
	float verticalFactor = 1.0f;     // 0: no vertical motion at all
	float accelerationRate = 1.0f;
	float decelerationRate = 0.3f;
	float stepHeight = 0.5f;         // the highest rise walked onto
	float waterFloor = -10.0f;       // ground height over water
	uint8_t followsGround = 1;
	uint8_t killable = 1;
	float knockBackTimer = 0.0f;     // seconds
	float knockBackSpeed = 0.0f;
	float knockBackRecovery = 1.0f;  // how fast the knock-back timer runs down
	Point16 tile;
	MapTile tileRecord;
	uint8_t surfaceLevel = 0;        // 7 is water
	const EnvironmentLayer *surface = nullptr; // owned by the environment table
	float shadowSize = 0.0f;         // no shadow up to 0.001
	std::unique_ptr<Shadow> shadow;
	float hurtTimer = 0.2f;          // seconds in which hits, thuds and splashes are ignored
	float volume = 1.0f;             // scale of the hit sound
	NamePool hitSounds;
	NamePool thudSounds;
	float wallCollision = 0.0f;      // non-zero: traced against tile walls
	MapObjectDef *mapObject;         // owned by the map, or the shared empty record
	float radius = 0.5f;
	TileMap *map = nullptr;          // not owned
	MapName name;                    // the map object's name

private:
	// Clears the map object's back pointer when it still points here.
	void UnlinkMapObject();
	// The direction of a hit from source, jolted sideways by the strike
	// counter's bit 0.
	Vec3 JoltedDirectionFrom(Entity *source) const;
	// The wall and slide probes of a move; may block it.
	void ProbeAhead(float &slip);
	void FollowGround(Vec3 &next, float dt);
};
