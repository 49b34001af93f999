// The far fields and the mountains, from the tinsmith's road to the pass:
// Agnes's lane and the long meadow with their birds; Hedda's farm, whose
// well runs clear once the yard's roller, stopped by a crate, holds the
// sluice plate down and she hears of it (only then does her hill gate
// open); the hollow's alcove off the farm; the foothills' terraces and
// Grool on the high shelf; the frost steps with their shelter; and the
// quarry of the pass, whose two plates take a crate, and a boulder stopped
// by a second crate, before Orrin drops the rockfall. The hero of this road
// has few hearts, so it rests at a fire after each fight that cost any.
#include "Routes.h"

#include "map/TileCode.h"
#include "objects/Actor.h"
#include "objects/MapEntity.h"
#include "objects/Player.h"
#include "support/PlaythroughDriver.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr uint32_t kChook2 = 51;
constexpr uint32_t kChookBoss = 52;
constexpr uint32_t kChookBomb = 57;
constexpr uint32_t kBird = 61;

// A live foe of the kind stands on the hero's map.
bool AnyStanding(PlaythroughDriver &play, uint32_t kind)
{
	TalvexGameScene &scene = play.Scene();
	for (uint16_t i = 0; i < scene.GetEntityCount(); i++) {
		Entity *entity = scene.GetEntityAt(i);
		if (IsLivingActor(entity) && static_cast<MapEntity *>(entity)->GetKind() == kind)
			return true;
	}
	return false;
}

// The tile beside a map's fire, from which the hero comes up to it.
struct Fire {
	int x;
	int y;
};

// Rests at the map's fire: the hero of this road has only two hearts.
void Rest(PlaythroughDriver &play, const Fire &fire)
{
	play.WalkTo(fire.x, fire.y);
	play.RestAtFire();
	play.WalkTo(fire.x + 1, fire.y); // clear of it again
}

// Beats every foe of the kinds on the map, the nearest first; with a fire
// on the map the hero rests there after each fight that cost hearts.
void ClearFoes(PlaythroughDriver &play, std::initializer_list<uint32_t> kinds, const Fire *fire = nullptr)
{
	for (uint32_t kind : kinds) {
		for (int fought = 0; fought < 8 && AnyStanding(play, kind); fought++) {
			play.StrikeKind(kind);
			if (fire != nullptr && play.Hearts() < play.Hero().GetStats().maxHearts)
				Rest(play, *fire);
		}
		if (AnyStanding(play, kind))
			play.Fail("a foe of kind " + std::to_string(kind) + " still stands on " + play.MapName());
	}
}

// Talks the named one through what they say, then steps off to a free tile
// so that the way on does not lead through them.
void TalkTo(PlaythroughDriver &play, const std::string &name, int backX, int backY)
{
	play.Talk(name);
	play.Continue();
	play.WalkTo(backX, backY);
}

void FarFields(PlaythroughDriver &play)
{
	// The lane: Agnes tells of the well; a bird in the east field comes at
	// the hero.
	ASSERT_EQ("far2", play.MapName());
	const Fire laneFire{7, 4};
	Rest(play, laneFire);
	TalkTo(play, "Agnes", 10, 17);
	play.WalkTo(13, 10); // up the ramp into the east field
	ClearFoes(play, {kBird}, &laneFire);
	// The feed on the knoll of the west field.
	play.Take("puzzle9");
	play.FollowLink("far3");

	// The long meadow, over the causeway.
	TalkTo(play, "Jory", 11, 17);
	const Fire meadowFire{18, 19};
	Rest(play, meadowFire);
	// The hen on the north-east hilltop guards the dragon coin there, well
	// off the road; the bird over the upper meadow comes down at anyone.
	ClearFoes(play, {kBird}, &meadowFire);
	play.FollowLink("far4");

	// Hedda's farm: her hill gate is shut, and the yard gate too until she
	// is asked. In the yard a hen keeps to the spring end; once the plate
	// in the trough is held down the sluice stone drops and the spring runs
	// again. The hill gate to the foothills opens once she has heard of it.
	EXPECT_FALSE(play.Flag("farwell"));
	play.Talk("Hedda");
	play.Answer(true);
	play.Continue();
	const Fire farmFire{18, 19};
	Rest(play, farmFire);
	// The hens nest by the spring at the yard's far end, beside its water:
	// drawn out through the gate, they are met on the open field below it.
	play.WalkTo(15, 10);
	play.WalkTo(15, 13);
	play.StandGuard(10.0f, [&] { return !AnyStanding(play, kChook2); });
	ClearFoes(play, {kChook2}, &farmFire);
	// The plate lies in the stone trough, one tile short of its closed
	// end. The roller at the trough's mouth runs straight past it, so the
	// crate goes first: along the yard and down through the gap into the
	// trough's last tile, where it stops the roller on the plate.
	play.Push("Yard crate", kDirEast, 2);
	play.Push("Yard crate", kDirSouth, 2);
	play.Push("Yard boulder", kDirEast, 5);
	EXPECT_FALSE(play.Flag("farwell")) << "the well runs clear before Hedda hears of it";
	play.WalkTo(15, 12); // up to her from her other side
	play.Talk("Hedda");
	play.Continue();
	play.WaitUntil([&] { return play.Flag("farwell"); }, "the well to run clear");
	play.Continue();
	// The hollow off the farm's south side: its crate goes round the
	// boulder and into the plate's nook from the west, the stone block
	// sinks from the alcove, and the feed lies there.
	play.FollowLink("far41");
	play.Push("Hollow crate", kDirEast, 1);
	play.Push("Hollow crate", kDirNorth, 3);
	play.Push("Hollow crate", kDirEast, 1);
	play.Take("puzzle1");
	play.FollowLink("far4");
	play.FollowLink("far6");
}

void Mountains(PlaythroughDriver &play)
{
	// The foothills: a bird over the lower field, hens on the middle
	// terrace, and Grool the ogre on the high shelf, where the road goes
	// over. The herders' bars at the shelf's east end sink only once the
	// hill is quiet (the map's foes beaten), so the road goes through him.
	ASSERT_EQ("far6", play.MapName());
	const Fire foothillFire{12, 4};
	Rest(play, foothillFire);
	ClearFoes(play, {kBird, kChook2}, &foothillFire);
	const Fire shelfFire{5, 16};
	Rest(play, shelfFire);
	const FightReport grool = play.Strike("Grool");
	std::cout << "[ far6     ] Grool beaten in " << grool.frames << " frames, " << grool.heartsLost
		<< " half hearts lost, " << grool.fallbacks << " fallbacks\n";
	Rest(play, shelfFire);
	ClearFoes(play, {kChookBoss, kChook2}, &shelfFire);
	play.FollowLink("mountain2");

	// The frost steps: a fire at the shelter, birds and bombs on the way up.
	const Fire shelterFire{19, 19};
	Rest(play, shelterFire);
	TalkTo(play, "Pilgrim", 17, 22);
	// The hen on the frozen tarn guards the feed there, below the road.
	ClearFoes(play, {kBird, kChookBomb}, &shelterFire);
	play.FollowLink("mountain4");

	// The quarry: Orrin will not drop the stones before both plates are
	// pressed.
	const Fire quarryFire{21, 16};
	Rest(play, quarryFire);
	ClearFoes(play, {kChookBomb, kBird}, &quarryFire);
	TalkTo(play, "Quarryman", 17, 17);
	EXPECT_FALSE(play.Flag("mountainpass")) << "the pass opens before its plates are pressed";
	// The gully plate lies a stride short of the gully's west wall: the
	// gully crate goes in through the gap in the south wall first, and the
	// boulder stops against it. Only then the pen: its plate raises a stone
	// in that gap.
	play.Push("Gully crate", kDirWest, 2);
	play.Push("Gully crate", kDirNorth, 3);
	play.Push("Gully boulder", kDirWest, 4);
	play.Push("Pen crate", kDirWest, 3);
	play.Push("Pen crate", kDirNorth, 4);
	// Back to Orrin, up to him from the other side this time: one does not
	// say the same thing twice from the same spot.
	play.WalkTo(19, 15);
	play.Talk("Quarryman");
	play.Continue();
	play.WaitUntil([&] { return play.Flag("mountainpass"); }, "the pass to open");
	play.Continue();
	play.WalkTo(19, 16);
	play.FollowLink("hot1");
}

} // namespace

void RouteFarMountains(PlaythroughDriver &play)
{
	FarFields(play);
	if (testing::Test::HasFatalFailure())
		return;
	Mountains(play);
}
TALVEX_ROUTE_SEGMENT(kRouteFarMountains, RouteFarMountains);
