// The main quest through town, the north road and the south road: from the
// home link in town to the tinsmith's far gate into far2. The hero arrives
// with the plain sword, hears of the watchman in town, takes the woodcutter's
// axe in the north meadow, drives the chooks out of the watch's seed field so
// that Hale opens the north gate, crosses Crow Hill to Harrowgate, fells the
// smith's dead oak and has a proper blade forged from the axe, goes south
// through the gate the smith's blade opens, saves Pip from the crows at
// Fernbrook and walks him home to Tamsin, whose far gate then opens.
#include "Routes.h"

#include "engine/collision/Collider.h"
#include "map/TileCode.h"
#include "map/TileMap.h"
#include "objects/Actor.h"
#include "objects/MapEntityFactory.h"
#include "objects/Party.h"
#include "objects/PropBlockRaiseLower.h"
#include "objects/PropDoor.h"
#include "objects/PropTree.h"
#include "support/PlaythroughDriver.h"
#include "support/TilePathFinder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

namespace {

constexpr uint32_t kChook = 50;
constexpr uint32_t kChook2 = 51;
constexpr uint32_t kBird = 61;
constexpr uint32_t kPlainSword = 43;
constexpr uint32_t kAxe = 44;
constexpr uint32_t kFireplace = 22;
constexpr uint32_t kPip = 30; // a locksmith's lad
constexpr int kChopTries = 12;
constexpr float kSameGround = 0.3f; // world units: a level is 0.75

// Live foes of the kind on the hero's map, by their map records.
int Standing(PlaythroughDriver &play, uint32_t kind)
{
	int count = 0;
	for (const MapObjectDef &record : play.Scene().GetMap().GetMapData().entityRecords) {
		if (MapEntityKindFromType(record.type) != kind || !Entity::IsAlive(record.entity) || !record.entity->IsActive())
			continue;
		const auto *actor = dynamic_cast<const Actor *>(record.entity);
		if (actor != nullptr && actor->HasHearts() && actor->GetFaction() == kFactionHostile)
			count++;
	}
	return count;
}

// Fights every foe of the kinds on this map, nearest first.
void ClearFoes(PlaythroughDriver &play, std::initializer_list<uint32_t> kinds)
{
	for (uint32_t kind : kinds)
		while (Standing(play, kind) > 0)
			play.StrikeKind(kind);
}

MapEntity *EntityNamed(PlaythroughDriver &play, const std::string &name)
{
	for (const MapObjectDef &record : play.Scene().GetMap().GetMapData().entityRecords)
		if (record.name.IsSet() && name == record.name.Get())
			return dynamic_cast<MapEntity *>(record.entity);
	return nullptr;
}

// The tiles solid things stand on now.
std::set<PathTile> TakenTiles(PlaythroughDriver &play)
{
	TileMap &map = play.Scene().GetMap();
	std::set<PathTile> taken;
	for (uint16_t i = 0; i < play.Scene().GetEntityCount(); i++) {
		const Entity *entity = play.Scene().GetEntityAt(i);
		if (entity == nullptr || entity == &play.Hero() || entity->collider == nullptr || !entity->IsActive())
			continue;
		const int32_t mode = entity->collider->mode;
		if (mode != Collider::kModeStatic && mode != Collider::kModeSolid)
			continue;
		// As the driver's path finder counts them: the collider's box, a
		// little inset.
		const ColliderBox &box = entity->collider->UpdateBounds();
		const Vec3 inset(0.2f, 0.0f, 0.2f);
		int16_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
		map.WorldToTile(box.centre - box.half + inset, x0, y0);
		map.WorldToTile(box.centre + box.half - inset, x1, y1);
		for (int y = y0; y <= y1; y++)
			for (int x = x0; x <= x1; x++)
				taken.insert({x, y});
	}
	return taken;
}

float GroundAt(TileMap &map, const PathTile &tile)
{
	return map.TilePosition(static_cast<int16_t>(tile.x), static_cast<int16_t>(tile.y), 0.5f, 0.5f).y;
}

// The free tile the hero can walk to two steps from the entity (in line
// with it when straight is asked for) that lies most nearly toward the
// hero; the entity's own tile when there is none.
PathTile FreeTileBy(PlaythroughDriver &play, const Entity &entity, bool straight)
{
	TileMap &map = play.Scene().GetMap();
	int16_t ex = 0, ey = 0;
	map.WorldToTile(entity.transform.position, ex, ey);
	const std::set<PathTile> taken = TakenTiles(play);
	const TilePathFinder ground(map);
	const std::set<PathTile> reachable = ground.Reachable(play.HeroTile());
	const Vec3 toward = play.Hero().transform.position - entity.transform.position;
	PathTile best{ex, ey};
	float bestScore = -1e9f;
	for (int dy = -2; dy <= 2; dy++) {
		for (int dx = -2; dx <= 2; dx++) {
			const PathTile tile{ex + dx, ey + dy};
			const bool onRing = straight ? std::abs(dx) + std::abs(dy) == 2 && (dx == 0 || dy == 0)
										 : std::max(std::abs(dx), std::abs(dy)) == 2;
			if (!onRing || taken.count(tile) != 0 || reachable.count(tile) == 0)
				continue;
			// On the entity's own ground, and so the tile between, when the
			// approach is straight: no ledge to climb on the way up to it.
			if (std::fabs(GroundAt(map, tile) - entity.transform.position.y) > kSameGround)
				continue;
			const PathTile between{ex + dx / 2, ey + dy / 2};
			if (straight && std::fabs(GroundAt(map, between) - entity.transform.position.y) > kSameGround)
				continue;
			const float score = static_cast<float>(dx) * toward.x + static_cast<float>(dy) * toward.z;
			if (score > bestScore) {
				bestScore = score;
				best = tile;
			}
		}
	}
	return best;
}

// Steps back from whatever solid thing the hero stands pressed against
// after a talk or at a fire, so that the next walk does not begin inside
// its tile.
void StepBack(PlaythroughDriver &play)
{
	const Vec3 hero = play.Hero().transform.position;
	const Entity *near = nullptr;
	float nearest = 4.0f; // squared world units: within two of the hero
	for (uint16_t i = 0; i < play.Scene().GetEntityCount(); i++) {
		const Entity *entity = play.Scene().GetEntityAt(i);
		if (entity == nullptr || entity == &play.Hero() || entity->collider == nullptr || !entity->IsActive())
			continue;
		const int32_t mode = entity->collider->mode;
		if (mode != Collider::kModeStatic && mode != Collider::kModeSolid)
			continue;
		Vec3 d = entity->transform.position - hero;
		d.y = 0.0f;
		if (glm::dot(d, d) < nearest) {
			nearest = glm::dot(d, d);
			near = entity;
		}
	}
	if (near == nullptr)
		return;
	const PathTile to = FreeTileBy(play, *near, false);
	int16_t nx = 0, ny = 0;
	play.Scene().GetMap().WorldToTile(near->transform.position, nx, ny);
	if (to.x != nx || to.y != ny)
		play.WalkTo(to.x, to.y);
}

// Whether the named gate of this map stands open.
bool GateOpen(PlaythroughDriver &play, const std::string &name)
{
	const auto *gate = dynamic_cast<const PropDoor *>(EntityNamed(play, name));
	if (gate == nullptr)
		play.Fail("no gate named \"" + name + "\" on " + play.MapName());
	return gate->IsOpen();
}

// Whether the named stone block of this map has sunk out of the way.
bool StoneDown(PlaythroughDriver &play, const std::string &name)
{
	const auto *block = dynamic_cast<const PropBlockRaiseLower *>(EntityNamed(play, name));
	if (block == nullptr)
		play.Fail("no stone block named \"" + name + "\" on " + play.MapName());
	return block->IsLowered();
}

// Whether the named gate of this map and the stone bar behind it (which no
// key lifts) both let the hero through.
bool WayOpen(PlaythroughDriver &play, const std::string &gate, const std::string &bar)
{
	return GateOpen(play, gate) && StoneDown(play, bar);
}

// Walks to a free tile in line with the entity two steps off and presses
// on toward it; the key pressed. Fails when no such tile can be reached.
SDL_Scancode WalkUpTo(PlaythroughDriver &play, const Entity &entity, const std::string &what)
{
	const PathTile by = FreeTileBy(play, entity, true);
	int16_t tx = 0, ty = 0;
	play.Scene().GetMap().WorldToTile(entity.transform.position, tx, ty);
	if (by.x == tx && by.y == ty)
		play.Fail("no way up to the " + what);
	play.WalkTo(by.x, by.y);
	const SDL_Scancode face = by.y > ty ? SDL_SCANCODE_UP
		: by.y < ty                      ? SDL_SCANCODE_DOWN
		: by.x > tx                      ? SDL_SCANCODE_LEFT
										 : SDL_SCANCODE_RIGHT;
	const auto *target = dynamic_cast<const MapEntity *>(&entity);
	for (int i = 0; i < 24 && (target == nullptr || play.Hero().GetUseTarget() != target->mapObject); i++)
		play.Hold({face}, 5);
	return face;
}

// Walks straight up to the nearest fireplace until it offers itself, then
// lights it and checks the save.
void SaveAtFire(PlaythroughDriver &play)
{
	const Entity *fire = nullptr;
	float nearest = 1e9f;
	for (const MapObjectDef &record : play.Scene().GetMap().GetMapData().entityRecords) {
		if (MapEntityKindFromType(record.type) != kFireplace || record.entity == nullptr)
			continue;
		const Vec3 d = record.entity->transform.position - play.Hero().transform.position;
		if (glm::dot(d, d) < nearest) {
			nearest = glm::dot(d, d);
			fire = record.entity;
		}
	}
	if (fire == nullptr)
		play.Fail("no fireplace on " + play.MapName());
	WalkUpTo(play, *fire, "fireplace");
	play.SaveAtFire();
}

// Lights the nearest fire, then puts it out for its warmth and lights it
// again: how a careful player mends before a fight.
void RestAtFire(PlaythroughDriver &play)
{
	SaveAtFire(play);
	play.RestAtFire();
}

// Walks up to the named tree, faces it and swings the axe until it is
// down.
void Fell(PlaythroughDriver &play, const std::string &name)
{
	auto *tree = dynamic_cast<PropTree *>(EntityNamed(play, name));
	if (tree == nullptr)
		play.Fail("no tree named \"" + name + "\" on " + play.MapName());
	const SDL_Scancode face = WalkUpTo(play, *tree, name);
	for (int i = 0; i < kChopTries && !tree->IsChopped(); i++) {
		play.Hold({face}, 10); // up against the trunk
		play.Tap(SDL_SCANCODE_SPACE, 30);
	}
	if (!tree->IsChopped())
		play.Fail("the " + name + " still stands");
}

} // namespace

namespace {

// Whether the named stone of Fernbrook's old ford has sunk.
bool Sunk(PlaythroughDriver &play, const char *name)
{
	const auto *stone = dynamic_cast<const PropBlockRaiseLower *>(EntityNamed(play, name));
	if (stone == nullptr)
		play.Fail(std::string("no ford stone named \"") + name + "\" on " + play.MapName());
	return stone->IsLowered();
}

bool FordOpen(PlaythroughDriver &play)
{
	for (const char *name : {"blue stone", "blue stone two", "red stone", "red stone two"})
		if (!Sunk(play, name))
			return false;
	return true;
}

} // namespace

void RouteTownRoads(PlaythroughDriver &play)
{
	// Town: the oracle by the square tells of the watchman; the square's
	// fire mends the hero before the road.
	ASSERT_EQ("town", play.MapName());
	ASSERT_EQ(kPlainSword, play.HeldKind());
	RestAtFire(play);
	StepBack(play);
	play.Talk("Sefa");
	play.Answer(true);
	play.Continue();
	StepBack(play);
	play.FollowLink("north1");

	// The north meadow: two chooks in the gully below the north gap, then the
	// woodcutter's axe off the rack, where a spare blade stays for a swap back.
	ClearFoes(play, {kChook});
	play.Talk("Garrick");
	play.Continue();
	StepBack(play);
	if (play.HeldKind() != kAxe) // pickups lie in the way on the OG maps
		play.Take("axe");
	ASSERT_EQ(kAxe, play.HeldKind());
	play.FollowLink("north2");

	// The north watch: Hale keeps the gate shut until the seed field is
	// clear of chooks. The fire at his post mends the hero first.
	play.Talk("Hale");
	play.Continue();
	StepBack(play);
	RestAtFire(play);
	StepBack(play);
	EXPECT_FALSE(play.Flag("northwatch"));
	EXPECT_FALSE(WayOpen(play, "watch gate", "watch bar")) << "the watch gate is shut before the field is cleared";
	ClearFoes(play, {kChook, kChook2});
	EXPECT_FALSE(WayOpen(play, "watch gate", "watch bar")) << "beating the chooks is not enough: Hale must be told";
	play.Continue();
	play.Talk("Hale");
	play.Continue();
	play.WaitUntil([&] { return play.Flag("northwatch"); }, "the watchman to stand aside");
	play.WaitUntil([&] { return WayOpen(play, "watch gate", "watch bar"); }, "the watch gate to open");
	StepBack(play);
	play.FollowLink("nortow3");

	// Crow Hill: the dead ash at the foot of the upper steps felled with the
	// meadow's axe, the crows that come down on the climb, the feed on the
	// summit, then the crest cut. The wedged crate under the plate's nook
	// cannot be pushed up into it (a rock stands behind it), so it slides
	// aside; the loose crate comes along the row above it and goes up onto
	// the plate.
	Fell(play, "dead ash");
	ClearFoes(play, {kBird, kChook});
	play.Take("puzzle6");
	EXPECT_FALSE(StoneDown(play, "crest stone")) << "the crest cut is shut before the plate is weighed";
	play.Push("wedged crate", kDirWest, 1);
	play.Push("loose crate", kDirEast, 4);
	EXPECT_FALSE(StoneDown(play, "crest stone")) << "the crate beside the nook is not on the plate";
	play.Push("loose crate", kDirNorth, 1);
	play.WaitUntil([&] { return StoneDown(play, "crest stone") && StoneDown(play, "crest stone two"); },
		"the crest stones to sink", 5.0f);
	play.FollowLink("town2");

	// Harrowgate: the innkeeper's remedy, a heart more; the gate guard sends
	// the hero to the smith.
	const int heartsBefore = play.Hero().GetStats().maxHearts;
	play.Talk("Ilsa");
	play.Continue();
	EXPECT_GT(play.Hero().GetStats().maxHearts, heartsBefore);
	StepBack(play);
	EXPECT_FALSE(WayOpen(play, "south gate", "south bar")) << "the south road is shut before the smith's blade";
	play.Talk("Dunn");
	play.Continue();
	StepBack(play);
	play.FollowLink("hutsmith");

	// The smithy: fell the dead oak for Orla's forge and hand her the axe;
	// she forges the proper blade. The plate in her yard drops the stone at
	// the foot of the woodpile where the cooler lies; the boulder on the forge
	// terrace rolls down over the plate unless the charcoal crate, brought
	// down the lane and across the yard, stands beyond it first.
	play.Talk("Orla");
	play.Continue();
	StepBack(play);
	Fell(play, "dead oak");
	play.Talk("Orla");
	play.Answer(true);
	play.Continue();
	play.WaitUntil([&] { return play.Flag("smithsword"); }, "the blade to be forged");
	ASSERT_EQ(kPlainSword, play.HeldKind());
	StepBack(play);
	EXPECT_FALSE(StoneDown(play, "woodpile stone")) << "the woodpile steps are shut before the plate is weighed";
	play.Push("charcoal crate", kDirSouth, 10);
	play.Push("charcoal crate", kDirEast, 6);
	EXPECT_FALSE(StoneDown(play, "woodpile stone")) << "the crate stands beyond the plate, not on it";
	play.Push("terrace boulder", kDirSouth, 8);
	play.WaitUntil([&] { return StoneDown(play, "woodpile stone"); }, "the woodpile stone to sink", 5.0f);
	play.Take("cooler1");
	play.FollowLink("town2");
	play.WaitUntil([&] { return WayOpen(play, "south gate", "south bar"); }, "the smith's blade to open the south road", 5.0f);
	RestAtFire(play);
	StepBack(play);
	play.FollowLink("south0");

	// The Southwood: a chook on the sunken lane, a sturdier one in the glade
	// where the lane turns south.
	ClearFoes(play, {kChook, kChook2});
	play.FollowLink("south1");

	// Fernbrook: the chook on the lawn before the old ford, a rest at the
	// east bank's fire, then the ford's
	// stones, which sink only while both plates of the yard hold a crate. The
	// ford crate stands where the hero must stand to push the yard crate
	// into the north plate's niche, so it goes first, west onto the blue
	// plate; then the yard crate north, west and north onto the red one.
	ClearFoes(play, {kChook2});
	RestAtFire(play);
	StepBack(play);
	EXPECT_FALSE(FordOpen(play)) << "the ford's stones stand before the plates are pressed";
	play.Push("ford crate", kDirWest, 3);
	EXPECT_TRUE(Sunk(play, "blue stone") && Sunk(play, "blue stone two")) << "the blue plate sinks the blue stones";
	EXPECT_FALSE(Sunk(play, "red stone") || Sunk(play, "red stone two")) << "and only those";
	play.Push("yard crate", kDirNorth, 2);
	play.Push("yard crate", kDirWest, 3);
	play.Push("yard crate", kDirNorth, 1);
	play.WaitUntil([&] { return FordOpen(play); }, "the ford's stones to sink", 5.0f);

	// Over the ford Pip hides from the crows in the brambles; once they are
	// gone he joins the hero.
	play.Talk("Pip");
	play.Continue();
	StepBack(play);
	ClearFoes(play, {kBird});
	play.Continue();
	SaveAtFire(play);
	StepBack(play);
	play.Talk("Pip");
	play.Answer(true);
	play.Continue();
	ASSERT_TRUE(play.Flag("pipjoined"));
	play.FollowLink("south4");

	// Bramble Hollow, down by its steps: a chook on the shelf under the rim,
	// a crow over the floor.
	ClearFoes(play, {kChook2, kBird});
	play.FollowLink("tinsmith");

	// The works: Tamsin takes his lad and his tin back and opens his gate.
	EXPECT_TRUE(Party::Instance().IsMember(kPip)) << "Pip follows the hero to the works";
	EXPECT_FALSE(WayOpen(play, "far gate", "far bar")) << "the far gate is shut before the tin is home";
	play.Talk("Tamsin");
	play.Continue();
	play.WaitUntil([&] { return play.Flag("tinpot"); }, "the tinsmith's thanks");
	EXPECT_FALSE(Party::Instance().IsMember(kPip)) << "Pip stays at the works";
	play.WaitUntil([&] { return WayOpen(play, "far gate", "far bar"); }, "the far gate to open");
	StepBack(play);
	SaveAtFire(play);
	StepBack(play);
	play.FollowLink("far2");
}

TALVEX_ROUTE_SEGMENT(kRouteTownRoads, RouteTownRoads);
