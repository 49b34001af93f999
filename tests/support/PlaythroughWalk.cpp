#include "support/PlaythroughWalk.h"

#include "engine/core/ActiveSequence.h"
#include "map/TileMap.h"
#include "objects/Player.h"
#include "support/PlaythroughDriver.h"

#include <cmath>

namespace {

constexpr int kStuckFrames = 45;      // frames without progress before a re-plan
constexpr int kPlanFrames = 30;       // a moving goal is planned toward again this often
constexpr int kBumpFrames = 90;       // bumping into a target that gives no answer before another side is tried
constexpr float kFarAway = 1e9f;      // no distance yet
constexpr float kProgress = 0.02f;    // world units nearer that count as progress
constexpr float kPassReach = 0.6f;    // world units from a tile's centre that count as passing it
constexpr float kArriveReach = 0.25f; // and as standing on the last one

} // namespace

PlaythroughWalk::PlaythroughWalk(PlaythroughDriver &play, std::function<bool(const PathTile &)> goal,
	const Entity *target, const MapObjectDef *link, bool goalMayBeTaken)
	: play(play), goal(std::move(goal)), target(target), link(link), goalMayBeTaken(goalMayBeTaken),
	  sincePlan(kPlanFrames), bestDistance(kFarAway)
{
}

void PlaythroughWalk::Until(const std::function<bool()> &arrived, const std::string &what, float seconds)
{
	const std::string startMap = play.MapName();
	const int limit = static_cast<int>(seconds * PlaythroughDriver::kFramesPerSecond);
	for (int frame = 0; frame < limit; frame++) {
		if (arrived()) {
			play.ReleaseMovement();
			return;
		}
		if (play.QuestionAsked()) {
			play.ReleaseMovement();
			play.Fail("a question was asked (\"" + play.MessageText() + "\") while walking to " + what);
		}
		if (play.MapName() != startMap || play.Scene().IsMapLoading())
			play.Fail("the map changed while walking to " + what + " (from " + startMap + ")");
		if (play.MessageShown() || play.Scene().GetHud().IsBusy() || IsSequenceRunning() ||
			play.Hero().GetFreezeTimer() > 0.0f) {
			play.ReleaseMovement();
			if (play.MessageShown() || (IsSequenceRunning() && IsSequenceState2()))
				play.ReadPlainMessage();
			else
				play.Step();
			sinceProgress = 0;
			continue;
		}
		if (play.FightBack()) {
			sincePlan = kPlanFrames;
			continue;
		}
		if (sincePlan >= kPlanFrames || next >= path.size() || sinceProgress > kStuckFrames)
			Plan(what);
		sincePlan++;
		Walk();
	}
	play.ReleaseMovement();
	play.Fail("walking to " + what + " took longer than " + std::to_string(static_cast<int>(seconds)) + " s");
}

void PlaythroughWalk::Plan(const std::string &what)
{
	if (sinceProgress > kStuckFrames && next < path.size())
		stuckOn.insert(path[next]);
	if (bumped > kBumpFrames) {
		refused.insert(play.HeroTile());
		bumped = 0;
	}
	const auto wanted = [&](const PathTile &tile) { return goal(tile) && refused.count(tile) == 0; };
	TilePathFinder finder = play.Finder(target, link);
	for (const PathTile &tile : stuckOn)
		finder.Block(tile);
	const PathTile from = play.HeroTile();
	std::vector<PathTile> plan = finder.Find(from, wanted, goalMayBeTaken);
	if (plan.empty() && !stuckOn.empty()) {
		stuckOn.clear(); // perhaps only a foe stood there: try the plain map
		plan = play.Finder(target, link).Find(from, wanted, goalMayBeTaken);
	}
	if (plan.empty() && !refused.empty()) {
		refused.clear(); // every side tried: perhaps it turned away
		plan = play.Finder(target, link).Find(from, wanted, goalMayBeTaken);
	}
	if (plan.empty()) // people and foes walk on: a way past them will open
		plan = play.Finder(target, link, false).Find(from, wanted, goalMayBeTaken);
	if (plan.empty() && target == nullptr)
		play.Fail("no walkable way to " + what);
	// Still held up before the same tile: the wait goes on counting.
	const bool sameStep = next < path.size() && plan.size() > 1 && plan[1] == path[next] && sinceProgress <= kStuckFrames;
	path = plan;
	next = path.size() > 1 ? 1 : path.size();
	sincePlan = 0;
	if (!sameStep) {
		sinceProgress = 0;
		bestDistance = kFarAway;
	}
}

void PlaythroughWalk::Walk()
{
	TileMap &map = play.Scene().GetMap();
	Vec3 aim;
	float reach = 0.0f;
	if (next < path.size()) {
		aim = map.TilePosition(static_cast<int16_t>(path[next].x), static_cast<int16_t>(path[next].y), 0.5f, 0.5f);
		reach = next + 1 == path.size() ? kArriveReach : kPassReach;
	} else if (target != nullptr) {
		aim = target->transform.position; // there: bump into it
		bumped++;
	} else if (!path.empty()) {
		aim = map.TilePosition(static_cast<int16_t>(path.back().x), static_cast<int16_t>(path.back().y), 0.5f, 0.5f);
		reach = kArriveReach;
	} else {
		play.Step();
		return;
	}
	const float distance = FlatDistance(play.Hero().transform.position, aim);
	if (!play.SteerTo(aim.x, aim.z, reach)) {
		if (next < path.size())
			next++;
		bestDistance = kFarAway;
		sinceProgress = 0;
		// On the last tile's centre without arriving: the goal needs
		// something else, so plan again.
		if (next >= path.size() && target == nullptr)
			sincePlan = kPlanFrames;
		play.Step();
		return;
	}
	if (distance < bestDistance - kProgress) {
		bestDistance = distance;
		sinceProgress = 0;
	} else {
		sinceProgress++;
	}
	play.Step();
}
