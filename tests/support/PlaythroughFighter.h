#pragma once
// One fight of the playthrough driver, fought as a careful player fights:
// with the arrows, strike and roll keys alone (a roll standing still is a
// block), never more than what a player sees on screen to choose the next
// key: where the foes stand, which way they face, whether one is winding up
// a blow or running a charge, whether the last hit still staggers it. It
// closes in and strikes while the foe can be hurt, strikes the one whose blow
// or charge is coming when its own swing lands first, else blocks it (a block
// needs no rest, so it blocks again as one runs out, and holds one ready as
// a knock-back ends), strikes off or blocks a foe that presses against it,
// and goes round onto the level of a small foe below a step, which its blow
// passes over. A blob's touch takes the sword through a block or a swing:
// before its run the hero backs off out of the run's length (never beside
// another blob), and once it runs steps across its line or meets it with a
// blow that lands first. When one more blow would end the hero it falls back
// to a fire on the map to put it out and light it again (which heals), else
// keeps its distance for a while, then plans again. It changes nothing in
// the game but the keys it presses.
#include "engine/core/MathUtil.h"

#include "support/TilePathFinder.h"

#include <cstdint>
#include <string>
#include <vector>

class AIAttackChargeBehaviour;
class Actor;
class Entity;
class PlaythroughDriver;
struct MapObjectDef;

// What one fight took, for the tests that report it.
struct FightReport {
	int frames = 0;     // from the first key to the foe's fall
	int heartsLost = 0; // half hearts
	int fallbacks = 0;  // times the hero fell back to heal or to catch its breath
	bool disarmed = false; // the fight stopped because the hero's weapon was taken (a blob's touch)
};

class PlaythroughFighter {
public:
	// The driver plays the frames; record is the foe's entity record on the
	// current map; what names it in failure messages.
	PlaythroughFighter(PlaythroughDriver &play, MapObjectDef &record, std::string what);

	// Fights until the foe falls, or until the weapon the hero began with is
	// taken (the report says disarmed: the caller fetches another); fails the
	// play after seconds.
	FightReport Fight(float seconds);
	// While the fight walks on its own (to a fire): keeps off a coming blow
	// or charge, or strikes off a foe pressing against the hero, for one
	// frame; false when nothing threatens (the walk goes on).
	bool Defend();

private:
	// A blow or charge a foe has begun, as its pose shows it.
	struct Threat {
		const Actor *foe = nullptr;
		bool charge = false;
		float reach = 0.0f;   // world units from the foe that the blow or charge covers
		float landsIn = 0.0f; // seconds until a blow lands
		Vec3 way;             // a charge's way, flat and normalised
	};

	// Frames since the fight began.
	int Played() const;
	bool FoeHasFallen() const;
	// The foe as an actor; null for a foe of another class.
	const Actor *FoeActor() const;
	// The most pressing threat to the hero among the living hostile actors
	// of the map; none: a threat without a foe.
	Threat PressingThreat() const;
	Threat ThreatOf(const Actor &actor) const;
	// The living hostile actors of the map.
	std::vector<const Actor *> HostileActors() const;
	// The actor's charge, while it is attacking with one; else null.
	static const AIAttackChargeBehaviour *ChargeUnderWay(const Actor &actor);
	// A foe other than a blob pressing against the hero is struck off, or
	// blocked while it cannot be struck; false when none presses.
	bool FendOff();
	// A blob: its touch takes the sword, a block or not.
	static bool TakesTheSword(const Actor &actor);
	// A hostile actor close enough to touch the hero (a touch hurts).
	const Actor *Touching() const;
	// Hero to foe, centre to centre, where the sword meets it.
	float StrikeReach(const Entity &target) const;
	// A blow of a hero whose feet are at that height meets the foe's body
	// (it passes over a small foe below a step).
	static bool Sweeps(float feet, const Entity &target);
	bool OnLevelWith(const Entity &target) const;
	// Within the sword's sweep: near enough and on the hero's level.
	bool InReach(const Entity &target) const;
	// The foe can be hurt now: not staggering from the last hit.
	bool IsOpen(const Entity &target) const;
	// One more blow of the foe would end the hero.
	bool IsLow() const;

	// The map's ground for the fight's own steps toward the target: the
	// tiles round any other blob are kept off.
	TilePathFinder GroundFinder(const Entity *target) const;

	// The moves, each playing one frame or a short run of them.
	// One frame along the arrow way nearest the wish (or one up to widest
	// eighths of a turn beside it where the ground ends); false when none
	// can be walked.
	bool WalkAlong(const Vec3 &way, int widest = 2);
	// The hero faces it, as near as the arrows point.
	bool Faces(const Entity &target) const;
	void StrikeAt(const Entity &target);
	// Presses roll: a roll while moving, a block standing still; both keep
	// blows off for a moment.
	void Guard();
	// A blob near enough to reach the hero that is about to run at him or
	// running (its touch takes the sword, through a block or a swing).
	const Actor *ChargingBlob() const;
	// Backs off out of its coming run, or steps across the run's line.
	void Evade(const Actor &blob);
	// Walks up to the foe (or away from it) until the distance is right.
	void KeepAt(float distance);
	// Walks to a fire of the map and uses it until the hero's hearts are
	// full; false when there is none within reach.
	bool HealAtFire();
	void CatchBreath();

	PlaythroughDriver &play;
	MapObjectDef &record;
	Entity *foe;
	std::string what;
	FightReport report;
	uint64_t firstFrame = 0;
	int lastHearts = 0;
	int hardestBlow = 0; // half hearts, the most one blow of this fight took
	int breathUntil = 0; // frames of the fight: keeping away until then
	int nextBreath = 0;  // and not again before this
	// The way to a far foe, planned again now and then.
	std::vector<PathTile> path;
	size_t next = 0;
	int sincePlan = 0;
	bool offLevel = false; // no way leads onto the foe's level
};
