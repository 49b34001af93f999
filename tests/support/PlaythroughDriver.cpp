#include "support/PlaythroughDriver.h"

#include "engine/collision/Collider.h"
#include "engine/core/ActiveSequence.h"
#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "game/ScreenPreIntro.h"
#include "map/MapFiles.h"
#include "map/TileCode.h"
#include "objects/AITargetingBehaviour.h"
#include "objects/Actor.h"
#include "objects/MapEntity.h"
#include "objects/MapExits.h"
#include "objects/Player.h"
#include "objects/PlayerTuning.h"
#include "objects/PropBoulder.h"
#include "objects/PropSaveSwitch.h"
#include "support/KeyEvent.h"
#include "support/PlaythroughFighter.h"
#include "support/PlaythroughWalk.h"
#include "support/SharedRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

constexpr uint32_t kFireplaceKind = 22;
constexpr uint32_t kLavaBallKind = 58;
constexpr float kHutDoorReach = 1.5f;   // a hut's door lies this far south of its centre
constexpr float kSameSpot = 2.0f * PlayerTuning::kUseMoveDistance; // nearer than this to the last use is its spot
constexpr int kShuffleFrames = 4;        // a step aside
constexpr float kAssailantReach = 8.0f;  // world units within which a foe coming at the hero is fought
constexpr size_t kAssailantTiles = 8;    // and tiles of walking to it

int Seconds(float seconds) { return static_cast<int>(seconds * PlaythroughDriver::kFramesPerSecond); }

const char *NameOf(const MapObjectDef &object) { return object.name.GetOr(""); }

std::string TileText(const PathTile &tile) { return "(" + std::to_string(tile.x) + ", " + std::to_string(tile.y) + ")"; }

bool HasFallen(const Entity *entity)
{
	if (!Entity::IsAlive(entity) || !entity->IsActive())
		return true;
	if (IsActor(entity))
		return !static_cast<const Actor *>(entity)->HasHearts();
	return false;
}

} // namespace

PlaythroughDriver::PlaythroughDriver(MapLoader *maps) { game.maps = maps; }

PlaythroughDriver::~PlaythroughDriver()
{
	ReleaseMovement();
	game.DropScenes();
	EndActiveSequence();
	Input::Get()->Reset();
	SaveFolder::Release();
	if (renderer != nullptr)
		renderer->SetFade(0.0f, 0.0f);
}

bool PlaythroughDriver::Prepare(std::string &whyNot)
{
	renderer = SharedStartedRenderer(whyNot);
	if (renderer == nullptr)
		return false;
	SDL_GL_MakeCurrent(renderer->GetWindow(), renderer->GetContext());
	folder.Use();
	Input::Get()->Reset();
	return true;
}

bool PlaythroughDriver::Play(const std::function<void()> &play)
{
	try {
		play();
	} catch (const PlaythroughStop &) {
		ReleaseMovement();
		return false;
	}
	ReleaseMovement();
	return true;
}

// --- Frames and keys ---------------------------------------------------------

void PlaythroughDriver::Step()
{
	framesPlayed++;
	game.Step();
	// Hearts counted across frames of one hero (a map's load makes another).
	const Player *hero = InPlay() ? &Hero() : nullptr;
	const int hearts = Hearts();
	if (hero != nullptr && hero == heartsOf) {
		tally.heartsLost += std::max(0, lastHearts - hearts);
		tally.heartsRegained += std::max(0, hearts - lastHearts);
	}
	heartsOf = hero;
	lastHearts = hearts;
	if (IsSequenceRunning())
		lastScriptFrame = framesPlayed;
	if (game.LastScreen() == "died") {
		tally.deaths++;
		Fail("the hero died");
	}
}

std::string PlaythroughDriver::TallyText() const
{
	return "frames " + std::to_string(framesPlayed) + ", deaths " + std::to_string(tally.deaths) + ", half hearts lost "
		+ std::to_string(tally.heartsLost) + " and regained " + std::to_string(tally.heartsRegained);
}

void PlaythroughDriver::Frames(int count)
{
	for (int i = 0; i < count; i++)
		Step();
}

void PlaythroughDriver::Tap(SDL_Scancode key, int framesAfter)
{
	Input::Get()->HandleEvent(KeyEvent(true, key));
	Step();
	Input::Get()->HandleEvent(KeyEvent(false, key));
	Frames(framesAfter);
}

void PlaythroughDriver::Hold(std::initializer_list<SDL_Scancode> keys, int frames)
{
	ReleaseMovement();
	for (SDL_Scancode key : keys)
		Input::Get()->HandleEvent(KeyEvent(true, key));
	Frames(frames);
	for (SDL_Scancode key : keys)
		Input::Get()->HandleEvent(KeyEvent(false, key));
	Step();
}

void PlaythroughDriver::ReleaseMovement()
{
	for (SDL_Scancode key : held)
		Input::Get()->HandleEvent(KeyEvent(false, key));
	held.clear();
}

bool PlaythroughDriver::SteerTo(float x, float z, float reach)
{
	const Vec3 at = Hero().transform.position;
	const float dx = x - at.x;
	const float dz = z - at.z;
	std::vector<SDL_Scancode> wanted;
	if (std::hypot(dx, dz) > reach) {
		// A key for each axis still off by more than a little: the hero
		// goes diagonally and lines up at the end.
		const float dead = 0.08f;
		if (dx > dead)
			wanted.push_back(SDL_SCANCODE_RIGHT);
		else if (dx < -dead)
			wanted.push_back(SDL_SCANCODE_LEFT);
		if (dz > dead)
			wanted.push_back(SDL_SCANCODE_DOWN);
		else if (dz < -dead)
			wanted.push_back(SDL_SCANCODE_UP);
	}
	for (SDL_Scancode key : held)
		if (std::find(wanted.begin(), wanted.end(), key) == wanted.end())
			Input::Get()->HandleEvent(KeyEvent(false, key));
	for (SDL_Scancode key : wanted)
		if (std::find(held.begin(), held.end(), key) == held.end())
			Input::Get()->HandleEvent(KeyEvent(true, key));
	held = wanted;
	return !wanted.empty();
}

// --- Starting -----------------------------------------------------------------

void PlaythroughDriver::NewGame(int difficulty) { NewGame(PlayMode{"", difficulty, false}); }

void PlaythroughDriver::NewGame(const PlayMode &mode)
{
	game.NewGame(static_cast<uint32_t>(mode.difficulty), mode.og ? 1 : 0);
	// The OG mode goes straight to play; the others ask first.
	if (!mode.og) {
		for (int i = 0; i < 10 && dynamic_cast<ScreenPreIntro *>(game.GetCurrentScene()) == nullptr; i++)
			Step();
		if (dynamic_cast<ScreenPreIntro *>(game.GetCurrentScene()) == nullptr)
			Fail("a new game did not ask whether to watch the intro");
		Frames(10); // the menu takes presses a little after it is built
		Tap(SDL_SCANCODE_DOWN, 8);
		Tap(SDL_SCANCODE_RETURN, 8);
	}
	WaitUntil([&] { return InPlay() && !Scene().IsMapLoading() && Scene().GetLoadedAs()[0] != '\0'; }, "play to begin", 10.0f);
	WaitUntil([&] { return !Scene().GetHud().IsBusy(); }, "the map's title to go by", 10.0f);
	Continue();
}

// --- Queries ------------------------------------------------------------------

bool PlaythroughDriver::InPlay() const { return game.PlayScene() != nullptr; }

TalvexGameScene &PlaythroughDriver::Scene() const
{
	TalvexGameScene *scene = game.PlayScene();
	if (scene == nullptr)
		Fail("play has ended (screen " + game.LastScreen() + ")");
	return *scene;
}

Player &PlaythroughDriver::Hero() const { return Scene().GetPlayer(); }

std::string PlaythroughDriver::MapName() const { return InPlay() ? Scene().GetLoadedAs() : std::string(); }

uint32_t PlaythroughDriver::HeldKind() const { return InPlay() ? Hero().GetStats().heldKind : 0; }

int PlaythroughDriver::Hearts() const { return InPlay() ? Hero().GetStats().hearts : 0; }

PathTile PlaythroughDriver::HeroTile() const
{
	const PlayerTile tile = Hero().CurrentTile();
	return {tile.x, tile.y};
}

PathTile PlaythroughDriver::TileOf(const Entity &entity) const
{
	int16_t x = 0;
	int16_t y = 0;
	Scene().GetMap().WorldToTile(entity.transform.position, x, y);
	return {x, y};
}

std::set<PathTile> PlaythroughDriver::ReachableTiles() const { return Finder(nullptr, nullptr).Reachable(HeroTile()); }

PathTile PlaythroughDriver::TileOfEntity(const std::string &name) const
{
	MapObjectDef *record = EntityRecord(name);
	if (record == nullptr || record->entity == nullptr)
		Fail("no entity named \"" + name + "\" on " + MapName());
	return TileOf(*record->entity);
}

bool PlaythroughDriver::Flag(const std::string &name) const { return GameProgress::Flag(name.c_str()); }

bool PlaythroughDriver::FiresLitByTouch() const { return GameProgress::Flag(kOriginalContentFlag); }

bool PlaythroughDriver::IsAlive(const std::string &name) const
{
	MapObjectDef *record = InPlay() ? EntityRecord(name) : nullptr;
	return record != nullptr && !HasFallen(record->entity);
}

bool PlaythroughDriver::MessageShown() const { return InPlay() && Scene().GetHud().IsMessageVisible(); }

bool PlaythroughDriver::QuestionAsked() const
{
	return InPlay() && IsSequenceRunning() && IsSequenceState2()
		&& Scene().GetHud().GetMessageState() == GameUI::kMessageQuestion;
}

std::string PlaythroughDriver::MessageText() const { return InPlay() ? Scene().GetHud().GetMessageText() : std::string(); }

std::string PlaythroughDriver::Where() const
{
	std::ostringstream text;
	if (!InPlay()) {
		text << "not in play; screens:";
		for (const std::string &screen : game.screens)
			text << " " << screen;
		return text.str();
	}
	const PathTile tile = HeroTile();
	const Vec3 at = Hero().transform.position;
	text << "the hero stands on map \"" << MapName() << "\" at tile (" << tile.x << ", " << tile.y << "), world ("
		 << at.x << ", " << at.y << ", " << at.z << "), " << Hearts() << " half hearts, holding kind " << HeldKind();
	if (MessageShown())
		text << ", the message \"" << MessageText() << "\" showing";
	if (IsSequenceRunning())
		text << ", a script running";
	// The foes still standing, for a fight or a gate that waits on them.
	const char *lead = "; foes standing:";
	for (uint16_t i = 0; i < Scene().GetEntityCount(); i++) {
		const Entity *entity = Scene().GetEntityAt(i);
		if (!IsLivingActor(entity) || entity->GetFaction() != kFactionHostile)
			continue;
		const PathTile at = TileOf(*entity);
		text << lead << " kind " << static_cast<const MapEntity *>(entity)->GetKind() << " at " << TileText(at);
		lead = ",";
	}
	return text.str();
}

void PlaythroughDriver::Fail(const std::string &why) const
{
	ADD_FAILURE() << why << "; " << Where();
	throw PlaythroughStop{why};
}

MapObjectDef *PlaythroughDriver::EntityRecord(const std::string &name) const
{
	for (MapObjectDef &record : Scene().GetMap().GetMapData().entityRecords)
		if (name == NameOf(record))
			return &record;
	return nullptr;
}

MapObjectDef *PlaythroughDriver::EntityRecordOfKind(uint32_t kind) const
{
	// The nearest one of the kind whose entity is still there.
	MapObjectDef *best = nullptr;
	float bestDistance = 0.0f;
	const Vec3 at = Hero().transform.position;
	for (MapObjectDef &record : Scene().GetMap().GetMapData().entityRecords) {
		if (MapEntityKindFromType(record.type) != kind || HasFallen(record.entity))
			continue;
		const float distance = FlatDistance(record.entity->transform.position, at);
		if (best == nullptr || distance < bestDistance) {
			best = &record;
			bestDistance = distance;
		}
	}
	return best;
}

MapObjectDef *PlaythroughDriver::Assailant() const
{
	if (fight != nullptr || HeldKind() == 0)
		return nullptr;
	const Vec3 at = Hero().transform.position;
	for (MapObjectDef &record : Scene().GetMap().GetMapData().entityRecords) {
		Entity *entity = record.entity;
		if (!IsLivingActor(entity) || entity->GetFaction() != kFactionHostile ||
			FlatDistance(entity->transform.position, at) > kAssailantReach)
			continue;
		const auto *brain = dynamic_cast<const AITargetingBehaviour *>(static_cast<Actor *>(entity)->GetCurrentBehaviour());
		if (brain == nullptr || (brain->GetState() != AITargetingBehaviour::kStatePreAttack &&
			brain->GetState() != AITargetingBehaviour::kStateAttack))
			continue;
		// Only one the hero can walk up to (not one behind a wall or water).
		const PathTile there = TileOf(*entity);
		const std::vector<PathTile> way = Finder(entity, nullptr).Find(HeroTile(), [&](const PathTile &tile) {
			return std::abs(tile.x - there.x) <= 1 && std::abs(tile.y - there.y) <= 1;
		});
		if (!way.empty() && way.size() <= kAssailantTiles)
			return &record;
	}
	return nullptr;
}

bool PlaythroughDriver::FightBack()
{
	if (fight != nullptr)
		return fight->Defend();
	MapObjectDef *record = Assailant();
	if (record == nullptr)
		return false;
	ReleaseMovement();
	PlaythroughFighter(*this, *record, "the foe of kind " + std::to_string(MapEntityKindFromType(record->type)) +
		" that came at the hero").Fight(kDefaultFightSeconds);
	return true;
}

MapObjectDef *PlaythroughDriver::MapObject(const std::string &name, uint32_t objectKind) const
{
	for (MapObjectDef &object : Scene().GetMap().GetMapData().objects)
		if (name == NameOf(object) && (objectKind == UINT32_MAX || object.kind == objectKind))
			return &object;
	return nullptr;
}

// --- Walking ------------------------------------------------------------------

TilePathFinder PlaythroughDriver::Finder(const Entity *target, const MapObjectDef *link, bool actorsBlock) const
{
	TileMap &map = Scene().GetMap();
	TilePathFinder finder(map);
	const TileMapData &data = map.GetMapData();
	// Solid things stand in the way, people and foes too; the goal does not,
	// nor lava balls, which are only now and then where they rest.
	for (uint16_t i = 0; i < Scene().GetEntityCount(); i++) {
		Entity *entity = Scene().GetEntityAt(i);
		if (entity == nullptr || entity == target || entity == &Hero() || entity->collider == nullptr || !entity->IsActive())
			continue;
		if (!actorsBlock && IsActor(entity))
			continue;
		if (entity->IsKind(MapEntity::kClassId) && static_cast<MapEntity *>(entity)->GetKind() == kLavaBallKind)
			continue;
		const int32_t mode = entity->collider->mode;
		if (mode != Collider::kModeStatic && mode != Collider::kModeSolid)
			continue;
		const ColliderBox &box = entity->collider->UpdateBounds();
		int16_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
		const float inset = 0.2f;
		map.WorldToTile(box.centre - box.half + Vec3(inset, 0.0f, inset), x0, y0);
		map.WorldToTile(box.centre + box.half - Vec3(inset, 0.0f, inset), x1, y1);
		for (int y = y0; y <= y1; y++)
			for (int x = x0; x <= x1; x++)
				finder.Block({x, y});
	}
	// Every other link would take the hero away, and the hero keeps off
	// what the map warned of.
	const bool warned = keptOffMap == MapName();
	for (const MapObjectDef &object : data.objects) {
		const bool avoided = warned && std::find(keptOff.begin(), keptOff.end(), NameOf(object)) != keptOff.end();
		if (!avoided && (object.kind != kObjectExit || &object == link))
			continue;
		for (int y = 0; y < data.height; y++)
			for (int x = 0; x < data.width; x++)
				if (map.IsInsideObject(object, map.TilePosition(static_cast<int16_t>(x), static_cast<int16_t>(y), 0.5f, 0.5f)))
					finder.Block({x, y});
	}
	return finder;
}

void PlaythroughDriver::KeepOff(const std::string &area)
{
	if (MapObject(area, UINT32_MAX) == nullptr)
		Fail("no area named \"" + area + "\" on " + MapName());
	if (keptOffMap != MapName())
		keptOff.clear();
	keptOffMap = MapName();
	keptOff.push_back(area);
}

void PlaythroughDriver::ReadPlainMessage()
{
	// A press finishes the typing; once typed, the next one closes it.
	Tap(SDL_SCANCODE_SPACE, 12);
}

void PlaythroughDriver::WalkUntil(const std::function<bool()> &arrived, const std::function<bool(const PathTile &)> &goal,
	const std::string &what, float seconds, const Entity *target, const MapObjectDef *link, bool goalMayBeTaken)
{
	PlaythroughWalk(*this, goal, target, link, goalMayBeTaken).Until(arrived, what, seconds);
}

void PlaythroughDriver::WalkTo(int x, int y, float seconds)
{
	const PathTile goal{x, y};
	std::ostringstream what;
	what << "tile (" << x << ", " << y << ") of " << MapName();
	WalkUntil([&] {
		const PathTile at = HeroTile();
		if (at != goal)
			return false;
		const Vec3 centre = Scene().GetMap().TilePosition(static_cast<int16_t>(x), static_cast<int16_t>(y), 0.5f, 0.5f);
		return FlatDistance(Hero().transform.position, centre) < 0.3f;
	}, [&](const PathTile &tile) { return tile == goal; }, what.str(), seconds, nullptr, nullptr, true);
}

void PlaythroughDriver::WalkToEntity(const std::string &name, float seconds)
{
	MapObjectDef *record = EntityRecord(name);
	if (record == nullptr || record->entity == nullptr)
		Fail("no entity named \"" + name + "\" on " + MapName());
	Entity *entity = record->entity;
	WalkUntil([&] { return Hero().GetUseTarget() == record; },
		[&](const PathTile &tile) {
			const PathTile at = TileOf(*entity);
			return std::abs(tile.x - at.x) <= 1 && std::abs(tile.y - at.y) <= 1 && tile != at;
		}, "\"" + name + "\" (standing at " + TileText(TileOf(*entity)) + ")", seconds, entity);
}

void PlaythroughDriver::WalkToKind(uint32_t kind, float seconds)
{
	MapObjectDef *record = EntityRecordOfKind(kind);
	if (record == nullptr)
		Fail("no entity of kind " + std::to_string(kind) + " on " + MapName());
	Entity *entity = record->entity;
	WalkUntil([&] { return Hero().GetUseTarget() == record; },
		[&](const PathTile &tile) {
			const PathTile at = TileOf(*entity);
			return std::abs(tile.x - at.x) <= 1 && std::abs(tile.y - at.y) <= 1 && tile != at;
		}, "kind " + std::to_string(kind) + " (standing at " + TileText(TileOf(*entity)) + ")", seconds, entity);
}

void PlaythroughDriver::Take(const std::string &name, float seconds)
{
	MapObjectDef *record = EntityRecord(name);
	if (record == nullptr || record->entity == nullptr || !record->entity->IsActive())
		Fail("nothing named \"" + name + "\" to take on " + MapName());
	Entity *item = record->entity;
	const PathTile at = TileOf(*item);
	WalkUntil([&] { return record->entity != item || !Entity::IsAlive(item) || !item->IsActive(); },
		[&](const PathTile &tile) { return tile == at; }, "\"" + name + "\" to take it", seconds, item);
	Continue();
}

void PlaythroughDriver::WalkInto(const std::string &name, float seconds)
{
	MapObjectDef *object = MapObject(name, UINT32_MAX);
	if (object == nullptr)
		Fail("no map object named \"" + name + "\" on " + MapName());
	TileMap &map = Scene().GetMap();
	auto inside = [&, object](const PathTile &tile) {
		return map.IsInsideObject(*object, map.TilePosition(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y), 0.5f, 0.5f));
	};
	WalkUntil([&] { return map.IsInsideObject(*object, Hero().transform.position) && inside(HeroTile()); }, inside,
		"the area \"" + name + "\"", seconds);
}

void PlaythroughDriver::EnterLink(const std::string &target, float seconds)
{
	TileMap &map = Scene().GetMap();
	const std::string from = MapName();
	auto leaving = [&] { return Scene().IsMapLoading() || MapName() != from || Hero().HasExitTarget(); };
	MapObjectDef *link = MapObject(target, kObjectExit);
	if (link == nullptr) {
		// A hut of that name: walk up to its door from the south.
		MapObjectDef *hut = EntityRecord(target);
		if (hut == nullptr || hut->entity == nullptr)
			Fail("no link or hut to \"" + target + "\" on " + from);
		const Vec3 door = hut->entity->transform.position + Vec3(0.0f, 0.0f, kHutDoorReach);
		int16_t dx = 0, dy = 0;
		map.WorldToTile(door, dx, dy);
		const PathTile outside{dx, dy + 1};
		WalkUntil([&] { return leaving() || HeroTile() == outside; }, [&](const PathTile &tile) { return tile == outside; },
			"the door of the hut \"" + target + "\"", seconds, hut->entity);
		for (int i = 0; i < Seconds(3.0f) && !leaving(); i++) {
			SteerTo(door.x, door.z - 1.0f, 0.0f);
			Step();
		}
	} else {
		auto inside = [&, link](const PathTile &tile) {
			return map.IsInsideObject(*link, map.TilePosition(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y), 0.5f, 0.5f));
		};
		const TileMapData &data = map.GetMapData();
		bool anyInside = false;
		for (int y = 0; y < data.height && !anyInside; y++)
			for (int x = 0; x < data.width && !anyInside; x++)
				anyInside = inside({x, y});
		// A link drawn beyond the edge is reached from the tiles beside it.
		auto goal = [&, link](const PathTile &tile) {
			if (anyInside)
				return inside(tile);
			const int lx = static_cast<int16_t>(link->x);
			const int ly = static_cast<int16_t>(link->y);
			return tile.x >= lx - 1 && tile.x <= lx + link->w && tile.y >= ly - 1 && tile.y <= ly + link->h;
		};
		WalkUntil([&] { return leaving() || goal(HeroTile()); }, goal, "the link to \"" + target + "\"", seconds, nullptr, link);
		// On it: on through it, out the way it leads.
		const uint8_t direction = static_cast<uint8_t>(MapExits::WalkOutDirection(data, *link));
		const Vec3 centre = map.TilePosition(static_cast<int16_t>(static_cast<int16_t>(link->x) + link->w / 2),
			static_cast<int16_t>(static_cast<int16_t>(link->y) + link->h / 2), 0.5f, 0.5f);
		for (int i = 0; i < Seconds(4.0f) && !leaving(); i++) {
			Vec3 aim = centre;
			if (direction != kDirNone)
				aim = Hero().transform.position + DirectionVector(direction) * 4.0f;
			SteerTo(aim.x, aim.z, 0.0f);
			Step();
		}
	}
	ReleaseMovement();
	if (!leaving())
		Fail("stood in the link to \"" + target + "\" but the hero did not walk out");
}

void PlaythroughDriver::FollowLink(const std::string &target, float seconds)
{
	EnterLink(target, seconds);
	WaitForMap(target);
}

void PlaythroughDriver::Choose(int position)
{
	ReleaseMovement();
	WaitUntil([&] { return InPlay() && Scene().IsOverlayOpen(); }, "a menu to open", 10.0f);
	Frames(10); // a menu takes presses a little after it is built
	for (int i = 0; i < position; i++)
		Tap(SDL_SCANCODE_DOWN, 8);
	Tap(SDL_SCANCODE_RETURN, 8);
}

void PlaythroughDriver::WaitForMap(const std::string &target, float seconds)
{
	WaitUntil([&] { return InPlay() && !Scene().IsMapLoading() && MapName() == target; }, "map \"" + target + "\" to load", seconds);
	mapChanges++;
	WaitUntil([&] { return !Scene().GetHud().IsTimerActive(); }, "the title of " + target + " to go by", 10.0f);
}

void PlaythroughDriver::WaitForScreen(const std::string &screen, float seconds)
{
	const int limit = Seconds(seconds);
	for (int i = 0; i < limit && !game.HasShown(screen); i++) {
		if (InPlay() && (MessageShown() || (IsSequenceRunning() && IsSequenceState2())) && !QuestionAsked())
			ReadPlainMessage();
		else
			game.Step();
	}
	if (!game.HasShown(screen))
		Fail("the screen \"" + screen + "\" did not come");
}

void PlaythroughDriver::StandGuard(float seconds, const std::function<bool()> &done)
{
	ReleaseMovement();
	for (int frame = 0, limit = Seconds(seconds); frame < limit && !done(); frame++) {
		if (MessageShown())
			ReadPlainMessage();
		else if (!FightBack())
			Step();
	}
}

void PlaythroughDriver::WaitUntil(const std::function<bool()> &done, const std::string &what, float seconds)
{
	const int limit = Seconds(seconds);
	for (int i = 0; i < limit; i++) {
		if (done())
			return;
		if (InPlay() && !Scene().IsMapLoading() && MessageShown() && !QuestionAsked() && !Scene().GetHud().IsTimerActive())
			ReadPlainMessage();
		else
			Step();
	}
	if (!done())
		Fail("waited more than " + std::to_string(static_cast<int>(seconds)) + " s for " + what);
}

// --- Acting -------------------------------------------------------------------

void PlaythroughDriver::Use()
{
	ReleaseMovement();
	lastUseAt = Hero().transform.position;
	Tap(SDL_SCANCODE_SPACE, 2);
}

void PlaythroughDriver::Talk(const std::string &name)
{
	WalkToEntity(name);
	// The game runs nobody's words twice from the very spot of the last
	// use: a shuffle aside first, and up to them again.
	for (SDL_Scancode aside : {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP, SDL_SCANCODE_DOWN}) {
		if (glm::distance(Hero().transform.position, lastUseAt) >= kSameSpot)
			break;
		Hold({aside}, kShuffleFrames);
		WalkToEntity(name);
	}
	// A talk pressed the moment a script ends is not taken: a breath first.
	ReleaseMovement();
	const uint64_t guard = static_cast<uint64_t>(PlayerTuning::kScriptPressGuard * kFramesPerSecond) + 1;
	while (framesPlayed - lastScriptFrame <= guard)
		Step();
	Use();
}

void PlaythroughDriver::Continue()
{
	ReleaseMovement();
	int quiet = 0;
	for (int i = 0; i < Seconds(60.0f); i++) {
		if (!InPlay() || QuestionAsked())
			return;
		const bool showing = MessageShown() || IsSequenceRunning() || Scene().GetHud().IsBusy();
		if (!showing) {
			if (++quiet > 20)
				return;
			Step();
			continue;
		}
		quiet = 0;
		if (MessageShown() || (IsSequenceRunning() && IsSequenceState2()))
			ReadPlainMessage();
		else
			Step();
	}
	Fail("the messages did not end");
}

void PlaythroughDriver::Answer(bool yes)
{
	ReleaseMovement();
	WaitUntil([&] { return QuestionAsked(); }, "a question", 20.0f);
	// Typed out first, then answered.
	for (int i = 0; i < 10 && Scene().GetHud().IsTyping(); i++)
		Tap(SDL_SCANCODE_SPACE, 12);
	const std::string asked = MessageText();
	Frames(12);
	Tap(yes ? SDL_SCANCODE_SPACE : SDL_SCANCODE_LSHIFT, 4);
	if (QuestionAsked() && MessageText() == asked)
		Fail("the question \"" + asked + "\" took no answer");
}

FightReport PlaythroughDriver::Strike(const std::string &name, float seconds)
{
	MapObjectDef *record = EntityRecord(name);
	if (record == nullptr || record->entity == nullptr)
		Fail("no foe named \"" + name + "\" on " + MapName());
	return PlaythroughFighter(*this, *record, "\"" + name + "\"").Fight(seconds);
}

FightReport PlaythroughDriver::StrikeKind(uint32_t kind, float seconds)
{
	MapObjectDef *record = EntityRecordOfKind(kind);
	if (record == nullptr)
		Fail("no live foe of kind " + std::to_string(kind) + " on " + MapName());
	return PlaythroughFighter(*this, *record, "the foe of kind " + std::to_string(kind)).Fight(seconds);
}

void PlaythroughDriver::Push(const std::string &name, uint8_t direction, int tiles, float seconds)
{
	MapObjectDef *record = EntityRecord(name);
	if (record == nullptr || record->entity == nullptr)
		Fail("no prop named \"" + name + "\" on " + MapName());
	Entity *prop = record->entity;
	const int sx = DirectionStepX(direction);
	const int sy = DirectionStepY(direction);
	if (sx == 0 && sy == 0)
		Fail("no direction to push \"" + name + "\"");
	const PathTile start = TileOf(*prop);
	const PathTile goal{start.x + sx * tiles, start.y + sy * tiles};
	WalkTo(start.x - sx, start.y - sy, seconds);
	const auto *boulder = dynamic_cast<const PropBoulder *>(prop);
	const int limit = Seconds(seconds);
	for (int frame = 0; frame < limit; frame++) {
		const PathTile now = TileOf(*prop);
		const Vec3 centre = Scene().GetMap().TilePosition(static_cast<int16_t>(goal.x), static_cast<int16_t>(goal.y), 0.5f, 0.5f);
		if (now == goal && FlatDistance(prop->transform.position, centre) < 0.3f) {
			ReleaseMovement();
			Frames(20);
			return;
		}
		if (MessageShown()) {
			ReleaseMovement();
			ReadPlainMessage();
			continue;
		}
		// A boulder rolls on by itself and strikes whoever runs into it: let
		// it go and follow once it has stopped.
		if (FightBack()) {
			WalkTo(now.x - sx, now.y - sy, seconds); // behind it again
			continue;
		}
		if (boulder != nullptr && boulder->IsSliding()) {
			ReleaseMovement();
			Step();
			continue;
		}
		// Straight on behind it, kept in line with its centre.
		const Vec3 behind = prop->transform.position;
		const Vec3 aim = behind + DirectionVector(direction) * 4.0f;
		const Vec3 at = Hero().transform.position;
		Vec3 steer = aim;
		if (sx != 0)
			steer.z = behind.z + (behind.z - at.z) * 0.5f;
		else
			steer.x = behind.x + (behind.x - at.x) * 0.5f;
		SteerTo(steer.x, steer.z, 0.0f);
		Step();
	}
	ReleaseMovement();
	std::ostringstream why;
	why << "\"" << name << "\" did not reach tile (" << goal.x << ", " << goal.y << ")";
	Fail(why.str());
}

void PlaythroughDriver::SaveAtFire(const std::string &name)
{
	MapObjectDef *record = name.empty() ? EntityRecordOfKind(kFireplaceKind) : EntityRecord(name);
	if (record == nullptr || record->entity == nullptr)
		Fail("no fireplace" + (name.empty() ? std::string() : " named \"" + name + "\"") + " on " + MapName());
	auto *fire = dynamic_cast<PropSaveSwitch *>(record->entity);
	if (fire == nullptr)
		Fail("\"" + name + "\" is no fireplace");
	const std::string here = MapName();
	if (FiresLitByTouch()) {
		// The OG mode: the fire lights as the hero walks into it.
		const PathTile at = TileOf(*fire);
		WalkUntil([&] { return fire->IsLit(); }, [&](const PathTile &tile) { return tile == at; }, "the fireplace",
			kDefaultWalkSeconds, fire);
		ReleaseMovement();
		Continue();
	}
	auto useFire = [&] {
		WalkUntil([&] { return Hero().GetUseTarget() == record; },
			[&](const PathTile &tile) {
				const PathTile at = TileOf(*fire);
				return std::abs(tile.x - at.x) <= 1 && std::abs(tile.y - at.y) <= 1 && tile != at;
			}, "the fireplace", kDefaultWalkSeconds, fire);
		Use();
		Continue();
	};
	// A fire lit before is put out first: lighting it is what saves.
	if (!FiresLitByTouch() && fire->IsLit())
		useFire();
	if (!FiresLitByTouch())
		useFire();
	if (!fire->IsLit())
		Fail("the fire would not light");
	GameProgress saved;
	if (!GameProgress::ReadSlot(saved, GameProgress::SaveSlot()))
		Fail("the fire on " + here + " wrote no save");
	if (saved.startMap != HashName(here.c_str()))
		Fail("the save written at the fire does not start on " + here);
}

void PlaythroughDriver::RestAtFire(const std::string &name)
{
	SaveAtFire(name);
	if (FiresLitByTouch())
		return;
	SaveAtFire(name);
	if (Hearts() != Hero().GetStats().maxHearts)
		Fail("the fire gave no hearts back on " + MapName());
}
