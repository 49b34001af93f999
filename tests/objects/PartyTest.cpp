// The party: members rebuilt in kind order behind the leader, joining and
// leaving, who owns a member and when it is freed, and how members pick
// their fights.
#include "engine/collision/Collider.h"
#include "map/MapSequence.h"
#include "objects/ActorRegistry.h"
#include "objects/FollowBehaviour.h"
#include "objects/NPCTinsmith.h"
#include "objects/NPCWoodsmith.h"
#include "objects/Party.h"
#include "support/ObjectTestWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using objecttest::ObjectTestWorld;

constexpr uint32_t kOracle = 27;
constexpr uint32_t kWoodsmith = 29;
constexpr uint32_t kLocksmith = 30;

class PartyWorld : public ::testing::Test {
protected:
	PartyWorld()
	{
		Party::Instance().Clear();
		leader.faction = kFactionPlayer;
	}
	~PartyWorld() override
	{
		Party::Instance().Clear();
		Party::Instance().SetLeader(nullptr);
		ActorRegistry::Clear();
		world.scene.RemoveEntity(&leader);
	}
	void Flag(uint32_t kind) { world.link.SetFlagId(Party::FlagId(kind), true); }
	bool Flagged(uint32_t kind) { return world.link.FlagId(Party::FlagId(kind)); }
	// Loads the map with the leader on it and restores the flagged members.
	void LoadAndRestore()
	{
		world.Load();
		PlaceLeader();
		Party::Instance().SetLeader(&leader);
		Party::Instance().RestoreMembers(&world.map);
		world.Frame();
	}
	void PlaceLeader()
	{
		leader.transform.position = world.map.TilePosition(6, 5, 0.5f, 0.5f);
		world.scene.AddEntity(&leader);
	}
	static FollowBehaviour *Follow(Actor *actor)
	{
		const size_t count = actor != nullptr ? actor->GetBehaviourCount() : 0;
		return count != 0 ? dynamic_cast<FollowBehaviour *>(actor->GetBehaviourAt(count - 1)) : nullptr;
	}
	// A hostile actor standing on the map.
	std::unique_ptr<Actor> Foe(uint32_t kind, const Vec3 &at)
	{
		auto foe = std::make_unique<Actor>(kind);
		foe->faction = kFactionHostile;
		foe->transform.position = at;
		world.scene.AddEntity(foe.get());
		return foe;
	}

	ObjectTestWorld world;
	Actor leader{1};
};

TEST_F(PartyWorld, RestoresFlaggedKindsInKindOrderBehindTheLeader)
{
	Flag(kWoodsmith);
	Flag(kOracle);
	LoadAndRestore();
	Party &party = Party::Instance();
	ASSERT_EQ(party.GetMemberCount(), 2u);
	Actor *first = party.GetMember(0);
	Actor *second = party.GetMember(1);
	EXPECT_EQ(first->GetKind(), kOracle);
	EXPECT_EQ(second->GetKind(), kWoodsmith);
	ASSERT_NE(Follow(first), nullptr);
	ASSERT_NE(Follow(second), nullptr);
	EXPECT_EQ(Follow(first)->leader, &leader);
	EXPECT_EQ(Follow(second)->leader, first);
	EXPECT_FLOAT_EQ(Follow(first)->speed, Party::kMemberSpeed);
	// A kind already listed is refused and left alone.
	NPCWoodsmith twin;
	EXPECT_FALSE(party.Join(&twin));
	party.AddKind(kWoodsmith);
	EXPECT_EQ(party.GetMemberCount(), 2u);
	EXPECT_EQ(twin.GetBehaviourCount(), 0u);
	for (Actor *member : {first, second}) {
		SCOPED_TRACE(member->GetKind());
		EXPECT_TRUE(world.scene.HasEntity(member));
		EXPECT_EQ(member->map, &world.map);
		EXPECT_EQ(member->GetStats().heldKind, Party::kMemberTool);
		EXPECT_EQ(member->dropsEnabled, 0);
		EXPECT_FLOAT_EQ(member->shadowSize, 0.0f);
		ASSERT_NE(member->collider, nullptr);
		EXPECT_EQ(member->collider->mode, Collider::kModeIgnored);
		EXPECT_EQ(static_cast<NPCActor *>(member)->party, &party);
	}
	// The first stands one unit behind the leader, facing as it does.
	const Vec3 behind = leader.transform.position - leader.transform.GetForward();
	EXPECT_NEAR(first->homePosition.x, behind.x, 1e-4f);
	EXPECT_NEAR(first->homePosition.z, behind.z, 1e-4f);
}

TEST_F(PartyWorld, PartyAndUnpartyLinesTakeInAndSendAway)
{
	// "party" takes the speaker in where it stands; "unparty" names the
	// record whose kind leaves: a listed member stops, a flag alone clears.
	MapObjectDef &oracle = world.Place(kOracle, 3, 3, 5, "oracle");
	world.AddCommand(oracle, kCmdParty, 0);
	MapObjectDef &dismiss = world.AddObject(9, "dismiss");
	world.AddCommand(dismiss, kCmdUnparty, 5);
	world.AddCommand(dismiss, kCmdUnparty, 77); // no such record: nothing
	world.Place(kWoodsmith, 6, 3, 8, "woodsmith");
	MapObjectDef &dismissListed = world.AddObject(10, "dismiss listed");
	world.AddCommand(dismissListed, kCmdUnparty, 8);
	Flag(kWoodsmith);
	LoadAndRestore();
	Actor *joiner = world.Find<Actor>(5);
	Actor *listed = Party::Instance().FindListed(kWoodsmith);
	ASSERT_TRUE(joiner != nullptr && listed != nullptr);

	MapSequence(&world.map, world.map.FindEntityRecordById(5)).Start();
	EXPECT_TRUE(Flagged(kOracle));
	ASSERT_NE(Follow(joiner), nullptr);
	EXPECT_EQ(Follow(joiner)->leader, listed) << "behind the last listed member";
	EXPECT_EQ(Party::Instance().GetMemberCount(), 1u) << "joined on its own map";

	MapSequence(&world.map, world.map.FindObjectById(9)).Start();
	EXPECT_FALSE(Flagged(kOracle));
	EXPECT_NE(Follow(joiner), nullptr) << "follows on until the next map";
	MapSequence(&world.map, world.map.FindObjectById(10)).Start();
	EXPECT_FALSE(Flagged(kWoodsmith));
	EXPECT_EQ(listed->GetBehaviourCount(), 0u);
	EXPECT_EQ(listed->collider->mode, Collider::kModeStatic);
	EXPECT_EQ(Party::Instance().GetMemberCount(), 1u); // listed until the party clears
}

TEST_F(PartyWorld, JoiningWithNoMapStoredFollowsWhereItStands)
{
	world.Load();
	PlaceLeader();
	Party &party = Party::Instance();
	party.Clear();
	party.SetLeader(&leader);
	NPCWoodsmith loner;
	loner.transform.position = Vec3(3.0f, 0.0f, 3.0f);
	EXPECT_TRUE(party.Join(&loner));
	EXPECT_TRUE(Flagged(kWoodsmith));
	EXPECT_EQ(party.GetMemberCount(), 0u);
	EXPECT_EQ(loner.scene, nullptr);
	EXPECT_FLOAT_EQ(loner.transform.position.x, 3.0f);
	ASSERT_NE(Follow(&loner), nullptr);
	EXPECT_EQ(Follow(&loner)->leader, &leader);
}

TEST_F(PartyWorld, BroughtMemberDestroysTheTownspersonItReplaces)
{
	world.Place(kWoodsmith, 2, 2, 5, "woodsmith").facing = 1;
	world.Load();
	MapObjectDef *record = world.map.FindEntityRecordById(5);
	ASSERT_NE(record, nullptr);
	Entity *standIn = record->entity;
	ASSERT_NE(standIn, nullptr);
	const size_t actors = ActorRegistry::TrackedCount();

	Flag(kWoodsmith);
	PlaceLeader();
	Party::Instance().SetLeader(&leader);
	Party::Instance().RestoreMembers(&world.map);
	Actor *member = Party::Instance().FindListed(kWoodsmith);
	ASSERT_NE(member, nullptr);
	EXPECT_EQ(record->entity, member);
	EXPECT_EQ(member->mapObject, record);
	EXPECT_FALSE(world.scene.HasEntity(standIn));
	// One built, one freed: a stand-in merely unlinked would still count.
	EXPECT_EQ(ActorRegistry::TrackedCount(), actors);
	// The facing line of the record it took over does not stop it following.
	world.Frame();
	EXPECT_NE(Follow(member), nullptr);
}

TEST_F(PartyWorld, PartyAndMapClearedInEitherOrderFreeEachMemberOnce)
{
	for (bool mapFirst : {false, true}) {
		SCOPED_TRACE(mapFirst ? "map first" : "party first");
		world.loader.built.entityRecords.clear();
		world.Place(kWoodsmith, 2, 2, 5, "woodsmith");
		const size_t before = ActorRegistry::TrackedCount();
		Flag(kWoodsmith);
		Flag(kOracle); // has no record on this map
		LoadAndRestore();
		ASSERT_EQ(Party::Instance().GetMemberCount(), 2u);
		if (mapFirst) {
			world.map.Clear();
			// The member the map destroyed left the list.
			EXPECT_EQ(Party::Instance().GetMemberCount(), 1u);
			Party::Instance().Clear();
		} else {
			Party::Instance().Clear();
			world.map.Clear();
		}
		EXPECT_EQ(Party::Instance().GetMemberCount(), 0u);
		EXPECT_EQ(ActorRegistry::TrackedCount(), before);
		EXPECT_TRUE(Flagged(kWoodsmith));
		world.scene.RemoveEntity(&leader);
		world.Frame();
	}
}

TEST_F(PartyWorld, MemberFreedElsewhereLeavesTheList)
{
	Flag(kWoodsmith);
	Flag(kLocksmith);
	LoadAndRestore();
	Actor *gone = Party::Instance().FindListed(kWoodsmith);
	Actor *behind = Party::Instance().FindListed(kLocksmith);
	ASSERT_NE(gone, nullptr);
	ASSERT_NE(Follow(behind), nullptr);
	ASSERT_EQ(Follow(behind)->leader, gone);
	gone->Destroy();
	EXPECT_EQ(Party::Instance().GetMemberCount(), 1u);
	EXPECT_EQ(Party::Instance().FindListed(kWoodsmith), nullptr);
	EXPECT_EQ(Follow(behind)->leader, nullptr) << "the one it followed is forgotten";
	world.Frames(5); // and it simply stands
	Party::Instance().Clear();
	EXPECT_EQ(Party::Instance().GetMemberCount(), 0u);
}

TEST_F(PartyWorld, TwoMembersTakeOnTwoFoesButNeverTheSmith)
{
	Flag(kWoodsmith);
	Flag(kLocksmith);
	LoadAndRestore();
	Party &party = Party::Instance();
	Actor *first = party.GetMember(0);
	Actor *second = party.GetMember(1);
	first->transform.position = world.map.TilePosition(6, 6, 0.5f, 0.5f);
	second->transform.position = world.map.TilePosition(6, 6, 0.5f, 0.5f);
	// One foe near both: only the first to look takes it.
	std::unique_ptr<Actor> foeA = Foe(50, world.map.TilePosition(7, 6, 0.5f, 0.5f));
	EXPECT_EQ(party.FindThreat(first), foeA.get());
	first->SetTarget(foeA.get());
	EXPECT_EQ(party.FindThreat(second), nullptr);
	// A second foe goes to the second member.
	std::unique_ptr<Actor> foeB = Foe(50, world.map.TilePosition(5, 6, 0.5f, 0.5f));
	EXPECT_EQ(party.FindThreat(second), foeB.get());
	// Out of reach, nobody is a threat.
	foeB->transform.position = world.map.TilePosition(11, 0, 0.5f, 0.5f);
	EXPECT_EQ(party.FindThreat(second), nullptr);

	// The smith, even hostile, is dropped as a target at once.
	NPCTinsmith smith;
	smith.faction = kFactionHostile;
	smith.transform.position = world.map.TilePosition(6, 7, 0.5f, 0.5f);
	world.scene.AddEntity(&smith);
	world.Frame();
	second->SetTarget(&smith);
	world.Frame();
	EXPECT_NE(second->GetTarget(), &smith);
	world.scene.RemoveEntity(&smith);
	party.Clear();
}

} // namespace
