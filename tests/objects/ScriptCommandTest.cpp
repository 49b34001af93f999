#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/core/ActiveSequence.h"
#include "engine/core/NameHash.h"
#include "map/MapSequence.h"
#include "map/WorldMap.h"
#include "objects/Actor.h"
#include "objects/BlockBehaviour.h"
#include "objects/ObjectScriptWorld.h"
#include "objects/Player.h"
#include "objects/TalkBehaviour.h"
#include "objects/WalkBehaviour.h"
#include "support/ObjectTestWorld.h"

namespace {

constexpr uint32_t kTowneeKind = 26;
constexpr uint32_t kChookKind = 50;
constexpr uint32_t kSwordKind = 43;
constexpr uint16_t kActorId = 20;
constexpr uint16_t kStartId = 1;
constexpr uint16_t kMarkId = 2;

// An actor that counts the attacks it starts.
class CountingActor : public Actor {
public:
	using Actor::Actor;
	void StartAttack() override
	{
		attacks++;
		Actor::StartAttack();
	}
	int attacks = 0;
};

// The menu a test's "rankmeat" opens.
class MeatMenu : public Entity {
public:
	static std::unique_ptr<Entity> Make() { return std::make_unique<MeatMenu>(); }
};

// The object world with the real player standing on it and script actors
// placed from map records; each script runs as the game runs it, through the
// active-sequence slot, and acts on the world objects through the world the
// in-game scene installs.
class ScriptedMap : public objecttest::ObjectTestWorld {
public:
	ScriptedMap()
	{
		map.SetScriptWorld(&menuWorld);
		// The object a script jumps to saves a flag, so a jump shows.
		MapObjectDef &mark = AddObject(kMarkId, "mark");
		AddCommand(mark, kCmdSave, AddString("jumped"));
	}
	~ScriptedMap() { EndActiveSequence(); }
	// Whether the game's record holds the flag.
	bool Flag(const char *name) const { return link.flagIds.count(HashName(name)) != 0; }
	uint16_t AddString(const char *text)
	{
		loader.built.strings.emplace_back(text);
		return static_cast<uint16_t>(loader.built.strings.size() - 1);
	}
	// Loads the map, puts the player at tile (px, 1) and gives the record of
	// kActorId a live actor of its kind when the factory made none (or
	// always, with counted, one that counts its attacks).
	void Begin(int px = 2, bool counted = false)
	{
		Load();
		player.transform.SetPosition(map.TilePosition(static_cast<int16_t>(px), 1, 0.5f, 0.5f));
		player.LinkToMap(&map, nullptr);
		scene.AddEntity(&player);
		if (MapObjectDef *record = map.FindEntityRecordById(kActorId)) {
			if (counted && record->entity != nullptr) {
				record->entity->Destroy();
				record->entity = nullptr;
			}
			if (record->entity == nullptr) {
				auto *made = new CountingActor(MapEntityKindFromType(record->type));
				made->transform.SetPosition(map.TilePosition(static_cast<int16_t>(record->x), static_cast<int16_t>(record->y), 0.5f, 0.5f));
				made->LinkToMap(&map, record);
				record->entity = made;
				scene.AddEntity(made);
			}
		}
		Frame();
	}
	Actor *ActorOf() { return Find<Actor>(kActorId); }
	MapSequence *Run(uint16_t id)
	{
		auto *sequence = new MapSequence(&map, map.FindById(id));
		SetActiveSequence(sequence);
		return sequence;
	}
	// Frames with the sequence polled, as the in-game scene does, until it
	// is no longer running or the time is up.
	void RunFor(float seconds)
	{
		for (float t = 0.0f; t < seconds && IsSequenceRunning(); t += kFrame) {
			Frame();
			UpdateActiveSequence();
		}
	}

	ObjectScriptWorld menuWorld{&MeatMenu::Make};
	Player player;
};

}

TEST(ScriptCommand, ActOnTheSpeakingActor)
{
	const struct {
		const char *name;
		uint32_t code;
		uint16_t value;
		std::function<void(ScriptedMap &, Actor &)> check;
	} rows[] = {
		{"faction", kCmdFaction, 0x104, [](ScriptedMap &, Actor &a) { EXPECT_EQ(4, a.faction); }},
		{"hold", kCmdHold, kSwordKind - 2, [](ScriptedMap &, Actor &a) { EXPECT_EQ(kSwordKind, a.GetStats().heldKind); }},
		{"hide", kCmdHide, 1, [](ScriptedMap &, Actor &a) { EXPECT_FALSE(a.IsActive()); }},
		{"show", kCmdHide, 0, [](ScriptedMap &, Actor &a) { EXPECT_TRUE(a.IsActive()); }},
		{"dead", kCmdDead, 0,
		 [](ScriptedMap &w, Actor &a) {
			 EXPECT_FALSE(a.HasHearts());
			 EXPECT_TRUE(w.map.IsGroupEnabled(kActorId)) << "its group opens";
		 }},
		{"block", kCmdBlock, 0,
		 [](ScriptedMap &, Actor &a) {
			 ASSERT_EQ(1u, a.GetBehaviourCount());
			 EXPECT_NE(nullptr, dynamic_cast<BlockBehaviour *>(a.GetBehaviourAt(0)));
		 }},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ScriptedMap world;
		MapObjectDef &record = world.Place(kTowneeKind, 5, 5, kActorId, "Maren");
		world.AddCommand(record, row.code, row.value);
		world.Begin();
		Actor *actor = world.ActorOf();
		ASSERT_NE(nullptr, actor);
		MapSequence *sequence = world.Run(kActorId);
		EXPECT_EQ(Sequence::kStateDone, sequence->state);
		row.check(world, *actor);
	}
}

TEST(ScriptCommand, ActOnThePlayer)
{
	const struct {
		const char *name;
		uint8_t weight;
		uint32_t code;
		uint16_t value;
		uint8_t argument;
		uint8_t weightAfter;
		bool jumped;
	} rows[] = {
		{"take$ some", 30, kCmdTakeWeight, 10, 0, 20, false},
		{"take$ all", 30, kCmdTakeWeight, 30, 0, 0, false},
		{"take$ more than carried", 30, kCmdTakeWeight, 200, 0, 0, false},
		{"take$ past the signed range is no gain", 30, kCmdTakeWeight, 65535, 0, 0, false},
		{"if$ with enough", 10, kCmdIfWeight, kMarkId, 10, 10, true},
		{"if$ with too little", 9, kCmdIfWeight, kMarkId, 10, 9, false},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ScriptedMap world;
		MapObjectDef &start = world.AddObject(kStartId, "start");
		world.AddCommand(start, row.code, row.value, row.argument);
		world.Begin();
		world.player.GetStats().weight = row.weight;
		world.Run(kStartId);
		EXPECT_EQ(row.weightAfter, world.player.GetStats().weight);
		EXPECT_EQ(row.jumped, world.Flag("jumped"));
	}
}

TEST(ScriptCommand, GiveMapAndWay)
{
	ScriptedMap world;
	MapObjectDef &record = world.Place(kTowneeKind, 5, 5, kActorId, "Maren");
	world.AddCommand(record, kCmdGive, kSwordKind - 2);
	MapObjectDef &start = world.AddObject(kStartId, "start");
	world.AddCommand(start, kCmdWay, world.AddString("town"));
	world.AddCommand(start, kCmdWay, world.AddString("black2"));
	world.AddCommand(start, kCmdWay, world.AddString("far2"));
	world.AddCommand(start, kCmdMap, world.AddString("north1"));
	world.Begin();

	MapSequence *give = world.Run(kActorId);
	EXPECT_EQ(Sequence::kStateWaiting, give->state) << "the gift's message waits";
	EXPECT_EQ(kSwordKind, world.player.GetStats().heldKind);

	WorldMap::Instance().Load(true);
	MapSequence *walk = world.Run(kStartId);
	EXPECT_EQ(Sequence::kStateDone, walk->state);
	EXPECT_EQ(HashName("black2"), world.link.waypoint) << "the goal only moves forward";
	EXPECT_STREQ("north1", world.player.ExitTarget());
}

TEST(ScriptCommand, GiveNeedsASpeakerNotAnActor)
{
	constexpr uint32_t kScrollKind = 15;
	constexpr uint32_t kSignKind = 18;
	constexpr uint32_t kCupboardKind = 12;
	const struct {
		const char *name;
		uint32_t speakerKind; // 0: a plain area object, no speaker
		bool gives;
	} rows[] = {
		{"a townsperson", kTowneeKind, true},
		{"a sign", kSignKind, true},
		{"a scroll", kScrollKind, true},
		{"a cupboard", kCupboardKind, true},
		{"an area with no one in it", 0, false},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ScriptedMap world;
		MapObjectDef &giver = row.speakerKind != 0 ? world.Place(row.speakerKind, 5, 5, kActorId, "Giver")
												   : world.AddObject(kStartId, "giver");
		world.AddCommand(giver, kCmdGive, kSwordKind - 2);
		world.AddCommand(giver, kCmdSave, world.AddString("after"));
		world.Begin();
		ASSERT_EQ(0u, world.player.GetStats().heldKind);
		MapSequence *give = world.Run(giver.id);
		EXPECT_EQ(row.gives ? kSwordKind : 0u, world.player.GetStats().heldKind);
		EXPECT_EQ(row.gives ? Sequence::kStateWaiting : Sequence::kStateDone, give->state)
			<< "the gift's message waits";
	}
}

TEST(ScriptCommand, RankMeatOpensTheMenuOnlyWithAPlayer)
{
	{
		ScriptedMap world;
		MapObjectDef &start = world.AddObject(kStartId, "start");
		world.AddCommand(start, kCmdRankMeat, 0);
		world.Begin();
		MapSequence *sequence = world.Run(kStartId);
		EXPECT_EQ(Sequence::kStateWaiting, sequence->state);
		auto *quiz = dynamic_cast<MeatMenu *>(sequence->GetMenu());
		ASSERT_NE(nullptr, quiz);
		// The overlay closes: the answer frees the menu, outside its calls.
		StepActiveSequence();
		EXPECT_EQ(nullptr, sequence->GetMenu());
	}
	{
		ScriptedMap world;
		MapObjectDef &start = world.AddObject(kStartId, "start");
		world.AddCommand(start, kCmdRankMeat, 0);
		world.AddCommand(start, kCmdSave, world.AddString("after"));
		world.Load(); // no player
		testing::internal::CaptureStdout();
		MapSequence *sequence = world.Run(kStartId);
		std::string log = testing::internal::GetCapturedStdout();
		EXPECT_EQ(Sequence::kStateDone, sequence->state);
		EXPECT_EQ(nullptr, sequence->GetMenu());
		EXPECT_NE(std::string::npos, log.find("No player to rank meats")) << log;
		EXPECT_FALSE(world.Flag("after"));
	}
}

TEST(ScriptCommand, WalkerStopsAtAnObjectWithoutEntity)
{
	ScriptedMap world;
	MapObjectDef &record = world.Place(kTowneeKind, 1, 1, kActorId, "Maren");
	world.AddCommand(record, kCmdWalk, 9);
	world.AddCommand(record, kCmdSave, world.AddString("arrived"));
	MapObjectDef &spot = world.AddObject(9, "spot");
	spot.x = 7;
	spot.y = 6;
	spot.w = 3;
	spot.h = 2;
	world.Begin(10);
	MapSequence *sequence = world.Run(kActorId);
	EXPECT_EQ(Sequence::kStateRunning, sequence->state);
	EXPECT_NE(kNoBehaviour, sequence->GetAwaitedOrder());
	EXPECT_FALSE(sequence->IsReadyToResume());
	world.RunFor(10.0f);
	EXPECT_TRUE(world.Flag("arrived"));
	Vec3 goal = world.map.TilePosition(8, 7, 0.5f, 0.5f);
	Vec3 apart = world.ActorOf()->transform.position - goal;
	apart.y = 0.0f;
	EXPECT_LT(glm::dot(apart, apart), WalkBehaviour::kArrivedSquared);
}

TEST(ScriptCommand, WalkerGoneMidWalkCountsAsFinished)
{
	for (bool defeated : {false, true}) {
		SCOPED_TRACE(defeated ? "defeated" : "destroyed");
		ScriptedMap world;
		MapObjectDef &record = world.Place(kTowneeKind, 1, 1, kActorId, "Maren");
		world.AddCommand(record, kCmdWalk, 9);
		world.AddCommand(record, kCmdSave, world.AddString("went on"));
		MapObjectDef &spot = world.AddObject(9, "spot");
		spot.x = 10;
		spot.y = 8;
		world.Begin(6);
		MapSequence *sequence = world.Run(kActorId);
		world.RunFor(0.2f);
		ASSERT_FALSE(sequence->IsReadyToResume());
		if (defeated)
			world.ActorOf()->Defeat();
		else
			world.ActorOf()->Destroy();
		world.RunFor(0.5f);
		EXPECT_TRUE(world.Flag("went on"));
	}
}

TEST(ScriptCommand, BehaviourOnADeadActorFailsTheScript)
{
	ScriptedMap world;
	MapObjectDef &record = world.Place(kTowneeKind, 1, 1, kActorId, "Maren");
	world.AddCommand(record, kCmdWalk, 9);
	world.AddObject(9, "spot");
	world.Begin();
	world.ActorOf()->GetStats().hearts = 0;
	MapSequence *sequence = world.Run(kActorId);
	EXPECT_EQ(Sequence::kStateFailed, sequence->state);
	EXPECT_EQ(kNoBehaviour, sequence->GetAwaitedOrder());
	EXPECT_EQ(kNoBehaviour, world.menuWorld.Assign(world.ActorOf(), nullptr));
	EXPECT_EQ(kNoBehaviour, world.menuWorld.Assign(&world.map, std::make_unique<BlockBehaviour>(nullptr)));
}

// A hidden speaker still speaks and the script waits on its words; a hidden
// actor told to walk, take or kill fails the script instead of leaving it
// waiting for a behaviour that never runs.
TEST(ScriptCommand, HiddenActorsSpeakButDoNotMove)
{
	const struct {
		const char *name;
		bool hidden;
		uint32_t code;
		int32_t state;
	} rows[] = {
		{"say, shown", false, kCmdSay, Sequence::kStateWaiting},
		{"say, hidden", true, kCmdSay, Sequence::kStateWaiting},
		{"walk, shown", false, kCmdWalk, Sequence::kStateRunning},
		{"walk, hidden", true, kCmdWalk, Sequence::kStateFailed},
		{"take, shown", false, kCmdTake, Sequence::kStateRunning},
		{"take, hidden", true, kCmdTake, Sequence::kStateFailed},
		{"kill, shown", false, kCmdKill, Sequence::kStateRunning},
		{"kill, hidden", true, kCmdKill, Sequence::kStateFailed},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ScriptedMap world;
		MapObjectDef &record = world.Place(kTowneeKind, 5, 5, kActorId, "Maren");
		world.AddObject(9, "spot");
		if (row.hidden)
			world.AddCommand(record, kCmdHide, 1);
		switch (row.code) {
		case kCmdSay:
			world.AddCommand(record, kCmdSay, world.AddMessage("Psst. Over here."));
			break;
		case kCmdWalk:
			world.AddCommand(record, kCmdWalk, 9);
			break;
		case kCmdTake:
			world.AddCommand(record, kCmdTake, kActorId);
			break;
		default:
			world.AddCommand(record, kCmdKill, 0);
			break;
		}
		world.AddCommand(record, kCmdSave, world.AddString("after"));
		world.Begin();
		MapSequence *sequence = world.Run(kActorId);
		EXPECT_EQ(row.hidden, !world.ActorOf()->IsActive());
		EXPECT_EQ(row.state, sequence->state);
		EXPECT_FALSE(world.Flag("after")) << "nothing runs past the line";
		if (row.code == kCmdSay) {
			EXPECT_TRUE(world.link.IsMessageVisible());
			EXPECT_NE(nullptr, dynamic_cast<TalkBehaviour *>(world.ActorOf()->GetBehaviourAt(0)));
		}
	}
}

TEST(Behaviour, TalkEndsAfterTheHudOrWhenApart)
{
	const struct {
		const char *name;
		float apart;
		float after;
		bool done;
	} rows[] = {
		{"close by, within two seconds of the HUD", 1.5f, 1.5f, false},
		{"close by, ended", 1.5f, 2.2f, true},
		{"too far apart ends at once", 2.5f, 0.1f, true},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ScriptedMap world;
		MapObjectDef &record = world.Place(kTowneeKind, 5, 1, kActorId, "Maren");
		world.AddCommand(record, kCmdSay, world.AddMessage("Hello there."));
		world.AddCommand(record, kCmdSave, world.AddString("after"));
		world.Begin();
		world.player.transform.SetPosition(world.ActorOf()->transform.position + Vec3(row.apart, 0.0f, 0.0f));
		MapSequence *sequence = world.Run(kActorId);
		EXPECT_EQ(Sequence::kStateWaiting, sequence->state);
		ASSERT_NE(nullptr, dynamic_cast<TalkBehaviour *>(world.ActorOf()->GetBehaviourAt(0)));
		for (float t = 0.0f; t < row.after; t += objecttest::ObjectTestWorld::kFrame)
			world.Frame();
		EXPECT_EQ(row.done, IsBehaviourFinished(sequence->GetAwaitedOrder()));
	}
}

TEST(Behaviour, BlockerHoldsItsSpotAndStrikesOnceASecond)
{
	const struct {
		const char *name;
		float apart;
		int attacks;
	} rows[] = {
		{"within reach", 1.5f, 3},
		{"out of reach", 2.5f, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ScriptedMap world;
		world.Place(kChookKind, 5, 5, kActorId, "guard");
		world.Begin(2, true);
		auto *guard = dynamic_cast<CountingActor *>(world.ActorOf());
		ASSERT_NE(nullptr, guard);
		guard->AddBehaviour(std::make_unique<BlockBehaviour>(guard), true);
		world.Frame();
		Vec3 spot = guard->transform.position;
		world.player.transform.SetPosition(spot + Vec3(row.apart, 0.0f, 0.0f));
		for (int i = 0; i < 3 * 20 + 1; ++i) {
			world.player.transform.SetPosition(spot + Vec3(row.apart, 0.0f, 0.0f));
			guard->transform.SetPosition(spot + Vec3(0.0f, 0.0f, 0.7f)); // pushed
			world.Frame();
		}
		EXPECT_EQ(row.attacks, guard->attacks);
		EXPECT_FLOAT_EQ(spot.x, guard->transform.position.x);
		EXPECT_FLOAT_EQ(spot.z, guard->transform.position.z) << "a pushed blocker stays";
	}
}

TEST(ScriptCommand, ClearingTheMapEndsOnlyItsOwnScript)
{
	for (bool ownMap : {true, false}) {
		SCOPED_TRACE(ownMap ? "its own map" : "another map");
		ScriptedMap world;
		MapObjectDef &start = world.AddObject(kStartId, "start");
		world.AddCommand(start, kCmdSay, world.AddMessage("Wait for me."));
		world.AddCommand(start, kCmdSave, world.AddString("after"));
		world.Begin();
		MapSequence *sequence = world.Run(kStartId);
		ASSERT_EQ(Sequence::kStateWaiting, sequence->state);
		TileMap other;
		if (ownMap)
			world.map.Clear();
		else
			other.Clear();
		EXPECT_EQ(!ownMap, IsSequenceRunning());
		StepActiveSequence();
		EXPECT_EQ(!ownMap, world.Flag("after")) << "nothing runs on a cleared map";
	}
}

TEST(ScriptCommand, TakeAndKillThroughRealActors)
{
	const struct {
		const char *name;
		uint32_t code;
		uint32_t held;     // what the player holds first
		uint32_t npcHolds; // afterwards
		bool npcDies;
	} rows[] = {
		{"take the sword", kCmdTake, kSwordKind, kSwordKind, false},
		{"take from empty hands", kCmdTake, 0, 0, false},
		{"kill the townsperson", kCmdKill, 0, 0, true},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		ScriptedMap world;
		constexpr uint16_t kKillerId = 21;
		world.Place(kTowneeKind, 3, 1, kActorId, "Maren");
		MapObjectDef &killer = world.Place(kChookKind, 6, 1, kKillerId, "Chook");
		MapObjectDef &start = world.AddObject(kStartId, "start");
		if (row.code == kCmdKill) {
			world.AddCommand(start, kCmdActor, kKillerId);
			world.AddCommand(start, kCmdKill, kActorId);
		} else {
			world.AddCommand(start, kCmdTake, kActorId);
		}
		world.AddCommand(start, kCmdSave, world.AddString("after"));
		(void)killer;
		world.Begin(2);
		Actor *npc = world.ActorOf();
		ASSERT_NE(nullptr, npc);
		if (row.held != 0)
			world.player.GainWeapon(row.held);
		ASSERT_EQ(row.held, world.player.GetStats().heldKind);
		MapSequence *sequence = world.Run(kStartId);
		EXPECT_EQ(Sequence::kStateRunning, sequence->state);
		world.RunFor(8.0f);
		EXPECT_TRUE(world.Flag("after")) << "the script went on once the actor was done";
		EXPECT_EQ(row.npcHolds, npc->GetStats().heldKind);
		if (row.code == kCmdTake) {
			EXPECT_EQ(0u, world.player.GetStats().heldKind);
		}
		EXPECT_EQ(row.npcDies, !npc->HasHearts());
		EXPECT_EQ(row.npcDies, world.map.IsGroupEnabled(kActorId));
	}
}

TEST(Behaviour, KillTargetGoneEndsUntouched)
{
	ScriptedMap world;
	world.Place(kChookKind, 1, 1, kActorId, "Chook");
	MapObjectDef &start = world.AddObject(kStartId, "start");
	world.AddCommand(start, kCmdActor, kActorId);
	world.AddCommand(start, kCmdKill, 0);
	world.AddCommand(start, kCmdSave, world.AddString("after"));
	world.Begin(11);
	MapSequence *sequence = world.Run(kStartId);
	ASSERT_NE(kNoBehaviour, sequence->GetAwaitedOrder());
	world.scene.RemoveEntity(&world.player); // the hero leaves the scene
	world.RunFor(1.0f);
	EXPECT_TRUE(world.Flag("after"));
	EXPECT_TRUE(world.player.HasHearts());
}

TEST(ScriptCommand, FellingTheLastEnemyHandsOverToTheTrigger)
{
	for (uint32_t code : {kCmdDead, kCmdKill}) {
		SCOPED_TRACE(code == kCmdDead ? "dead" : "kill");
		ScriptedMap world;
		world.map.SetSequenceMaker(MapSequence::Create);
		constexpr uint16_t kGuardId = 21;
		world.Place(kChookKind, 4, 1, kActorId, "Chook");
		world.Place(kChookKind, 5, 1, kGuardId, "Guard");
		MapObjectDef &start = world.AddObject(kStartId, "start");
		world.AddCommand(start, kCmdActor, code == kCmdDead ? kActorId : kGuardId);
		world.AddCommand(start, code, kActorId);
		world.AddCommand(start, kCmdSave, world.AddString("after"));
		MapObjectDef &trigger = world.AddObject(30, "beaten");
		trigger.kind = kObjectTrigger;
		trigger.flag = 1; // armed by the group the last fall opens
		world.AddCommand(trigger, kCmdSave, world.AddString("triggered"));
		world.Begin(11);
		if (code == kCmdDead)
			world.Find<Actor>(kGuardId)->GetStats().hearts = 0; // only the speaker still stands
		else
			world.Find<Actor>(kGuardId)->faction = kFactionTownsfolk; // the killer is no enemy
		world.Run(kStartId);
		world.RunFor(6.0f);
		world.Frame();
		UpdateActiveSequence();
		EXPECT_TRUE(world.Flag("triggered"));
		EXPECT_FALSE(world.Flag("after")) << "the felling script runs nothing more";
	}
}
