// The black woods and the tower, played: from the hamlet of Blacktotown, in
// from the hot lands with a sword in hand, through the woods and the seer's
// glade, past the black gate and the tower door, up the floors to the throne
// and Vozaduzurizaz's fall. Only the keys go in: the arrows walk, the action
// key talks, reads, strikes and answers yes.
#include "RouteSteps.h"
#include "Routes.h"

#include "engine/core/ActiveSequence.h"
#include "engine/core/Input.h"
#include "engine/core/Sequence.h"
#include "game/TalvexGameScene.h"
#include "map/TileCode.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/Player.h"
#include "objects/PropBlockRaiseLower.h"
#include "objects/PropDoor.h"
#include "objects/PropSaveSwitch.h"
#include "support/KeyEvent.h"
#include "support/PlaythroughDriver.h"
#include "support/PlaythroughFighter.h"

#include <SDL.h>

#include <cmath>
#include <functional>
#include <queue>
#include <string>
#include <vector>

namespace {

constexpr float kNear = 0.3f;        // world units: close enough to a tile centre walked to
constexpr float kFoeNotice = 6.0f;   // a foe this near is fought before walking on
constexpr int kWalkFrames = 1200;
constexpr float kFightSeconds = 60.0f;
constexpr int kRearms = 4; // swords fetched again in one fight

class Hike {
public:
	explicit Hike(PlaythroughDriver &driver) : play(driver) {}

	// The keys as a player holds them: down until let go, a frame at a time.
	void Press(SDL_Scancode key) { Input::Get()->HandleEvent(KeyEvent(true, key)); }
	void Release(SDL_Scancode key) { Input::Get()->HandleEvent(KeyEvent(false, key)); }
	void Frame() { play.Frames(1); }
	void Tap(SDL_Scancode key, int framesAfter) { play.Tap(key, framesAfter); }
	Vec3 TileCentre(int x, int y) { return Map().TilePosition((int16_t)x, (int16_t)y, 0.5f, 0.5f); }
	PathTile Tile() { return play.HeroTile(); }

	Player &Hero() { return play.Hero(); }
	TileMap &Map() { return play.Scene().GetMap(); }
	Vec3 Where() { return Hero().transform.position; }
	bool MessageUp() { return play.Scene().GetHud().IsMessageVisible(); }
	uint32_t Held() { return Hero().GetStats().heldKind; }
	bool On(const char *name) { return play.InPlay() && !play.Scene().IsMapLoading() && play.MapName() == name; }

	// Reads whatever the HUD shows, answering yes to questions.
	void Read()
	{
		// Until nothing has shown for a while: one line of a script can
		// follow another a few frames later.
		for (int press = 0, quiet = 0; press < 120 && quiet < 20;) {
			if (MessageUp() || ActiveSequenceRunning()) {
				Tap(SDL_SCANCODE_SPACE, 12);
				press++;
				quiet = 0;
			} else {
				Frame();
				quiet++;
			}
		}
	}
	static bool ActiveSequenceRunning()
	{
		const Sequence *sequence = GetActiveSequence();
		return sequence != nullptr && (sequence->state == Sequence::kStateRunning || sequence->state == Sequence::kStateWaiting);
	}

	// The nearest live hostile actor within range, or null.
	Actor *NearestFoe(float range)
	{
		Actor *best = nullptr;
		float bestDistance = range;
		for (MapObjectDef &record : Map().GetMapData().entityRecords) {
			auto *actor = dynamic_cast<Actor *>(record.entity);
			if (actor == nullptr || actor->faction != 4 || !actor->HasHearts() || actor->lifeState >= kLifePaused)
				continue;
			Vec3 d = actor->transform.position - Where();
			d.y = 0.0f;
			const float distance = std::sqrt(d.x * d.x + d.z * d.z);
			if (distance < bestDistance) {
				bestDistance = distance;
				best = actor;
			}
		}
		return best;
	}

	void ReleaseArrows()
	{
		for (SDL_Scancode key : {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP, SDL_SCANCODE_DOWN})
			Release(key);
	}
	// Fights the foe until it falls, as the driver's fighter does; a blob
	// that takes the sword sends the hero to fetch another first.
	bool Fight(Actor *foe)
	{
		MapObjectDef *record = nullptr;
		for (MapObjectDef &each : Map().GetMapData().entityRecords)
			if (each.entity == foe)
				record = &each;
		if (record == nullptr)
			return false;
		for (int tries = 0; tries < kRearms; tries++) {
			if (Held() == 0 && rearm && !rearming) {
				rearming = true;
				const bool armed = rearm();
				rearming = false;
				if (!armed)
					return false;
			}
			if (!foe->HasHearts() || foe->lifeState >= kLifePaused)
				break;
			if (!PlaythroughFighter(play, *record, "the foe").Fight(kFightSeconds).disarmed)
				break;
		}
		if (readAfterFight && (MessageUp() || ActiveSequenceRunning()))
			Read();
		return !foe->HasHearts() || foe->lifeState >= kLifePaused;
	}
	// Fights every foe that comes within range.
	bool FightNear(float range = kFoeNotice)
	{
		for (int foes = 0; foes < 12; foes++) {
			Actor *foe = NearestFoe(range);
			if (foe == nullptr)
				return true;
			if (!Fight(foe))
				return false;
		}
		return true;
	}

	// Walks along one axis to the centre of tile (x, y): x first when
	// alongX, fighting what comes near and reading what is shown.
	bool Leg(int x, int y, bool alongX)
	{
		const Vec3 goal = TileCentre(x, y);
		for (int frame = 0; frame < kWalkFrames; frame++) {
			if (!Hero().HasHearts())
				return false;
			if (MessageUp() || ActiveSequenceRunning()) {
				ReleaseArrows();
				Read();
				continue;
			}
			if (fight && !rearming && NearestFoe(kFoeNotice) != nullptr) {
				ReleaseArrows();
				if (!FightNear())
					return false;
				fought = true;
				continue;
			}
			const Vec3 d = goal - Where();
			const float off = alongX ? d.x : d.z;
			if (std::fabs(off) < kNear)
				break;
			ReleaseArrows();
			if (alongX)
				Press(off > 0.0f ? SDL_SCANCODE_RIGHT : SDL_SCANCODE_LEFT);
			else
				Press(off > 0.0f ? SDL_SCANCODE_DOWN : SDL_SCANCODE_UP);
			Frame();
		}
		ReleaseArrows();
		const Vec3 d = goal - Where();
		return std::fabs(alongX ? d.x : d.z) < kNear * 2.0f;
	}

	// Whether a placed thing stands solid on the tile (trees, signs, folk,
	// fires, stones, shut doors).
	bool Blocked(int x, int y)
	{
		for (MapObjectDef &record : Map().GetMapData().entityRecords) {
			if ((int)record.x != x || (int)record.y != y || !Entity::IsAlive(record.entity) ||
				record.entity->lifeState >= kLifePaused)
				continue;
			const uint32_t kind = record.type + 2u;
			if (const auto *door = dynamic_cast<const PropDoor *>(record.entity))
				return !door->IsOpen();
			if (const auto *block = dynamic_cast<const PropBlockRaiseLower *>(record.entity))
				return !block->IsLowered();
			if (kind == 3 || kind == 18 || kind == 20 || kind == 22 || (kind >= 26 && kind <= 31))
				return true;
		}
		return false;
	}
	// One tile to the next can be walked when the ground meets within a
	// step at their shared edge and neither is a wall top or water.
	bool CanStep(int x, int y, int nx, int ny, bool ignoreThings = false)
	{
		const TileMapData &data = Map().GetMapData();
		if (nx < 0 || ny < 0 || nx >= data.width || ny >= data.height)
			return false;
		const MapTile &to = Map().TileAt((int16_t)nx, (int16_t)ny);
		if (to.kind == 0 || to.level == 0 || to.level >= 5)
			return false;
		const float fx = 0.5f + 0.5f * (float)(nx - x);
		const float fz = 0.5f + 0.5f * (float)(ny - y);
		const float here = Map().HeightAtTile((int16_t)x, (int16_t)y, fx, fz);
		const float there = Map().HeightAtTile((int16_t)nx, (int16_t)ny, 1.0f - fx, 1.0f - fz);
		return std::fabs(here - there) < 0.3f && (ignoreThings || (!Blocked(nx, ny) && !OnLink(nx, ny)));
	}
	// A way off the map covers the tile (under the OG rules, walking onto
	// one leaves the map).
	bool OnLink(int x, int y)
	{
		for (const MapObjectDef &object : Map().GetMapData().objects)
			if (object.kind == kObjectExit && x >= object.x && x < object.x + object.w && y >= object.y &&
				y < object.y + object.h)
				return true;
		return false;
	}
	// The tiles from here to (x, y) along walkable ground, or none.
	std::vector<std::pair<int, int>> PathTo(int x, int y)
	{
		const TileMapData &data = Map().GetMapData();
		const int w = data.width;
		const int h = data.height;
		const PathTile at = Tile();
		std::vector<int> from((size_t)(w * h), -1);
		std::queue<int> open;
		const int start = at.y * w + at.x;
		if (at.x < 0 || at.y < 0 || at.x >= w || at.y >= h)
			return {};
		from[(size_t)start] = start;
		open.push(start);
		const int dx[] = {1, -1, 0, 0};
		const int dy[] = {0, 0, 1, -1};
		while (!open.empty()) {
			const int cell = open.front();
			open.pop();
			if (cell == y * w + x)
				break;
			for (int i = 0; i < 4; i++) {
				const int nx = cell % w + dx[i];
				const int ny = cell / w + dy[i];
				if (!CanStep(cell % w, cell / w, nx, ny, nx == x && ny == y))
					continue;
				const int next = ny * w + nx;
				if (from[(size_t)next] != -1)
					continue;
				from[(size_t)next] = cell;
				open.push(next);
			}
		}
		std::vector<std::pair<int, int>> path;
		int cell = y * w + x;
		if (from[(size_t)cell] == -1)
			return path;
		while (cell != start) {
			path.emplace_back(cell % w, cell / w);
			cell = from[(size_t)cell];
		}
		return {path.rbegin(), path.rend()};
	}
	// Along walkable ground to tile (x, y), a tile at a time.
	bool Go(int x, int y)
	{
		for (int tries = 0; tries < 12; tries++) {
			const std::vector<std::pair<int, int>> path = PathTo(x, y);
			if (path.empty())
				return Tile().x == x && Tile().y == y;
			bool walked = true;
			PathTile last = Tile();
			fought = false;
			for (const auto &[tx, ty] : path) {
				const bool alongX = tx != last.x;
				if (!Leg(tx, ty, alongX) || fought || !Leg(tx, ty, !alongX) || fought) {
					walked = false;
					break;
				}
				last.x = tx;
				last.y = ty;
			}
			if (walked)
				return Leg(x, y, true) && Leg(x, y, false);
		}
		return false;
	}
	// To tile (x, y): across first, then up or down.
	bool To(int x, int y) { return Leg(x, y, true) && Leg(x, y, false); }
	// To tile (x, y): up or down first, then across.
	bool ToY(int x, int y) { return Leg(x, y, false) && Leg(x, y, true); }

	// Walks on with the arrow held until the named map has loaded.
	bool Out(SDL_Scancode key, const char *next)
	{
		for (int frame = 0; frame < kWalkFrames && !On(next); frame++) {
			if (MessageUp()) {
				Release(key);
				Read();
				continue;
			}
			Press(key);
			Frame();
		}
		Release(key);
		play.WaitForMap(next);
		play.Frames(90); // the title banner
		Read();
		return true;
	}

	// Along walkable ground to tile (x, y) and out that way; under the OG
	// rules the walk may already cross the map's edge.
	bool OutVia(int x, int y, SDL_Scancode key, const char *next)
	{
		if (!Go(x, y) && !On(next))
			return false;
		return Out(key, next);
	}

	// Presses toward the record until the hero offers to use it, then uses
	// it and reads what it says.
	bool UseBy(SDL_Scancode key, uint16_t id)
	{
		MapObjectDef *record = Map().FindEntityRecordById(id);
		if (record == nullptr)
			return false;
		bool offered = false;
		for (int frame = 0; frame < 240 && !offered; frame++) {
			Press(key);
			Frame();
			offered = Hero().GetUseTarget() == record;
		}
		Release(key);
		if (!offered)
			return false;
		Tap(SDL_SCANCODE_SPACE, 20);
		Read();
		return true;
	}
	// Faces along the arrow and strikes once.
	void StrikeToward(SDL_Scancode key)
	{
		Press(key);
		play.Frames(6);
		Release(key);
		Tap(SDL_SCANCODE_SPACE, 30);
		Read();
	}
	// Saves at the fireplace of the record from (x, y), pressing toward it;
	// to rest, puts it out and lights it again (which heals). Under the OG
	// rules a fire lights as the hero walks into it.
	bool FireAt(int x, int y, SDL_Scancode toward, uint16_t id, bool rest)
	{
		if (!Go(x, y))
			return false;
		if (play.FiresLitByTouch()) {
			play.SaveAtFire();
			return Lit(id);
		}
		if (rest && !UseBy(toward, id))
			return false;
		return UseBy(toward, id) && Lit(id);
	}
	// The fireplace of the record burns: the game was saved there.
	bool Lit(uint16_t id)
	{
		const auto *fire = dynamic_cast<const PropSaveSwitch *>(EntityOf(id));
		return fire != nullptr && fire->IsLit();
	}
	// The rock block of the record has sunk out of the way.
	bool Lowered(uint16_t id)
	{
		const auto *block = dynamic_cast<const PropBlockRaiseLower *>(EntityOf(id));
		return block != nullptr && block->IsLowered();
	}
	// A pickup that was taken has left the map.
	bool Taken(uint16_t id)
	{
		Entity *entity = EntityOf(id);
		return entity == nullptr || entity->lifeState >= kLifePaused;
	}
	Entity *EntityOf(uint16_t id)
	{
		MapObjectDef *record = Map().FindEntityRecordById(id);
		return record != nullptr ? record->entity : nullptr;
	}

	PlaythroughDriver &play;
	bool fight = true;
	bool readAfterFight = true; // off for the last fight: its fall ends play
	// Walks to a spare sword and back when a blob has taken the hero's.
	std::function<bool()> rearm;
	bool rearming = false;
	bool fought = false; // a fight broke off the walk
};

#define STEP(cond)                  \
	do {                              \
		if (!(cond))                    \
			play.Fail("failed: " #cond); \
	} while (0)

} // namespace

// Beats every minion and ogre of the floor, the nearest first.
// Walks round what lies between (pools, rocks) to the spare weapon at the
// tile and takes it up: how a robbed hero arms again.
static bool RearmAt(PlaythroughDriver &play, int x, int y)
{
	play.WalkTo(x, y);
	return play.HeldKind() != 0;
}

static void ClearFloor(PlaythroughDriver &play)
{
	constexpr uint32_t kMinion = 54;
	constexpr uint32_t kOgre = 53;
	for (uint32_t kind : {kMinion, kOgre})
		while (AnyLiving(play, kind))
			play.StrikeKind(kind);
}

void RouteBlackTower(PlaythroughDriver &play)
{
	Hike hike(play);
	STEP(hike.On("blacktotown"));
	hike.Read();

	// Blacktotown: a save at the hamlet's fire; the locksmith tells of the
	// door and its key; Oswy's charm; the feed on the green; out by the
	// north gate.
	STEP(hike.FireAt(20, 8, SDL_SCANCODE_UP, 10, false));
	STEP(hike.Go(16, 8));
	STEP(hike.UseBy(SDL_SCANCODE_LEFT, 13));
	// Oswy's charm: a heart more for the woods.
	STEP(hike.Go(19, 14));
	const int before = play.Hero().GetStats().maxHearts;
	STEP(hike.UseBy(SDL_SCANCODE_DOWN, 15));
	STEP(play.Hero().GetStats().maxHearts > before);
	STEP(hike.Go(12, 2));
	STEP(hike.Taken(40));
	STEP(hike.OutVia(2, 1, SDL_SCANCODE_UP, "black2"));

	// The black woods: the blobs of the glen, the cooler on the ridge top,
	// then the hollow's crate: it lies against the wall below its plate, so
	// it goes east, up the far side, back west and up into the nook (six
	// pushes). The lane's two stones lie down and the way west is open.
	hike.rearm = [&] { return RearmAt(play, 2, 14); };
	STEP(hike.Go(5, 12));
	STEP(hike.FightNear(40.0f));
	STEP(hike.Go(23, 2));
	STEP(play.Flag("cooler3"));
	if (hike.Held() == 0)
		STEP(hike.rearm());
	hike.rearm = nullptr;
	// The obvious way first: west along the wall, where the crate sticks
	// in the corner. Out to the hamlet and back, and it lies where it began.
	const PathTile crateHome = play.TileOfEntity("Crate");
	play.Push("Crate", kDirWest, 2);
	play.FollowLink("blacktotown");
	STEP(hike.OutVia(2, 2, SDL_SCANCODE_UP, "black2"));
	STEP(play.TileOfEntity("Crate") == crateHome);
	play.Push("Crate", kDirEast, 1);
	play.Push("Crate", kDirNorth, 3);
	play.Push("Crate", kDirWest, 1);
	play.Push("Crate", kDirNorth, 1);
	play.WaitUntil([&] { return hike.Lowered(62) && hike.Lowered(63); }, "the lane's stones to lie down", 5.0f);
	STEP(hike.OutVia(1, 5, SDL_SCANCODE_LEFT, "black3"));

	// The glade: every blob burst, then the seer gives the storm blade. Its
	// first blow goes into the east stone, whose block sinks from the
	// letter's nook; the seer charges a second for the gate.
	hike.rearm = [&] { return RearmAt(play, 2, 24); };
	STEP(hike.Go(17, 13));
	STEP(hike.Go(8, 16));
	STEP(hike.FightNear(40.0f));
	STEP(hike.Map().IsGroupEnabled(1));
	// The seer's gift, asked for from a tile of her hilltop (the hero does
	// not use the same thing twice from one spot).
	auto stormBlade = [&](int x, int y, SDL_Scancode toward) {
		return hike.Go(x, y) && hike.UseBy(toward, 10) && hike.Held() == 46;
	};
	STEP(stormBlade(13, 9, SDL_SCANCODE_UP));
	hike.rearm = nullptr;
	STEP(hike.Go(19, 13));
	hike.StrikeToward(SDL_SCANCODE_UP);
	STEP(hike.Held() == 43);
	play.WaitUntil([&] { return hike.Lowered(61); }, "the block before the letter to sink", 5.0f);
	STEP(hike.Go(22, 16));
	STEP(hike.Taken(43));
	STEP(stormBlade(14, 8, SDL_SCANCODE_LEFT));
	STEP(hike.OutVia(1, 19, SDL_SCANCODE_LEFT, "black4"));

	// The black gate: a save at the camp fire, then the ogre who keeps the
	// stone court; his fall swings the court door. The storm blade wakes the
	// standing stone, the gate opens, and the way past it is remembered.
	STEP(hike.FireAt(24, 19, SDL_SCANCODE_DOWN, 36, false));
	// On Brutal two blobs wait by the camp fire, and the court door waits on
	// them too. A blob that takes the storm blade sends
	// the hero back to the seer, who gives it again to whoever asks (from
	// the other tile of her hilltop each time).
	int seerTrips = 0;
	auto backToTheSeer = [&] {
		if (!hike.Go(26, 17) || !hike.Out(SDL_SCANCODE_RIGHT, "black3"))
			return false;
		const bool armed = seerTrips++ % 2 == 0 ? stormBlade(13, 9, SDL_SCANCODE_UP) : stormBlade(14, 8, SDL_SCANCODE_LEFT);
		return armed && hike.Go(1, 19) && hike.Out(SDL_SCANCODE_LEFT, "black4");
	};
	hike.rearm = backToTheSeer;
	for (int tries = 0; tries < kRearms && play.IsAlive("Court Ogre"); tries++) {
		if (hike.Held() == 0)
			STEP(hike.rearm());
		play.Strike("Court Ogre");
	}
	STEP(hike.FightNear(40.0f));
	if (hike.Held() != 46)
		STEP(backToTheSeer());
	hike.rearm = nullptr;
	play.WaitUntil([&] { return !hike.Blocked(13, 14); }, "the court door to swing open", 5.0f);
	STEP(hike.Go(10, 13));
	STEP(hike.Held() == 46);
	hike.StrikeToward(SDL_SCANCODE_UP);
	STEP(hike.Held() == 43);
	play.Frames(60); // the gate swings
	STEP(hike.Go(13, 8));
	hike.Read();
	STEP(play.Flag("blackgate"));
	// Back to the camp fire to mend after the ogre: out and lit again.
	STEP(hike.FireAt(24, 19, SDL_SCANCODE_DOWN, 36, true));
	hike.rearm = [&] { return RearmAt(play, 25, 7); };
	STEP(hike.OutVia(1, 5, SDL_SCANCODE_LEFT, "black5"));

	// The tower foot: the blobs first (a robbed hero takes up the key the
	// sooner: it strikes too), then the iron key from its shelf (no sword
	// while it is carried). A blow of it opens the store by the pool and
	// its feed, another the tower door; the old sword lies inside.
	hike.rearm = [&] { return RearmAt(play, 22, 10) || RearmAt(play, 3, 9); };
	STEP(hike.FightNear(40.0f));
	STEP(hike.Go(3, 9));
	STEP(hike.Held() == 42);
	hike.rearm = nullptr;
	STEP(hike.Go(20, 16));
	hike.StrikeToward(SDL_SCANCODE_DOWN);
	play.Frames(60);
	STEP(hike.Go(20, 19)); // the feed by the pool
	STEP(hike.Taken(41));
	STEP(hike.Go(11, 9));
	hike.StrikeToward(SDL_SCANCODE_UP);
	play.Frames(60);
	STEP(hike.Go(11, 7));
	hike.Read();
	STEP(play.Flag("towerdoor"));
	STEP(hike.Go(13, 6));
	STEP(hike.Held() == 43);
	STEP(hike.OutVia(1, 4, SDL_SCANCODE_LEFT, "tower1"));

	// The hall: the fire by the door, the guard on the west gallery, and
	// the stair up from its far end.
	play.SaveAtFire();
	STEP(hike.Go(6, 7));
	ClearFloor(play);
	STEP(hike.Go(12, 5));
	play.RestAtFire();
	STEP(hike.OutVia(1, 7, SDL_SCANCODE_LEFT, "tower3"));

	// The keep stairs: the plate's nook opens to the east and the dais
	// stands between the crate and it, so the crate goes round: west along
	// the north wall, south past the dais, west into the nook.
	ClearFloor(play);
	if (play.IsAlive("tri3")) // unless the fight on the dais already ran over it
		play.Take("tri3");
	play.Push("Crate", kDirWest, 4);
	play.Push("Crate", kDirSouth, 8);
	play.Push("Crate", kDirWest, 5);
	play.WaitUntil([&] { return hike.Lowered(61) && hike.Lowered(62); }, "the keep stairs' blocks to sink", 5.0f);
	STEP(hike.OutVia(2, 14, SDL_SCANCODE_DOWN, "tower32"));

	// The keep: with the minions beaten the block sinks from the key's
	// niche off the east gallery; taking the key unlocks the upper door.
	ClearFloor(play);
	STEP(hike.Map().IsGroupEnabled(1));
	play.Frames(60); // the block sinks
	STEP(hike.Go(11, 14)); // the letter in the corner
	STEP(hike.Taken(40));
	STEP(hike.Go(13, 5));
	STEP(hike.Held() == 42);
	STEP(play.Flag("towerkey"));
	play.Frames(60); // the door swings
	STEP(hike.OutVia(3, 14, SDL_SCANCODE_DOWN, "towerf1"));

	// The armoury: a sword from the rack, the guard, the fire. Then the two
	// plates: the hall crate on the blue plate opens the store but raises
	// the blue stones on the stair; the store crate goes out and onto the
	// red plate, and the hall crate comes off the blue one again.
	// The sword first: the key's heavy blows knock a minion clean over the
	// store's wall, where no blade reaches it until the store is open.
	play.Take("Old sword");
	STEP(hike.Held() == 43);
	ClearFloor(play);
	STEP(hike.Go(13, 4)); // the fire answers from its south side
	play.RestAtFire();
	play.Push("Hall crate", kDirWest, 2);
	play.WaitUntil([&] { return hike.Lowered(45) && !hike.Lowered(46); }, "the store to open and the stair to shut", 5.0f);
	play.Push("Store crate", kDirEast, 8);
	play.Push("Store crate", kDirSouth, 6);
	play.Push("Hall crate", kDirWest, 1);
	STEP(hike.Go(8, 7)); // off the blue plate
	play.WaitUntil([&] { return hike.Lowered(46) && hike.Lowered(47) && hike.Lowered(48) && hike.Lowered(49); },
		"the stair's stones to sink", 5.0f);
	play.Take("puzzle16");
	STEP(hike.OutVia(6, 14, SDL_SCANCODE_DOWN, "towerf2"));

	// The ogres' hall: the cook and his minions, and the stair stone sinks
	// once the hall is quiet; the coin in his mess.
	play.Strike("Cook");
	ClearFloor(play);
	play.WaitUntil([&] { return hike.Lowered(61) && hike.Lowered(62); }, "the stair stone to sink", 5.0f);
	// Round by the hall's middle, clear of the stair head up to the armoury
	// (under the OG rules a hero brushing its edge walks back up).
	play.WalkTo(8, 3);
	play.Take("dragon8");
	STEP(hike.OutVia(9, 14, SDL_SCANCODE_DOWN, "towerf3"));

	// The fire at the stair head (out and lit again, for its power), the
	// guard of the altar, and Quillowen.
	STEP(hike.Go(13, 3)); // to the hearth
	play.RestAtFire();
	ClearFloor(play);
	play.Take("Quillowen");
	STEP(hike.Held() == 49);
	STEP(hike.Go(13, 3));
	play.RestAtFire(); // before the last floors
	STEP(hike.OutVia(2, 12, SDL_SCANCODE_DOWN, "towerf4"));

	// The causeway over the pit, walked without stopping while the lava
	// balls fall behind, then the guard on the far landing.
	hike.fight = false;
	STEP(hike.Go(7, 13));
	ClearFloor(play);
	STEP(hike.OutVia(7, 16, SDL_SCANCODE_DOWN, "towerf5"));

	// The throne: he comes down to meet the hero, and falls.
	STEP(hike.Go(7, 3));
	hike.Read();
	STEP(play.Flag("towertop"));
	auto *lord = dynamic_cast<Actor *>(hike.EntityOf(30));
	STEP(lord != nullptr);
	hike.readAfterFight = false;
	STEP(hike.Fight(lord));
	STEP(hike.FightNear(40.0f));
	// The lord and his guard are down: the fall's own lines, the ending
	// and the count-up follow on the next presses.
	STEP(hike.Map().IsGroupEnabled(1));
}

TALVEX_ROUTE_SEGMENT(kRouteBlackTower, RouteBlackTower);
