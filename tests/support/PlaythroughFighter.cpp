#include "support/PlaythroughFighter.h"

#include "engine/core/ActiveSequence.h"
#include "objects/AIAttackChargeBehaviour.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/Actor.h"
#include "objects/InteractBehaviour.h"
#include "objects/MapEntity.h"
#include "objects/Player.h"
#include "objects/PropSaveSwitch.h"
#include "support/PlaythroughDriver.h"

#include <SDL.h>

#include <cmath>

namespace {

constexpr uint32_t kFireplaceKind = 22;
constexpr float kPi = 3.14159265f;
constexpr float kBlowDelay = 0.1f;     // seconds from a swing's start to its blow (the strike effect's delay)
constexpr float kBlowLasts = 0.2f;     // seconds a blow stays out
constexpr float kSwordReach = 1.9f;    // world units from the hero to the far side of its blow
constexpr float kSafeMargin = 0.5f;    // world units kept beyond a foe's reach
constexpr float kHeld = 0.3f;          // world units either side of a wanted distance that count as there
constexpr float kFacingDot = 0.9f;     // the hero faces the foe (the arrows give eight ways)
constexpr float kThreatFacing = 0.3f;  // a foe turned further away than this swings past the hero
constexpr float kChargeWidth = 1.3f;   // world units either side of a charge's line that it sweeps
constexpr float kNearFoe = 12.0f;      // world units within which another foe's moves are watched
constexpr float kFireReach = 40.0f;    // tiles of walking a fire may lie away and still be fallen back to
constexpr int kFaceTries = 24;         // five-frame presses toward a fire until it offers its use
constexpr int kPlanFrames = 30;        // a far foe is planned toward again this often
constexpr int kBreathFrames = 3 * PlaythroughDriver::kFramesPerSecond; // frames of keeping away when low
constexpr int kBreathAgain = 12 * PlaythroughDriver::kFramesPerSecond; // no second breather this soon

Vec3 Flat(const Vec3 &v) { return Vec3(v.x, 0.0f, v.z); }

float FlatDistance(const Vec3 &a, const Vec3 &b) { return std::hypot(a.x - b.x, a.z - b.z); }

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
	firstFrame = play.FramesPlayed();
	lastHearts = play.Hearts();
	while (Played() < limit) {
		if (FoeHasFallen()) {
			report.frames = Played();
			play.ReleaseMovement();
			play.Frames(30);
			return report;
		}
		if (play.MessageShown() || (IsSequenceRunning() && IsSequenceState2())) {
			play.ReleaseMovement();
			if (play.QuestionAsked())
				play.Fail("a question was asked (\"" + play.MessageText() + "\") in the fight with " + what);
			play.ReadPlainMessage();
			continue;
		}
		if (play.Hearts() < lastHearts)
			report.heartsLost += lastHearts - play.Hearts();
		lastHearts = play.Hearts();
		const Player &hero = play.Hero();
		if (hero.knockBackTimer > 0.0f || hero.recoilTimer > 0.0f) {
			// Staggered: no key does anything yet.
			play.ReleaseMovement();
			play.Step();
			continue;
		}
		if (IsLow() && HealAtFire())
			continue;
		const Threat threat = PressingThreat();
		const Vec3 at = hero.transform.position;
		if (threat.foe != nullptr && threat.charge) {
			Dodge(threat);
			continue;
		}
		if (threat.foe != nullptr) {
			// A blow on its way: strike first when ours lands before it and
			// stops it, else get out of its reach, else block it.
			const bool oursFirst = threat.foe == foe && FoeIsOpen() && hero.actionTimer <= 0.0f
				&& FlatDistance(at, foe->transform.position) <= StrikeReach() && threat.landsIn > kBlowDelay + 0.05f
				&& !IsLow();
			if (oursFirst)
				StrikeFoe();
			else if (threat.landsIn < 0.12f || hero.actionTimer > 0.0f)
				Guard();
			else
				StepBack(threat);
			continue;
		}
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
		const float distance = FlatDistance(at, foe->transform.position);
		if (FoeIsOpen() && distance <= StrikeReach()) {
			StrikeFoe();
			continue;
		}
		// Not open yet: wait just beyond the reach of its blow; open: close in.
		const float reach = FoeActor() != nullptr ? ThreatOf(*FoeActor()).reach : 0.0f;
		KeepAt(FoeIsOpen() || reach <= 0.0f ? StrikeReach() - kHeld : reach + kSafeMargin);
	}
	play.ReleaseMovement();
	play.Fail(what + " did not fall within " + std::to_string(static_cast<int>(seconds)) + " s");
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
		} else if (attack->active == InteractBehaviour::kPhaseFollow && attack->phaseTime < charge->chargeDuration) {
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
	TalvexGameScene &scene = play.Scene();
	for (uint16_t i = 0; i < scene.GetEntityCount(); i++) {
		Entity *entity = scene.GetEntityAt(i);
		if (!IsLivingActor(entity) || entity->GetFaction() != kFactionHostile
			|| FlatDistance(entity->transform.position, at) > kNearFoe)
			continue;
		const Threat threat = ThreatOf(*static_cast<const Actor *>(entity));
		if (threat.foe == nullptr)
			continue;
		const Vec3 from = entity->transform.position;
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

float PlaythroughFighter::StrikeReach() const
{
	const auto *body = dynamic_cast<const MapEntity *>(foe);
	return kSwordReach + (body != nullptr ? body->radius : 0.0f);
}

bool PlaythroughFighter::FoeIsOpen() const
{
	const Actor *actor = FoeActor();
	if (actor == nullptr)
		return true;
	return actor->knockBackTimer <= 0.0f && actor->busyTimer <= 0.0f;
}

bool PlaythroughFighter::IsLow() const
{
	const uint8_t blow = FoeActor() != nullptr ? FoeActor()->contactDamage : 1;
	return play.Hearts() <= blow && play.Hero().GetStats().maxHearts > blow;
}

void PlaythroughFighter::StrikeFoe()
{
	const Player &hero = play.Hero();
	const Vec3 at = hero.transform.position;
	const Vec3 way = ArrowWay(FlatWay(at, foe->transform.position));
	if (glm::dot(FlatWay(Vec3(0.0f), hero.facing), FlatWay(Vec3(0.0f), way)) < kFacingDot) {
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

bool PlaythroughFighter::WalkAlong(const Vec3 &way)
{
	// The arrow way nearest the wish, else the ones beside it, onto ground
	// the hero can step to.
	const TilePathFinder finder = play.Finder(foe, nullptr);
	const PathTile here = play.HeroTile();
	const int wanted = ArrowIndex(way);
	for (int turn : {0, 1, -1, 2, -2}) {
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

void PlaythroughFighter::Dodge(const Threat &threat)
{
	// Across the charge's line, to the side the hero already stands on, and
	// a roll that way.
	const Vec3 d = Flat(play.Hero().transform.position - threat.foe->transform.position);
	const float side = d.x * threat.way.z - d.z * threat.way.x >= 0.0f ? 1.0f : -1.0f;
	const Vec3 across(threat.way.z * side, 0.0f, -threat.way.x * side);
	if (!WalkAlong(across) && !WalkAlong(-across)) {
		Guard();
		return;
	}
	play.Step();
	play.Tap(SDL_SCANCODE_LSHIFT, 1);
	play.Frames(12);
	play.ReleaseMovement();
}

void PlaythroughFighter::StepBack(const Threat &threat)
{
	if (!WalkAlong(FlatWay(threat.foe->transform.position, play.Hero().transform.position)))
		Guard();
}

void PlaythroughFighter::Guard()
{
	const Player &hero = play.Hero();
	if (hero.busyTimer > kBlowLasts) {
		play.Step();
		return;
	}
	play.ReleaseMovement();
	play.Tap(SDL_SCANCODE_LSHIFT, 1);
}

void PlaythroughFighter::KeepAt(float distance)
{
	const Vec3 at = play.Hero().transform.position;
	const Vec3 there = foe->transform.position;
	const float now = FlatDistance(at, there);
	if (std::fabs(now - distance) <= kHeld) {
		play.ReleaseMovement();
		play.Step();
		return;
	}
	// Too near: straight back, or a little aside where the ground ends.
	if (now < distance && WalkAlong(FlatWay(there, at)))
		return;
	// Too far: along a planned path to a tile at that distance, planned
	// again now and then as the foe moves.
	TileMap &map = play.Scene().GetMap();
	if (sincePlan++ >= kPlanFrames || next >= path.size()) {
		const PathTile target = play.TileOf(*foe);
		path = play.Finder(foe, nullptr).Find(play.HeroTile(), [&](const PathTile &tile) {
			const Vec3 centre = map.TilePosition(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y), 0.5f, 0.5f);
			return tile != target && FlatDistance(centre, there) <= distance + kHeld;
		});
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
	MapObjectDef *fireRecord = play.EntityRecordOfKind(kFireplaceKind);
	auto *fire = fireRecord != nullptr ? dynamic_cast<PropSaveSwitch *>(fireRecord->entity) : nullptr;
	if (fire == nullptr)
		return false;
	// A free tile straight beside the fire, to face it from.
	const PathTile at = play.TileOf(*fire);
	auto beside = [&](const PathTile &tile) { return std::abs(tile.x - at.x) + std::abs(tile.y - at.y) == 1; };
	const std::vector<PathTile> way = play.Finder(fire, nullptr).Find(play.HeroTile(), beside);
	if (way.empty() || static_cast<float>(way.size()) > kFireReach)
		return false;
	report.fallbacks++;
	const PathTile by = way.back();
	const Vec3 facing = ArrowVector(ArrowIndex(Vec3(static_cast<float>(at.x - by.x), 0.0f, static_cast<float>(at.y - by.y))));
	// Put out, the fire gives back every heart; lit again, it saves.
	for (int uses = 0; uses < 3 && (play.Hearts() < play.Hero().GetStats().maxHearts || !fire->IsLit()); uses++) {
		play.WalkTo(by.x, by.y);
		for (int i = 0; i < kFaceTries && play.Hero().GetUseTarget() != fireRecord; i++) {
			const Vec3 here = play.Hero().transform.position;
			play.SteerTo(here.x + facing.x * 4.0f, here.z + facing.z * 4.0f, 0.0f);
			play.Frames(5);
		}
		play.ReleaseMovement();
		if (play.Hero().GetUseTarget() != fireRecord)
			play.Fail("the fire on " + play.MapName() + " offered no use to fall back to");
		play.Use();
		play.Continue();
	}
	lastHearts = play.Hearts();
	path.clear();
	return true;
}

void PlaythroughFighter::CatchBreath()
{
	// Keep well out of every reach until the foe loses interest or comes on.
	const float reach = FoeActor() != nullptr ? ThreatOf(*FoeActor()).reach : 0.0f;
	KeepAt(reach + 3.0f * kSafeMargin + 2.0f);
}
