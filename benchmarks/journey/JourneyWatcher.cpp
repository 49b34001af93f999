#include "JourneyWatcher.h"

#include <glad/gl.h>
#include <time.h>

#include <cmath>

#include "engine/core/ActiveSequence.h"
#include "engine/render/Renderer.h"
#include "game/GameUI.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/ActorBehaviour.h"
#include "objects/Player.h"
#include "support/PlaythroughDriver.h"
#include "support/PlaythroughGame.h"

namespace {

constexpr float kFightReach = 6.0f; // world units from the hero within which a standing foe makes a fight

double ThreadCpuMs()
{
	timespec now{};
	clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
	return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

const char *PhaseName(uint32_t phase)
{
	switch (phase) {
	case kPhaseUnload:
	case kPhaseUnloadAgain:
		return "load phase: old map cleared";
	case kPhaseBuild:
		return "load phase: environment, tiles, border";
	case kPhaseEntities:
		return "load phase: entities";
	case kPhaseSequences:
		return "load phase: arrival and load scripts";
	default:
		return "load phase: ended";
	}
}

std::string MapOf(TalvexGameScene *play)
{
	if (play == nullptr)
		return "no map";
	if (play->IsMapLoading()) {
		const std::string path = play->GetMap().GetLoadState().name;
		const size_t slash = path.find_last_of('/');
		const size_t dot = path.find_last_of('.');
		const size_t from = slash == std::string::npos ? 0 : slash + 1;
		return path.substr(from, dot == std::string::npos || dot < from ? std::string::npos : dot - from);
	}
	return play->GetLoadedAs()[0] != '\0' ? play->GetLoadedAs() : "no map";
}

bool FoeNear(TalvexGameScene &play)
{
	const Vec3 hero = play.GetPlayer().transform.position;
	for (uint16_t i = 0; i < play.GetEntityCount(); i++) {
		const Entity *entity = play.GetEntityAt(i);
		if (!IsLivingActor(entity) || entity->GetFaction() != kFactionHostile)
			continue;
		const Vec3 at = entity->transform.position;
		if (std::hypot(at.x - hero.x, at.z - hero.z) < kFightReach)
			return true;
	}
	return false;
}

} // namespace

JourneyWatcher::JourneyWatcher(PlaythroughGame &game, Renderer &renderer, JourneyLog &log, uint64_t stopAfter)
	: game(game), renderer(renderer), log(log), stopAfter(stopAfter)
{
}

void JourneyWatcher::FrameBegins()
{
	sceneBefore = game.GetCurrentScene();
	TalvexGameScene *play = game.PlayScene();
	playBefore = play != nullptr;
	loadingBefore = play != nullptr && play->IsMapLoading();
	phaseBefore = play != nullptr ? play->GetMap().GetLoadState().phase : 0;
	mapBefore = MapOf(play);
	wallStart = std::chrono::steady_clock::now();
	cpuStart = ThreadCpuMs();
	for (int kind = 0; kind < LoadClock::kKindCount; kind++)
		loadsStart[kind] = LoadClock::Milliseconds(static_cast<LoadClock::Kind>(kind));
	// The engine's frame begins one before its update too.
	renderer.BeginFrame();
}

void JourneyWatcher::FrameEnds()
{
	Draw();
	glFinish();
	const double cpuMs = ThreadCpuMs() - cpuStart;
	const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();

	JourneyFrame frame;
	frame.number = log.Frames().size();
	frame.wallMs = static_cast<float>(wallMs);
	frame.cpuMs = static_cast<float>(cpuMs);
	const std::string mapAfter = MapOf(game.PlayScene());
	frame.map = log.Name(mapBefore == mapAfter || mapBefore == "no map" ? mapAfter : mapBefore + " to " + mapAfter);
	frame.doing = log.Name(Doing());
	for (int kind = 0; kind < LoadClock::kKindCount; kind++)
		frame.loadMs[kind] = static_cast<float>(LoadClock::Milliseconds(static_cast<LoadClock::Kind>(kind)) - loadsStart[kind]);
	log.AddFrame(frame);
	FollowMapChange(wallMs);
	if (stopAfter != 0 && log.Frames().size() >= stopAfter)
		throw PlaythroughStop{"the journey was cut short after " + std::to_string(stopAfter) + " frames"};
}

void JourneyWatcher::Draw()
{
	Scene *scene = game.GetCurrentScene();
	renderer.BeginFrame();
	renderer.UpdateCameraMatrices();
	if (scene != nullptr)
		scene->Render();
	game.Render();
	renderer.EndFrame();
}

std::string JourneyWatcher::Doing() const
{
	TalvexGameScene *play = game.PlayScene();
	if (game.GetCurrentScene() != sceneBefore)
		return "screen change to " + game.LastScreen();
	if (loadingBefore)
		return PhaseName(phaseBefore);
	if (play != nullptr && play->IsMapLoading())
		return "map change: the new map read, the old one cleared";
	if (play == nullptr)
		return "screen " + game.LastScreen();
	if (play->GetHud().IsTimerActive())
		return "map title";
	if (IsSequenceRunning())
		return "script step";
	if (FoeNear(*play))
		return "fight";
	if (play->GetHud().IsMessageVisible())
		return "message";
	return "walking";
}

bool JourneyWatcher::HeroCanMove() const
{
	TalvexGameScene *play = game.PlayScene();
	return play != nullptr && !play->IsMapLoading() && !play->GetHud().IsTimerActive()
		&& play->GetPlayer().GetFreezeTimer() <= 0.0f;
}

void JourneyWatcher::FollowMapChange(double wallMs)
{
	TalvexGameScene *play = game.PlayScene();
	const bool loading = play != nullptr && play->IsMapLoading();
	if (!changing && loading && !loadingBefore) {
		changing = true;
		change = MapChange();
		change.from = playBefore ? mapBefore : "the screen before play";
		change.firstFrame = log.Frames().size() - 1;
	}
	if (!changing)
		return;
	if (HeroCanMove() || play == nullptr) {
		change.to = MapOf(play);
		log.AddMapChange(change);
		changing = false;
		return;
	}
	change.frames++;
	if (loading || loadingBefore)
		change.loadFrames++;
	change.wallMs += wallMs;
	change.worstMs = std::max(change.worstMs, static_cast<float>(wallMs));
}
