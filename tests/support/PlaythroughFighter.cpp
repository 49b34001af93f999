#include "support/PlaythroughFighter.h"

#include "engine/collision/Collider.h"
#include "engine/core/ActiveSequence.h"
#include "map/TileCode.h"
#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/Actor.h"
#include "objects/InteractBehaviour.h"
#include "objects/MapEntity.h"
#include "objects/Player.h"
#include "objects/PropSaveSwitch.h"
#include "support/PlaythroughDriver.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kFireplaceKind = 22;
constexpr uint32_t kBlobKind = 62;     // its touch takes the sword, block or not
constexpr float kPi = 3.14159265f;
constexpr float kBlowDelay = 0.1f;     // seconds from a swing's start to its blow (the strike effect's delay)
constexpr float kBlowLasts = 0.2f;     // seconds a blow stays out
constexpr float kGuardAgain = 4.0f / PlaythroughDriver::kFramesPerSecond; // a block this near its end is renewed (it starts a frame after the press)
constexpr float kGuardThrough = 0.3f;  // seconds of knock-back left from which a block is held ready
constexpr float kStillSpeedSquared = 0.25f; // slower than this a roll key blocks (the game's bound is 0.3)
constexpr float kSwingStarts = 1.5f / PlaythroughDriver::kFramesPerSecond; // a swing keeps blows off from the frame after the press
constexpr float kTurnSeconds = 3.0f / PlaythroughDriver::kFramesPerSecond; // a turn toward a foe, and still again
constexpr float kTouchMargin = 0.6f;   // world units beyond touching at which a foe counts as touching
constexpr float kChargeSlides = 0.3f;  // seconds a charger runs on after its charge
constexpr float kSwordReach = 1.9f;    // world units from the hero to the far side of its blow
constexpr float kSweepMiddle = 0.6f;   // world units above the hero's feet of the middle of a blow's box
constexpr float kSweepHalf = 0.65f;    // and half its edge (the sword's)
constexpr float kSafeMargin = 0.5f;    // world units kept beyond a foe's reach
constexpr float kHeld = 0.3f;          // world units either side of a wanted distance that count as there
constexpr float kFacingDot = 0.9f;     // the hero faces the foe (the arrows give eight ways)
constexpr float kThreatFacing = 0.3f;  // a foe turned further away than this swings past the hero
constexpr int kEvadeTurns = 3;          // eighths of a turn off straight away a blob is backed off from
constexpr size_t kEvadeTiles = 6;       // tiles of walking to ground out of a blob's run, at most
constexpr float kCounterFrom = 1.8f;   // world units from a running blob beyond which a blow lands before its touch
constexpr float kBlobRun = 5.0f;       // world units within which a blob's coming run is kept out of
constexpr float kChargeWidth = 1.3f;   // world units either side of a charge's line that it sweeps
constexpr float kNearFoe = 12.0f;      // world units within which another foe's moves are watched
constexpr float kFireReach = 40.0f;    // tiles of walking a fire may lie away and still be fallen back to
constexpr int kFaceTries = 24;         // five-frame presses toward a fire until it offers its use
constexpr int kAfterFall = 30;         // frames let pass after a foe's fall while nothing comes on
constexpr int kPlanFrames = 30;        // a far foe is planned toward again this often
constexpr int kBreathFrames = 3 * PlaythroughDriver::kFramesPerSecond; // frames of keeping away when low
constexpr int kBreathAgain = 12 * PlaythroughDriver::kFramesPerSecond; // no second breather this soon

Vec3 Flat(const Vec3 &v) { return Vec3(v.x, 0.0f, v.z); }

Vec3 FlatWay(const Vec3 &from, const Vec3 &to)
{
	const Vec3 d = Flat(to - from);
	const float length = std::hypot(d.x, d.z);
	return length > 1e-4f ? d / length : Vec3(0.0f, 0.0f, 1.0f);
}

// The arrow keys walk eight ways, numbered counter-clockwise from east (+x)
// in steps of 45 degrees.
constexpr int kArrowWays = 8;

int ArrowIndex(const Vec3 &way)
{
	const int index = static_cast<int>(std::lround(std::atan2(way.z, way.x) / (2.0f * kPi / kArrowWays)));
	return (index % kArrowWays + kArrowWays) % kArrowWays;
}

Vec3 ArrowVector(int index)
{
	static constexpr int kStepX[kArrowWays] = {1, 1, 0, -1, -1, -1, 0, 1};
	static constexpr int kStepZ[kArrowWays] = {0, 1, 1, 1, 0, -1, -1, -1};
	const int i = (index % kArrowWays + kArrowWays) % kArrowWays;
	return Vec3(static_cast<float>(kStepX[i]), 0.0f, static_cast<float>(kStepZ[i]));
}

// The nearest of the eight ways the arrow keys walk (not normalised: a
// diagonal is (1, 0, 1)).
Vec3 ArrowWay(const Vec3 &way) { return ArrowVector(ArrowIndex(way)); }

} // namespace

PlaythroughFighter::PlaythroughFighter(PlaythroughDriver &play, MapObjectDef &record, std::string what)
	: play(play), record(record), foe(record.entity), what(std::move(what))
{
}

bool PlaythroughFighter::FoeHasFallen() const
{
	if (record.entity != foe || !Entity::IsAlive(foe) || !foe->IsActive())
		return true;
	return IsActor(foe) && !static_cast<const Actor *>(foe)->HasHearts();
}

int PlaythroughFighter::Played() const
{
	return static_cast<int>(play.FramesPlayed() - firstFrame);
}

const Actor *PlaythroughFighter::FoeActor() const
{
	return IsActor(foe) ? static_cast<const Actor *>(foe) : nullptr;
}

FightReport PlaythroughFighter::Fight(float seconds)
{
	const int limit = static_cast<int>(seconds * PlaythroughDriver::kFramesPerSecond);
	// No other fight starts from this one's walks (to a fire); they are
	// guarded by this one.
	struct Running {
		PlaythroughFighter *&fight;
		PlaythroughFighter *before;
		Running(PlaythroughFighter *&fight, PlaythroughFighter *self) : fight(fight), before(fight) { fight = self; }
		~Running() { fight = before; }
	} running(play.fight, this);
	firstFrame = play.FramesPlayed();
	lastHearts = play.Hearts();
	const bool armed = play.HeldKind() != 0;
	while (Played() < limit) {
		if (armed && play.HeldKind() == 0) {
			report.frames = Played();
			report.disarmed = true;
			play.ReleaseMovement();
			return report;
		}
		if (FoeHasFallen()) {
			report.frames = Played();
			play.tally.beaten.push_back({play.MapName(), record.name.GetOr(""), MapEntityKindFromType(record.type)});
			play.ReleaseMovement();
			// A moment for its fall, cut short by the next one coming on.
			for (int frame = 0; frame < kAfterFall && PressingThreat().foe == nullptr && Touching() == nullptr; frame++)
				play.Step();
			return report;
		}
		if (play.MessageShown() || (IsSequenceRunning() && IsSequenceState2())) {
			play.ReleaseMovement();
			if (play.QuestionAsked())
				play.Fail("a question was asked (\"" + play.MessageText() + "\") in the fight with " + what);
			play.ReadPlainMessage();
			continue;
		}
		if (play.Hearts() < lastHearts) {
			report.heartsLost += lastHearts - play.Hearts();
			hardestBlow = std::max(hardestBlow, lastHearts - play.Hearts());
		}
		lastHearts = play.Hearts();
		const Player &hero = play.Hero();
		if (hero.recoilTimer > 0.0f) {
			// Staggered: no key does anything yet.
			play.ReleaseMovement();
			play.Step();
			continue;
		}
		if (hero.knockBackTimer > 0.0f) {
			// Knocked back: the arrows do nothing, but a block still takes
			// once the hero stops sliding. One held as the knock-back ends
			// keeps off the blow that would follow at once.
			if (hero.knockBackTimer / hero.knockBackRecovery <= kGuardThrough)
				Guard();
			else
				play.Step();
			continue;
		}
		if (IsLow() && HealAtFire())
			continue;
		if (const Actor *blob = ChargingBlob(); blob != nullptr) {
			// Neither a block nor a swing keeps a blob's touch off.
			Evade(*blob);
			continue;
		}
		if (const Threat threat = PressingThreat(); threat.foe != nullptr) {
			// A blow or a charge is coming, from the foe or another: strike
			// it when a block still keeps blows off until the swing does (a
			// swing keeps them off while it lasts) or before its blow lands;
			// else block (roll standing still, which needs no rest between)
			// and block again as the block runs out.
			const Actor *near = threat.foe;
			const bool covered = hero.busyTimer > kSwingStarts || (!threat.charge && threat.landsIn > kBlowDelay + kSwingStarts);
			const bool canStrike = IsOpen(*near) && hero.actionTimer <= 0.0f &&
				InReach(*near);
			// A turn leaves the hero open: only while a block still covers it.
			const bool turnable = hero.busyTimer > kGuardAgain + kTurnSeconds;
			if (Faces(*near) ? canStrike && covered : turnable && InReach(*near))
				StrikeAt(*near);
			else
				Guard();
			continue;
		}
		// (A blob is kept at the sword's length below, as the foe is.)
		if (FendOff())
			continue;
		if (IsLow() && (Played() < breathUntil || Played() >= nextBreath)) {
			// No fire to fall back to: keep away a while, then fight on.
			if (Played() >= breathUntil) {
				report.fallbacks++;
				breathUntil = Played() + kBreathFrames;
				nextBreath = Played() + kBreathAgain;
			}
			CatchBreath();
			continue;
		}
		if (IsOpen(*foe) && InReach(*foe)) {
			StrikeAt(*foe);
			continue;
		}
		// Not open yet: wait just beyond the reach of its blow; open: close in.
		const float reach = FoeActor() != nullptr ? ThreatOf(*FoeActor()).reach : 0.0f;
		KeepAt(IsOpen(*foe) || reach <= 0.0f ? StrikeReach(*foe) - kHeld : reach + kSafeMargin);
	}
	play.ReleaseMovement();
	const PathTile there = play.TileOf(*foe);
	play.Fail(what + " did not fall within " + std::to_string(static_cast<int>(seconds)) + " s; it stands at tile (" +
		std::to_string(there.x) + ", " + std::to_string(there.y) + ") with " +
		std::to_string(FoeActor() != nullptr ? FoeActor()->GetStats().hearts : 0) + " half hearts");
}

PlaythroughFighter::Threat PlaythroughFighter::ThreatOf(const Actor &actor) const
{
	Threat threat;
	const auto *brain = dynamic_cast<const AITargetingBehaviour *>(actor.GetCurrentBehaviour());
	if (brain == nullptr || !actor.HasHearts())
		return threat;
	const auto *attack = dynamic_cast<const InteractBehaviour *>(brain->GetSubBehaviour(AITargetingBehaviour::kStateAttack));
	if (attack == nullptr)
		return threat;
	threat.reach = attack->reach;
	if (brain->GetState() != AITargetingBehaviour::kStateAttack)
		return threat;
	const Vec3 to = FlatWay(actor.transform.position, play.Hero().transform.position);
	if (const auto *charge = dynamic_cast<const AIAttackChargeBehaviour *>(attack)) {
		// A charge runs straight; it winds up facing the hero.
		if (attack->active == InteractBehaviour::kPhaseWindUp) {
			threat.way = to;
		} else if (attack->active == InteractBehaviour::kPhaseFollow && attack->phaseTime < charge->chargeDuration + kChargeSlides) {
			threat.way = FlatWay(Vec3(0.0f), charge->chargeDirection);
		} else {
			return threat;
		}
		threat.foe = &actor;
		threat.charge = true;
		threat.reach = charge->chargeSpeed * charge->chargeDuration + charge->reach;
		return threat;
	}
	// A blow: winding up or just swung.
	const float facing = glm::dot(FlatWay(Vec3(0.0f), actor.transform.GetForward()), to);
	if (attack->active == InteractBehaviour::kPhaseWindUp)
		threat.landsIn = attack->windUp - attack->phaseTime + kBlowDelay;
	else if (attack->active == InteractBehaviour::kPhaseFollow && attack->phaseTime < kBlowDelay + kBlowLasts)
		threat.landsIn = std::fmax(0.0f, kBlowDelay - attack->phaseTime);
	else
		return threat;
	if (facing < kThreatFacing)
		return threat;
	threat.foe = &actor;
	return threat;
}

PlaythroughFighter::Threat PlaythroughFighter::PressingThreat() const
{
	const Vec3 at = play.Hero().transform.position;
	Threat pressing;
	for (const Actor *actor : HostileActors()) {
		if (FlatDistance(actor->transform.position, at) > kNearFoe)
			continue;
		// One below a step that a blow passes over is left to the walk
		// round onto its level.
		const Threat threat = ThreatOf(*actor);
		if (threat.foe == nullptr || !OnLevelWith(*actor))
			continue;
		const Vec3 from = actor->transform.position;
		if (threat.charge) {
			// In its way: ahead of it, within its run, near its line.
			const Vec3 d = Flat(at - from);
			const float along = glm::dot(d, threat.way);
			const float aside = std::fabs(d.x * threat.way.z - d.z * threat.way.x);
			if (along < -0.5f || along > threat.reach || aside > kChargeWidth)
				continue;
		} else if (FlatDistance(from, at) > threat.reach + kSafeMargin) {
			continue;
		}
		if (pressing.foe == nullptr || threat.landsIn < pressing.landsIn)
			pressing = threat;
	}
	return pressing;
}

std::vector<const Actor *> PlaythroughFighter::HostileActors() const
{
	std::vector<const Actor *> actors;
	TalvexGameScene &scene = play.Scene();
	for (uint16_t i = 0; i < scene.GetEntityCount(); i++) {
		Entity *entity = scene.GetEntityAt(i);
		if (IsLivingActor(entity) && entity->GetFaction() == kFactionHostile)
			actors.push_back(static_cast<const Actor *>(entity));
	}
	return actors;
}

const AIAttackChargeBehaviour *PlaythroughFighter::ChargeUnderWay(const Actor &actor)
{
	const auto *brain = dynamic_cast<const AITargetingBehaviour *>(actor.GetCurrentBehaviour());
	if (brain == nullptr || brain->GetState() != AITargetingBehaviour::kStateAttack)
		return nullptr;
	return dynamic_cast<const AIAttackChargeBehaviour *>(brain->GetSubBehaviour(AITargetingBehaviour::kStateAttack));
}

bool PlaythroughFighter::FendOff()
{
	// A touch hurts: strike it off, or block while it cannot be struck.
	const Actor *toucher = Touching();
	if (toucher == nullptr || TakesTheSword(*toucher))
		return false;
	if (IsOpen(*toucher))
		StrikeAt(*toucher);
	else
		Guard();
	return true;
}

bool PlaythroughFighter::TakesTheSword(const Actor &actor) { return actor.GetKind() == kBlobKind; }

const Actor *PlaythroughFighter::Touching() const
{
	const Player &hero = play.Hero();
	for (const Actor *actor : HostileActors())
		if (actor->contactDamage > 0 && OnLevelWith(*actor) && FlatDistance(actor->transform.position, hero.transform.position) <
				actor->radius + hero.radius + kTouchMargin)
			return actor;
	return nullptr;
}

bool PlaythroughFighter::Sweeps(float feet, const Entity &target)
{
	// The blow's box against the foe's body, in height.
	const float low = feet + kSweepMiddle - kSweepHalf;
	const float high = feet + kSweepMiddle + kSweepHalf;
	float bottom = target.transform.position.y;
	float top = bottom;
	if (const Collider *body = target.collider; body != nullptr) {
		bottom += body->offset.y - body->size.y * 0.5f;
		top += body->offset.y + body->size.y * 0.5f;
	}
	return top > low && bottom < high;
}

bool PlaythroughFighter::OnLevelWith(const Entity &target) const { return Sweeps(play.Hero().transform.position.y, target); }

bool PlaythroughFighter::InReach(const Entity &target) const
{
	return OnLevelWith(target) && FlatDistance(play.Hero().transform.position, target.transform.position) <= StrikeReach(target);
}

float PlaythroughFighter::StrikeReach(const Entity &target) const
{
	const auto *body = dynamic_cast<const MapEntity *>(&target);
	return kSwordReach + (body != nullptr ? body->radius : 0.0f);
}

bool PlaythroughFighter::IsOpen(const Entity &target) const
{
	if (!IsActor(&target))
		return true;
	const auto &actor = static_cast<const Actor &>(target);
	return actor.knockBackTimer <= 0.0f && actor.busyTimer <= 0.0f;
}

bool PlaythroughFighter::IsLow() const
{
	// The hardest blow taken in this fight counts too (foes hit harder on
	// the harder settings than their touch).
	const int blow = std::max(hardestBlow, FoeActor() != nullptr ? static_cast<int>(FoeActor()->contactDamage) : 1);
	return play.Hearts() <= blow && play.Hero().GetStats().maxHearts > blow;
}

bool PlaythroughFighter::Faces(const Entity &target) const
{
	const Player &hero = play.Hero();
	const Vec3 way = ArrowWay(FlatWay(hero.transform.position, target.transform.position));
	return glm::dot(FlatWay(Vec3(0.0f), hero.facing), FlatWay(Vec3(0.0f), way)) >= kFacingDot;
}

void PlaythroughFighter::StrikeAt(const Entity &target)
{
	const Player &hero = play.Hero();
	const Vec3 at = hero.transform.position;
	const Vec3 way = ArrowWay(FlatWay(at, target.transform.position));
	if (!Faces(target)) {
		// Turn to it: the arrows point the hero; one frame barely moves it.
		play.SteerTo(at.x + way.x * 4.0f, at.z + way.z * 4.0f, 0.0f);
		play.Step();
		return;
	}
	play.ReleaseMovement();
	if (hero.actionTimer > 0.0f) {
		play.Step();
		return;
	}
	play.Tap(SDL_SCANCODE_SPACE, 1);
}

TilePathFinder PlaythroughFighter::GroundFinder(const Entity *target) const
{
	// A blob's touch takes the sword: no step next to one, but the target.
	TilePathFinder finder = play.Finder(target, nullptr);
	for (const Actor *blob : HostileActors()) {
		if (blob == target || !TakesTheSword(*blob))
			continue;
		const PathTile at = play.TileOf(*blob);
		for (int dy = -1; dy <= 1; dy++)
			for (int dx = -1; dx <= 1; dx++)
				if (PathTile{at.x + dx, at.y + dy} != play.HeroTile())
					finder.Block({at.x + dx, at.y + dy});
	}
	return finder;
}

bool PlaythroughFighter::WalkAlong(const Vec3 &way, int widest)
{
	// The arrow way nearest the wish, else the ones beside it, onto ground
	// the hero can step to.
	const TilePathFinder finder = GroundFinder(foe);
	const PathTile here = play.HeroTile();
	const int wanted = ArrowIndex(way);
	for (int turn : {0, 1, -1, 2, -2, 3, -3}) {
		if (std::abs(turn) > widest)
			break;
		const Vec3 step = ArrowVector(wanted + turn);
		const PathTile next{here.x + static_cast<int>(step.x), here.y + static_cast<int>(step.z)};
		if (!finder.CanStep(here, next))
			continue;
		const Vec3 at = play.Hero().transform.position;
		play.SteerTo(at.x + step.x * 4.0f, at.z + step.z * 4.0f, 0.0f);
		play.Step();
		return true;
	}
	return false;
}

bool PlaythroughFighter::Defend()
{
	const Player &hero = play.Hero();
	if (hero.recoilTimer > 0.0f || hero.knockBackTimer > 0.0f)
		return false;
	if (const Actor *blob = ChargingBlob(); blob != nullptr) {
		Evade(*blob);
		return true;
	}
	if (FendOff())
		return true;
	if (PressingThreat().foe == nullptr)
		return false;
	Guard();
	return true;
}

const Actor *PlaythroughFighter::ChargingBlob() const
{
	const Vec3 at = play.Hero().transform.position;
	for (const Actor *blob : HostileActors()) {
		if (!TakesTheSword(*blob) || FlatDistance(blob->transform.position, at) > kBlobRun)
			continue;
		const auto *brain = dynamic_cast<const AITargetingBehaviour *>(blob->GetCurrentBehaviour());
		if (brain != nullptr && brain->GetState() == AITargetingBehaviour::kStatePreAttack)
			return blob;
		const AIAttackChargeBehaviour *charge = ChargeUnderWay(*blob);
		if (charge != nullptr && (charge->active == InteractBehaviour::kPhaseWindUp ||
			(charge->active == InteractBehaviour::kPhaseFollow && charge->phaseTime < charge->chargeDuration + kChargeSlides)))
			return blob;
	}
	return nullptr;
}

void PlaythroughFighter::Evade(const Actor &blob)
{
	// Before its run the blob aims at where the hero stands: back off out
	// of the run's length. Once running it holds its line: across it.
	const Vec3 at = play.Hero().transform.position;
	const Vec3 away = FlatWay(blob.transform.position, at);
	const AIAttackChargeBehaviour *charge = ChargeUnderWay(blob);
	const bool running = charge != nullptr && charge->active == InteractBehaviour::kPhaseFollow;
	if (running) {
		// A blow that lands before its touch knocks it off its line; else
		// across the line, never toward it; else face it for that blow.
		const float distance = FlatDistance(at, blob.transform.position);
		if (Faces(blob) && InReach(blob) && distance >= kCounterFrom && play.Hero().actionTimer <= 0.0f) {
			StrikeAt(blob);
			return;
		}
		const Vec3 way = FlatWay(Vec3(0.0f), charge->chargeDirection);
		const Vec3 d = Flat(at - blob.transform.position);
		const float side = d.x * way.z - d.z * way.x >= 0.0f ? 1.0f : -1.0f;
		const Vec3 across(way.z * side, 0.0f, -way.x * side);
		if (WalkAlong(across, 1) || WalkAlong(-across, 1) || WalkAlong(away))
			return;
		if (distance >= kCounterFrom) {
			StrikeAt(blob);
			return;
		}
	} else {
		// The nearest ground out of its run's length, walked to; where
		// none is near, straight away.
		TileMap &map = play.Scene().GetMap();
		const Vec3 from = blob.transform.position;
		const std::vector<PathTile> way = GroundFinder(&blob).Find(play.HeroTile(), [&](const PathTile &tile) {
			return FlatDistance(map.TilePosition(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y), 0.5f, 0.5f), from) >= kBlobRun;
		});
		if (way.size() > 1 && way.size() <= kEvadeTiles) {
			const Vec3 aim = map.TilePosition(static_cast<int16_t>(way[1].x), static_cast<int16_t>(way[1].y), 0.5f, 0.5f);
			play.SteerTo(aim.x, aim.z, 0.0f);
			play.Step();
			return;
		}
		if (WalkAlong(away, kEvadeTurns))
			return;
	}
	// Cornered: strike it, or brace.
	if (InReach(blob) && play.Hero().actionTimer <= 0.0f)
		StrikeAt(blob);
	else
		Guard();
}

void PlaythroughFighter::Guard()
{
	// Still: a roll key pressed while moving rolls (and rests between rolls).
	play.ReleaseMovement();
	const Player &hero = play.Hero();
	// A roll runs on past the blows it keeps off, and no block starts in it;
	// a hero still moving would roll: wait until still.
	const bool still = hero.rollTimer <= 0.0f && glm::dot(hero.moveVelocity, hero.moveVelocity) <= kStillSpeedSquared;
	if (hero.busyTimer > kGuardAgain || !still) {
		play.Step();
		return;
	}
	play.Tap(SDL_SCANCODE_LSHIFT, 0);
}

void PlaythroughFighter::KeepAt(float distance)
{
	const Vec3 at = play.Hero().transform.position;
	const Vec3 there = foe->transform.position;
	const float now = FlatDistance(at, there);
	// A foe on another level (below a step) is out of the sword's sweep
	// however near: the hero goes round onto its level.
	// (Where no way leads onto its level, the hero waits at the distance.)
	const bool level = OnLevelWith(*foe) || offLevel;
	if (std::fabs(now - distance) <= kHeld && level) {
		play.ReleaseMovement();
		play.Step();
		return;
	}
	// Too near: straight back, or a little aside where the ground ends.
	if (now < distance && level && WalkAlong(FlatWay(there, at)))
		return;
	// Too far: along a planned path to a tile at that distance, planned
	// again now and then as the foe moves.
	TileMap &map = play.Scene().GetMap();
	if (sincePlan++ >= kPlanFrames || next >= path.size()) {
		const PathTile target = play.TileOf(*foe);
		const auto within = [&](const PathTile &tile, bool onLevel) {
			const int16_t x = static_cast<int16_t>(tile.x);
			const int16_t y = static_cast<int16_t>(tile.y);
			return tile != target && FlatDistance(map.TilePosition(x, y, 0.5f, 0.5f), there) <= distance + kHeld &&
				(!onLevel || Sweeps(map.HeightAtTile(x, y, 0.5f, 0.5f), *foe));
		};
		const TilePathFinder finder = GroundFinder(foe);
		path = finder.Find(play.HeroTile(), [&](const PathTile &tile) { return within(tile, true); });
		offLevel = path.empty();
		if (offLevel)
			path = finder.Find(play.HeroTile(), [&](const PathTile &tile) { return within(tile, false); });
		next = path.size() > 1 ? 1 : path.size();
		sincePlan = 0;
	}
	if (next < path.size()) {
		const Vec3 aim = map.TilePosition(static_cast<int16_t>(path[next].x), static_cast<int16_t>(path[next].y), 0.5f, 0.5f);
		if (!play.SteerTo(aim.x, aim.z, 0.6f))
			next++;
	} else {
		play.SteerTo(there.x, there.z, distance);
	}
	play.Step();
}

bool PlaythroughFighter::HealAtFire()
{
	if (play.FiresLitByTouch())
		return false;
	MapObjectDef *fireRecord = play.EntityRecordOfKind(kFireplaceKind);
	auto *fire = fireRecord != nullptr ? dynamic_cast<PropSaveSwitch *>(fireRecord->entity) : nullptr;
	if (fire == nullptr)
		return false;
	// The free tiles straight beside the fire, nearest first, to face it
	// from: a fire does not answer from every side alike.
	const PathTile at = play.TileOf(*fire);
	std::vector<std::vector<PathTile>> ways;
	for (const PathTile &side : {PathTile{at.x, at.y + 1}, PathTile{at.x - 1, at.y}, PathTile{at.x + 1, at.y}, PathTile{at.x, at.y - 1}}) {
		std::vector<PathTile> way = play.Finder(fire, nullptr).Find(play.HeroTile(), [&](const PathTile &tile) { return tile == side; });
		if (!way.empty() && static_cast<float>(way.size()) <= kFireReach)
			ways.push_back(std::move(way));
	}
	std::sort(ways.begin(), ways.end(), [](const auto &a, const auto &b) { return a.size() < b.size(); });
	for (const std::vector<PathTile> &way : ways) {
		const PathTile by = way.back();
		const Vec3 facing = ArrowVector(ArrowIndex(Vec3(static_cast<float>(at.x - by.x), 0.0f, static_cast<float>(at.y - by.y))));
		play.WalkTo(by.x, by.y);
		for (int i = 0; i < kFaceTries && play.Hero().GetUseTarget() != fireRecord; i++) {
			const Vec3 here = play.Hero().transform.position;
			play.SteerTo(here.x + facing.x * 4.0f, here.z + facing.z * 4.0f, 0.0f);
			play.Frames(5);
		}
		play.ReleaseMovement();
		if (play.Hero().GetUseTarget() != fireRecord)
			continue;
		report.fallbacks++;
		// Put out, the fire gives back every heart; lit again, it saves.
		for (int uses = 0; uses < 3 && play.Hero().GetUseTarget() == fireRecord &&
			(play.Hearts() < play.Hero().GetStats().maxHearts || !fire->IsLit()); uses++) {
			play.Use();
			play.Continue();
		}
		lastHearts = play.Hearts();
		path.clear();
		return true;
	}
	return false;
}

void PlaythroughFighter::CatchBreath()
{
	// Keep well out of every reach until the foe loses interest or comes on.
	const float reach = FoeActor() != nullptr ? ThreatOf(*FoeActor()).reach : 0.0f;
	KeepAt(reach + 3.0f * kSafeMargin + 2.0f);
}
