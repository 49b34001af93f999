// The hot lands and the cold lakes, played from the road down from the
// mountains (hot1, holding the plain sword) to the crossing into the black
// woods (blacktotown, holding the ice sword, the springs cooled and the lakes
// thawed).
#include "Routes.h"

#include "game/TalvexGameScene.h"
#include "map/TileCode.h"
#include "map/TileMap.h"
#include "objects/Party.h"
#include "objects/PropBlockRaiseLower.h"
#include "support/PlaythroughDriver.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr uint32_t kSword = 43;
constexpr uint32_t kFireSword = 45;
constexpr uint32_t kIceSword = 47;
constexpr uint32_t kTownee = 26; // Hake's kind, a member while he comes along
// The rock blocks that shut hot1's way east and coldn's way south.
constexpr std::initializer_list<uint16_t> kSpringBlocks = {20, 21, 22};
constexpr std::initializer_list<uint16_t> kFrostBlocks = {20, 22, 23};
// The heart-ice on the north lake, a block of the same group.
constexpr std::initializer_list<uint16_t> kHeartIce = {26};
// The gate stones of Skerry Ice that its plate sinks.
constexpr std::initializer_list<uint16_t> kSkerryGate = {31, 32};
// hot2's warden plate sinks the nook's block and raises the pocket's; the
// west gate sinks once every foe of the steps is beaten.
constexpr std::initializer_list<uint16_t> kNookBlocks = {13};
constexpr std::initializer_list<uint16_t> kPocketDoor = {17};
constexpr std::initializer_list<uint16_t> kWestGate = {19, 20, 21};

// Fails the play unless it goes on from the named map.
void Expect(PlaythroughDriver &play, const std::string &map)
{
	if (play.MapName() != map)
		play.Fail("the road should go on from " + map);
}

// Whether every rock block of the list (entity record ids of the current
// map) has sunk out of the way.
bool BlocksDown(PlaythroughDriver &play, std::initializer_list<uint16_t> ids)
{
	for (uint16_t id : ids) {
		MapObjectDef *record = play.Scene().GetMap().FindEntityRecordById(id);
		auto *block = record != nullptr ? dynamic_cast<PropBlockRaiseLower *>(record->entity) : nullptr;
		if (block == nullptr)
			play.Fail("no rock block with record id " + std::to_string(id) + " on " + play.MapName());
		if (!block->IsLowered())
			return false;
	}
	return true;
}

// Beats every named foe of the list that still stands on the current map.
void BeatAll(PlaythroughDriver &play, std::initializer_list<const char *> foes, float seconds = 90.0f)
{
	for (const char *foe : foes) {
		if (play.IsAlive(foe))
			play.Strike(foe, seconds);
	}
}

// The boiling springs: the Fury from the shrine, the wizard who yields only
// to it, and the gate plateau's blocks that sink once the springs are cooled.
void HotSprings(PlaythroughDriver &play)
{
	Expect(play, "hot1");
	if (play.HeldKind() != kSword)
		play.Fail("the mountains should hand over the plain sword, not kind " + std::to_string(play.HeldKind()));
	play.Talk("Sulla");
	play.Continue();
	EXPECT_FALSE(play.Flag("hotspring"));
	EXPECT_FALSE(BlocksDown(play, kSpringBlocks)) << "the way to the lakes is shut while the springs boil";

	// The shrine lies past the spitting pools; the Fury takes the plain
	// sword's place in the hero's hands.
	play.WalkTo(30, 21);
	play.WaitUntil([&] { return play.HeldKind() == kFireSword; }, "the Fury in hand");
	play.Continue();
	BeatAll(play, {"Bomb 1", "Bomb 2", "Bomb 3", "Bomb 4"});
	// The fire by the spring head: a save and full hearts before the wizard.
	play.SaveAtFire();
	// No one walks to his island; the Fury's flame crosses the spring. From
	// the shore, out of reach of his ice, facing him across the lava.
	play.WalkTo(23, 11);
	play.WalkTo(23, 10);
	for (int swing = 0; swing < 120 && play.IsAlive("Fire Wizard"); swing++) {
		if (play.MessageShown())
			play.Continue();
		play.Tap(SDL_SCANCODE_SPACE, 20);
	}
	if (play.IsAlive("Fire Wizard"))
		play.Fail("the fire wizard still stands after 120 swings of the Fury from the shore");
	play.Continue();
	play.WaitUntil([&] { return play.Flag("hotspring"); }, "the springs cooled");
	play.Continue();
	play.WaitUntil([&] { return BlocksDown(play, kSpringBlocks); }, "the gate plateau's blocks to sink");
	play.Talk("Sulla");
	play.Continue();
	play.FollowLink("cold3");
}

// Skerry Ice and Rimehaven: the shore road round the frozen lake and the
// skerry's gate stones, Mother Rime's tale of the heart-ice, Hake who joins,
// the frost heights up to the north lake.
void FrozenLakes(PlaythroughDriver &play)
{
	Expect(play, "cold3");
	// Back to the springs and on again: the blocks stay down and the foes
	// beaten on a new visit.
	play.FollowLink("hot1");
	play.WaitUntil([&] { return BlocksDown(play, kSpringBlocks); }, "the blocks to be down on a new visit", 2.0f);
	EXPECT_FALSE(play.IsAlive("Fire Wizard")) << "the wizard stays beaten";
	EXPECT_FALSE(play.IsAlive("Bomb 1")) << "the flats stay cleared";
	play.FollowLink("cold3");
	play.Talk("Orm");
	play.Continue();
	RollSkerryStones(play);
	play.FollowLink("cold4");
	play.Talk("Mother Rime");
	play.Continue();
	// Hake the ice-sawyer comes along to the north lake.
	play.Talk("Hake");
	play.Answer(true);
	play.Continue();
	play.WaitUntil([&] { return Party::Instance().IsMember(kTownee); }, "Hake to join");
	play.FollowLink("coldn");
}

// The heart-ice: Hake, who came along, leaves the party to wait on the shore;
// the Inverted Fury from the ice shrine is lent to him; he cuts the
// heart-ice and hands it back; the frost on the south road lifts.
void HeartIce(PlaythroughDriver &play)
{
	Expect(play, "coldn");
	// Hake leaves the party here and goes to wait on the shore.
	play.Continue();
	play.WaitUntil([&] { return !Party::Instance().IsMember(kTownee); }, "Hake to leave the party");
	EXPECT_FALSE(play.Flag("coldthaw"));
	EXPECT_FALSE(BlocksDown(play, kFrostBlocks)) << "the south road is shut while the lakes are frozen";
	EXPECT_FALSE(BlocksDown(play, kHeartIce));
	play.WalkTo(30, 4);
	play.WaitUntil([&] { return play.HeldKind() == kIceSword; }, "the Inverted Fury in hand");
	play.Continue();
	// Back across the ice to Hake, coming at him along the shore.
	play.WalkTo(26, 23);
	play.Talk("Hake");
	play.Answer(true);
	play.Continue();
	play.WaitUntil([&] { return play.Flag("coldthaw"); }, "the heart-ice cut");
	play.Continue();
	play.WaitUntil([&] { return BlocksDown(play, kFrostBlocks) && BlocksDown(play, kHeartIce); }, "the frost blocks and the heart-ice to sink");
	play.WaitUntil([&] { return play.HeldKind() == kIceSword; }, "the Inverted Fury given back");
	play.Continue();
	play.FollowLink("hot2");
}

// The cinder steps: the bombs of the terraces, the warden's lane (his crate
// out of its pocket into the lane, then his boulder rolled down the lane
// onto the plate, where the crate stops it: the nook opens and the pocket
// shuts), the plain's crows, the fire by the hollow and the ogre below it,
// whose fall sinks the west gate. Then the smoking road to the black woods.
void SmokingRoad(PlaythroughDriver &play)
{
	Expect(play, "hot2");
	play.SaveAtFire();
	play.Talk("Brand");
	play.Continue();
	BeatAll(play, {"Bomb 1", "Bomb 2", "Bomb 3"});
	EXPECT_TRUE(BlocksDown(play, kPocketDoor)) << "the pocket stands open while the plate is up";
	play.Push("Cinder crate", kDirSouth, 2);
	EXPECT_FALSE(BlocksDown(play, kNookBlocks)) << "the crate alone weighs down no plate";
	play.Push("Boulder", kDirEast, 5);
	play.WaitUntil([&] { return BlocksDown(play, kNookBlocks) && !BlocksDown(play, kPocketDoor); },
		"the plate to sink the nook's block and raise the pocket's");
	play.Take("puzzle13");
	// The crows of the plain with the hollow's fire at the hero's back, and
	// the fire again before the ogre.
	play.SaveAtFire("Hollow fire");
	BeatAll(play, {"Crow 1", "Crow 2"});
	EXPECT_FALSE(BlocksDown(play, kWestGate)) << "the west gate stands while the ogre does";
	play.SaveAtFire("Hollow fire");
	play.Strike("Cinder Ogre", 120.0f);
	play.WaitUntil([&] { return BlocksDown(play, kWestGate); }, "the west gate to sink");
	play.FollowLink("hotn");
	// Back up to the steps and down again: the ogre stays beaten, the gate
	// and the warden's boulder stay where the fight and the puzzle left them.
	play.FollowLink("hot2");
	play.WaitUntil([&] { return BlocksDown(play, kWestGate) && BlocksDown(play, kNookBlocks); },
		"the gate and the nook to stay open on a new visit", 2.0f);
	EXPECT_FALSE(play.IsAlive("Cinder Ogre")) << "the ogre stays beaten";
	EXPECT_EQ(play.TileOfEntity("Boulder"), play.TileOfEntity("Warden plate")) << "the boulder stays on the plate";
	play.FollowLink("hotn");
	play.Talk("Vell");
	play.Continue();
	play.FollowLink("blacktotown");
}

} // namespace

// The shore stone first: rolled east along the north shore to the frost lump,
// then off the shore and down the ice until the skerry stops it beside the
// plate; then the skerry stone, rolled east along the ice: it stops against
// the first, on the plate (rolled alone it runs over the plate into the open
// water). The plate sinks the gate stones.
void RollSkerryStones(PlaythroughDriver &play)
{
	Expect(play, "cold3");
	EXPECT_FALSE(BlocksDown(play, kSkerryGate)) << "the gate to Rimehaven stands while the plate is up";
	play.Push("Shore stone", kDirEast, 5);
	play.Push("Shore stone", kDirSouth, 5);
	EXPECT_FALSE(BlocksDown(play, kSkerryGate)) << "the shore stone stops short of the plate";
	play.Push("Skerry stone", kDirEast, 4);
	play.WaitUntil([&] { return BlocksDown(play, kSkerryGate); }, "the skerry plate to sink the gate stones");
}

void RouteHotCold(PlaythroughDriver &play)
{
	HotSprings(play);
	FrozenLakes(play);
	HeartIce(play);
	SmokingRoad(play);
	EXPECT_TRUE(play.Flag("hotspring"));
	EXPECT_TRUE(play.Flag("coldthaw"));
	const uint32_t held = play.HeldKind();
	EXPECT_TRUE(held == kFireSword || held == kIceSword) << "holding " << held;
}

TALVEX_ROUTE_SEGMENT(kRouteHotCold, RouteHotCold);
