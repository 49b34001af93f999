// Home's side places, played headless from a new game with key presses
// only: the woods' lake wets the hero who walks into it (the flag that the
// won screen's "lakeless" asks after), and the lady of the lake bars her
// glade to everyone but a hero who brings her dress from the beach, and
// Grunt gives up once the chooks of his yard are beaten, and stays down.
#include <gtest/gtest.h>

#include "RouteSteps.h"
#include "game/GameProgress.h"
#include "map/TileCode.h"
#include "objects/CollectableKind.h"
#include "support/MissingDevice.h"
#include "support/PlaythroughDriver.h"

#include <SDL.h>

namespace {

constexpr uint32_t kPlainSword = 43;
constexpr uint32_t kDress = 48;

class SidePlaces : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		if (!play.Prepare(whyNot))
			SKIP_FOR_MISSING_DEVICE() << whyNot;
	}

	PlaythroughDriver play;
};

// With his chooks beaten, the hero walks onto Grunt's ground from the west
// and hears him give up.
void SeeGruntGiveUp(PlaythroughDriver &play)
{
	play.WalkTo(20, 17);
	for (int i = 0; i < 2 * PlaythroughDriver::kFramesPerSecond && !play.MessageShown(); i++)
		play.Hold({SDL_SCANCODE_RIGHT}, 1);
	EXPECT_EQ("Fine. You beat my chooks. I am done.", play.MessageText());
	play.Continue();
	play.WaitUntil([&] { return !play.IsAlive("Grunt"); }, "Grunt to give up", 5.0f);
}

} // namespace

TEST_F(SidePlaces, WalkingIntoTheWoodsLakeSetsTheLakeFlag)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		play.FollowLink("woods");
		// The bank west of the lake leaves the feet dry.
		play.WalkTo(12, 11);
		play.Frames(30);
		EXPECT_FALSE(play.Flag("lake"));
		for (int i = 0; i < 3 * PlaythroughDriver::kFramesPerSecond && !play.MessageShown(); i++)
			play.Hold({SDL_SCANCODE_RIGHT}, 1);
		play.Continue();
		EXPECT_TRUE(play.Flag("lake")) << "walked into the lake from its west bank";
	}));
}

TEST_F(SidePlaces, TheLadyYieldsHerGladeOnlyToHerDress)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		ClearHome(play);
		play.FollowLink("woods");
		// With the sword, the lady takes no blow and the glade stays shut.
		play.Talk("Lady");
		play.Continue();
		for (int i = 0; i < 10; i++)
			play.Tap(SDL_SCANCODE_SPACE, 20);
		play.Continue();
		EXPECT_TRUE(play.IsAlive("Lady")) << "the sword does not move her";
		// With her dress from the beach rocks she yields.
		play.FollowLink("home");
		play.FollowLink("beach");
		TakeToolAt(play, kDressX, kDressY, kDress, "the dress");
		play.FollowLink("home");
		play.FollowLink("woods");
		play.Strike("Lady");
		EXPECT_FALSE(play.IsAlive("Lady"));
		// The glade behind her holds a chicken feed and a cooler.
		EXPECT_FALSE(GameProgress::FlagId(CollectableFlagFromName("puzzle4")));
		TakeFindAt(play, "puzzle4", 29, 11);
	}));
}

TEST_F(SidePlaces, GruntWarnsTheUnarmedAndGivesUpOnceHisChooksAreBeaten)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		// Unarmed, the hero only hears him out.
		play.Talk("Home");
		play.Continue();
		play.WalkInto("Grunt's ground");
		play.Continue();
		EXPECT_TRUE(play.IsAlive("Grunt"));
		EXPECT_EQ(4, play.Hearts()) << "he warns, he does not strike";
		ClearHome(play);
		EXPECT_TRUE(play.IsAlive("Grunt")) << "a tame ogre is no foe of the yard";
		// Back to him with the yard beaten: he gives up.
		SeeGruntGiveUp(play);
	}));
}

TEST_F(SidePlaces, GruntStaysDownAfterGivingUp)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		ClearHome(play);
		SeeGruntGiveUp(play);
		play.FollowLink("woods");
		play.Continue();
		play.FollowLink("home");
		play.Frames(2); // every placement has started
		EXPECT_FALSE(play.IsAlive("Grunt")) << "back home from the woods";
		play.SaveAtFire();
		QuitToTitle(play);
		ContinueFromTitle(play);
		ASSERT_EQ("home", play.MapName());
		EXPECT_EQ(kPlainSword, play.HeldKind()) << "the saved game goes on, sword in hand";
		play.Frames(2); // every placement has started
		EXPECT_FALSE(play.IsAlive("Grunt")) << "in the game continued from the fire's save";
	}));
}

// Taken once, the old sword is the hero's for good: a game quit before the
// yard and continued goes on with the sword in hand, and the sword does not
// lie beside the house a second time.
TEST_F(SidePlaces, TheOldSwordStaysInHandAcrossAQuitBeforeTheYard)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		TakeSword(play);
		play.FollowLink("woods");
		play.Continue();
		play.FollowLink("home");
		QuitToTitle(play);
		ContinueFromTitle(play);
		ASSERT_EQ("home", play.MapName());
		EXPECT_TRUE(play.Flag("homeseen")) << "the welcome is not read again";
		EXPECT_TRUE(play.Flag("homesword"));
		EXPECT_EQ(kPlainSword, play.HeldKind()) << "continued sword in hand";
		EXPECT_FALSE(play.IsAlive("old sword")) << "taken once, gone for good";
		play.Talk("Home");
		play.Continue();
		BeatYardChooks(play);
		play.WaitUntil([&] { return play.Flag("homechooks"); }, "the yard beaten after the continue");
	}));
}

TEST_F(SidePlaces, TheOrchardCrateHoldsThePenOpenAndTheKeyOpensTheStore)
{
	constexpr uint32_t kKey = 42;
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		play.FollowLink("orchard");
		play.Continue();
		play.Push("garden crate", kDirEast, 2);
		play.Push("garden crate", kDirNorth, 2);
		TakeToolAt(play, 17, 2, kKey, "the key");
		play.WalkTo(7, 11);
		play.Hold({SDL_SCANCODE_LEFT}, 6);
		play.Tap(SDL_SCANCODE_SPACE, 30);
		TakeFindAt(play, "tri1", 3, 11);
	}));
}

// The cellar's wine nook: the apple crate stands before the wine crate in the
// nook's one gap, so it goes aside first and the wine crate is pushed in;
// the spare sword lies at the back.
TEST_F(SidePlaces, TheCellarsCratesOpenTheWineNookInTurn)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		play.Talk("Home");
		play.Continue();
		play.WalkTo(12, 12); // round to the front of the house
		play.FollowLink("cellar");
		play.Continue();
		play.Push("apple crate", kDirSouth, 1);
		play.Push("wine crate", kDirWest, 2);
		TakeToolAt(play, 1, 10, kPlainSword, "the spare sword");
	}));
}

TEST_F(SidePlaces, MarenSendsTheHeroForBessOnHerTerraceAndGivesAHeartForHer)
{
	ASSERT_TRUE(play.Play([&] {
		play.NewGame();
		ClearHome(play);
		EXPECT_FALSE(play.Flag("bessfound"));
		play.Talk("Maren");
		play.Answer(true);
		play.Continue();
		EXPECT_TRUE(play.Flag("marenquest"));
		// Bess waits on the terrace east of the pond, up the ramp.
		play.WalkInto("Bess's terrace");
		play.Continue();
		play.WaitUntil([&] { return play.Flag("bessfound"); }, "Bess under the hero's arm", 10.0f);
		EXPECT_FALSE(play.IsAlive("Bess")) << "carried off the terrace";
		// Bess home, Maren gives what the search was worth: a whole heart.
		const int heartsBefore = play.Hero().GetStats().maxHearts;
		play.Talk("Maren");
		play.Continue();
		play.WaitUntil([&] { return play.Flag("marendone"); }, "Maren's thanks", 10.0f);
		EXPECT_EQ(heartsBefore + 2, play.Hero().GetStats().maxHearts);
	}));
}
