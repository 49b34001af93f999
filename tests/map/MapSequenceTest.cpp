#include "map/MapSequence.h"

#include "audio/ModMusicPlayer.h"
#include "engine/core/ActiveSequence.h"
#include "engine/core/Entity.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/MapFiles.h"
#include "map/TileMap.h"
#include "support/RecordingMapLink.h"
#include "support/RecordingScriptWorld.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the HUD was asked to show, one line a message: "message:<text>",
// "titled:<title>:<text>" or "speech:<speaker>:<text>".
std::vector<std::string> Shown(const RecordingMapLink &link)
{
	std::vector<std::string> shown;
	for (const RecordingMapLink::Message &message : link.messages) {
		if (message.speech)
			shown.push_back("speech:" + message.title + ":" + message.text);
		else if (!message.title.empty())
			shown.push_back("titled:" + message.title + ":" + message.text);
		else
			shown.push_back("message:" + message.text);
	}
	return shown;
}

// A music player whose cue play runs an action instead of playing.
class FakeMusic : public ModMusicPlayer {
public:
	bool PlayCueByName(const char *name) override
	{
		played.push_back(name);
		if (onPlay)
			onPlay();
		return true;
	}
	std::vector<std::string> played;
	std::function<void()> onPlay;
};

MapCommand Line(uint32_t code, uint16_t value, uint8_t argument = 0)
{
	MapCommand command;
	command.code = code;
	command.value = value;
	command.argument = argument;
	return command;
}

constexpr uint16_t kStartId = 1;

class MapSequenceTest : public testing::Test {
protected:
	void SetUp() override
	{
		scene.state = kSceneActive;
		scene.AddEntity(&map);
		map.SetScriptWorld(&world);
		link = std::make_unique<RecordingMapLink>();
	}
	void TearDown() override { EndActiveSequence(); }

	// Empties the map's objects, tables and groups, the game's record and
	// what the world was asked.
	void Reset()
	{
		EndActiveSequence();
		TileMapData &data = map.GetMapData();
		data.objects.clear();
		data.entityRecords.clear();
		data.commands.clear();
		data.strings.clear();
		data.messages.clear();
		map.ClearFlags();
		link.reset(); // the old link takes itself out first
		link = std::make_unique<RecordingMapLink>();
		world = RecordingScriptWorld();
	}
	bool Flag(const char *name) const { return link->Flag(name); }
	// Adds an object with a script; pointers to objects stay valid only
	// until the next object is added.
	MapObjectDef &Add(uint16_t id, std::vector<MapCommand> script, uint32_t kind = kObjectArea,
		const char *name = nullptr)
	{
		TileMapData &data = map.GetMapData();
		MapObjectDef object;
		object.kind = kind;
		object.id = id;
		object.name = MapName(name);
		object.key = HashName(name);
		object.firstCommand = (uint16_t)data.commands.size();
		object.commandCount = (uint16_t)script.size();
		data.commands.insert(data.commands.end(), script.begin(), script.end());
		std::vector<MapObjectDef> &list = kind == kObjectEntity ? data.entityRecords : data.objects;
		list.push_back(object);
		return list.back();
	}
	uint16_t String(const char *text)
	{
		map.GetMapData().strings.push_back(MapName(text));
		return (uint16_t)(map.GetMapData().strings.size() - 1);
	}
	uint16_t Message(const char *text)
	{
		map.GetMapData().messages.push_back(MapMessage(text));
		return (uint16_t)(map.GetMapData().messages.size() - 1);
	}
	// A line that leaves a trace: it saves the game flag of that name.
	MapCommand Mark(const char *flag) { return Line(kCmdSave, String(flag)); }
	MapSequence *StartSequence(uint16_t id = kStartId)
	{
		MapSequence *sequence = new MapSequence(&map, map.FindById(id));
		SetActiveSequence(sequence);
		return sequence;
	}
	Scene scene;
	TileMap map;
	RecordingScriptWorld world;
	std::unique_ptr<RecordingMapLink> link;
};

}

TEST_F(MapSequenceTest, JumpsFollowGroupsAndTargets)
{
	using Script = std::vector<MapCommand>;
	struct Row {
		const char *label;
		uint8_t enabledGroup;
		std::function<Script()> script;
		std::vector<const char *> ran, skipped;
		const char *log;
	};
	const Row rows[] = {
		{ "if on an enabled group jumps", 5, [this] { return Script { Line(kCmdIf, 2, 5), Mark("one") }; },
			{ "two" }, { "one" }, "" },
		{ "if on a disabled group goes on", 6, [this] { return Script { Line(kCmdIf, 2, 5), Mark("one") }; },
			{ "one" }, { "two" }, "" },
		{ "if on group 0 never jumps", 0, [this] { return Script { Line(kCmdIf, 2, 0), Mark("one") }; },
			{ "one" }, { "two" }, "" },
		{ "ifnot on group 0 always jumps", 0, [this] { return Script { Line(kCmdIfNot, 2, 0), Mark("one") }; },
			{ "two" }, { "one" }, "" },
		{ "ifnot on an enabled group goes on", 5, [this] { return Script { Line(kCmdIfNot, 2, 5), Mark("one") }; },
			{ "one" }, { "two" }, "" },
		{ "then jumps for good", 0, [this] { return Script { Line(kCmdThen, 3), Mark("one") }; },
			{ "three", "two" }, { "one" }, "" },
		{ "a missing target is logged and passed", 0, [this] { return Script { Line(kCmdThen, 9), Mark("one") }; },
			{ "one" }, {}, "Couldn't find next object 9 from start\n" },
		{ "a line for actors without an actor is passed", 0, [this] { return Script { Line(kCmdHold, 3), Mark("one") }; },
			{ "one" }, {}, "" },
		{ "lines for world objects do nothing", 0,
			[this] { return Script { Line(kCmdUnlock, 3), Line(kCmdDir, 2), Line(kCmdFlag, 1), Mark("one") }; },
			{ "one" }, {}, "" },
		{ "map ends the script", 0, [this] { return Script { Line(kCmdMap, String("town")), Mark("one") }; },
			{}, { "one" }, "" },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		map.SetGroupFlag(row.enabledGroup, true);
		Add(kStartId, row.script(), kObjectArea, "start");
		Add(2, { Mark("two") });
		Add(3, { Mark("three"), Line(kCmdThen, 2) });
		testing::internal::CaptureStdout();
		MapSequence *sequence = StartSequence();
		EXPECT_EQ(testing::internal::GetCapturedStdout(), row.log);
		EXPECT_EQ(sequence->state, Sequence::kStateDone);
		for (const char *flag : row.ran)
			EXPECT_TRUE(Flag(flag)) << flag;
		for (const char *flag : row.skipped)
			EXPECT_FALSE(Flag(flag)) << flag;
	}
}

TEST_F(MapSequenceTest, MessagesWaitForThePlayerOnlyWhenShown)
{
	struct Row {
		const char *label;
		bool hud;
		bool moreLines;
		bool validMessage;
		int32_t stateAfterStart;
		const char *log;
	};
	const Row rows[] = {
		{ "a message with lines after it waits", true, true, true, Sequence::kStateWaiting, "" },
		{ "a last message does not wait", true, false, true, Sequence::kStateDone, "" },
		{ "no HUD", false, true, true, Sequence::kStateDone, "Couldn't get UI on start\n" },
		{ "a missing message", true, true, false, Sequence::kStateDone, "Couldn't find message 7 on start\n" },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		link->hud = row.hud;
		std::vector<MapCommand> script { Line(kCmdSay, row.validMessage ? Message("Hello") : 7, 4) };
		if (row.moreLines)
			script.push_back(Mark("after"));
		Add(kStartId, script, kObjectArea, "start");
		testing::internal::CaptureStdout();
		MapSequence *sequence = StartSequence();
		EXPECT_EQ(testing::internal::GetCapturedStdout(), row.log);
		EXPECT_EQ(sequence->state, row.stateAfterStart);
		bool shown = row.hud && row.validMessage;
		EXPECT_EQ(map.IsGroupEnabled(4), shown); // the message's group goes on with it
		if (shown) {
			EXPECT_EQ(Shown(*link), std::vector<std::string> { "message:Hello" });
		}
		if (row.stateAfterStart == Sequence::kStateWaiting) {
			EXPECT_FALSE(Flag("after"));
			UpdateActiveSequence(); // the frame poll never answers for the player
			EXPECT_EQ(sequence->state, Sequence::kStateWaiting);
			StepActiveSequence();
		}
		EXPECT_EQ(sequence->state, Sequence::kStateDone);
		EXPECT_EQ(Flag("after"), row.moreLines);
	}
}

TEST_F(MapSequenceTest, PromptAnswerChoosesTheNextScript)
{
	struct Row {
		const char *label;
		uint32_t answer;
		uint8_t answerObject;
		bool ranAnswer, ranRest;
		const char *log;
	};
	const Row rows[] = {
		{ "yes runs the answer object", MapGameLink::kMessageAnsweredYes, 2, true, false, "" },
		{ "no goes on after the prompt", 0, 2, false, true, "" },
		{ "yes without the answer object ends the script", MapGameLink::kMessageAnsweredYes, 9, false, false,
			"Couldn't find next object 9 from start\n" },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		Add(kStartId, { Line(kCmdPrompt, Message("Open the gate?"), row.answerObject), Mark("rest") }, kObjectArea, "start");
		Add(2, { Mark("answer") });
		MapSequence *sequence = StartSequence();
		ASSERT_EQ(sequence->state, Sequence::kStateWaiting);
		EXPECT_EQ(sequence->GetLastCommand()->code, (uint32_t)kCmdPrompt);
		EXPECT_TRUE(map.IsGroupEnabled(row.answerObject));
		link->messageState = row.answer;
		testing::internal::CaptureStdout();
		StepActiveSequence();
		EXPECT_EQ(testing::internal::GetCapturedStdout(), row.log);
		EXPECT_EQ(sequence->state, Sequence::kStateDone);
		EXPECT_EQ(Flag("answer"), row.ranAnswer);
		EXPECT_EQ(Flag("rest"), row.ranRest);
	}
}

TEST_F(MapSequenceTest, EveryEntryCountsTowardsTheStackLimit)
{
	struct Row {
		const char *label;
		bool byJumps;
		int steps; // jumps, or messages answered
		int32_t state;
	};
	const Row rows[] = {
		{ "253 jumps still run", true, 253, Sequence::kStateDone },
		{ "254 jumps overflow", true, 254, Sequence::kStateFailed },
		{ "253 resumptions still run", false, 253, Sequence::kStateDone },
		{ "254 resumptions overflow", false, 254, Sequence::kStateFailed },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		if (row.byJumps) {
			for (int id = kStartId; id < kStartId + row.steps; id++)
				Add((uint16_t)id, { Line(kCmdThen, (uint16_t)(id + 1)) });
			Add((uint16_t)(kStartId + row.steps), { Mark("end") });
		} else {
			std::vector<MapCommand> script(row.steps, Line(kCmdSay, Message("Again")));
			script.push_back(Mark("end"));
			Add(kStartId, script);
		}
		testing::internal::CaptureStdout();
		MapSequence *sequence = StartSequence();
		for (int answers = 0; IsSequenceState2() && answers <= row.steps; answers++)
			StepActiveSequence();
		std::string log = testing::internal::GetCapturedStdout();
		EXPECT_EQ(sequence->state, row.state);
		bool failed = row.state == Sequence::kStateFailed;
		EXPECT_EQ(log, failed ? "Command stack overflow.\n" : "");
		EXPECT_EQ(Flag("end"), !failed);
	}
}

TEST_F(MapSequenceTest, SavedFlagsReachTheSaveAndTheMapGroups)
{
	struct Row {
		const char *label;
		uint32_t code;
		bool flagBefore;
		bool flagAfter, written, groupAfter;
	};
	const Row rows[] = {
		{ "save of a new flag", kCmdSave, false, true, true, true },
		{ "save of a set flag writes nothing", kCmdSave, true, true, false, true },
		{ "unsave of a set flag", kCmdUnsave, true, false, true, false },
		{ "unsave of a clear flag writes nothing", kCmdUnsave, false, false, false, false },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		link->SetFlag("gate", row.flagBefore);
		Add(kStartId, { Line(row.code, String("gate")) });
		// A "load" object ties group 7 to the flag.
		MapObjectDef &load = Add(7, {}, kObjectLoad, "gate");
		map.SetGroupFlag(load.Group(), !row.groupAfter); // so only the script's update can fix it
		StartSequence();
		EXPECT_EQ(Flag("gate"), row.flagAfter);
		EXPECT_EQ(link->saves > 0, row.written);
		EXPECT_EQ(map.IsGroupEnabled(7), row.groupAfter);
	}
}

TEST_F(MapSequenceTest, EndingFlagsStopTheScriptAndFinishTheSave)
{
	struct Row {
		const char *flag;
		uint32_t ending;
		int screen; // 0: the quest's own ending screen, else the ending's number
	};
	const Row rows[] = {
		{ "ending", MapSequence::kEndingQuest, 0 },
		{ "end_fr", MapSequence::kEndingEnigmania, 5 },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.flag);
		Reset();
		link->currentMap = "town";
		link->startMap = HashName("town");
		Add(kStartId, { Line(kCmdSave, String(row.flag)), Mark("after") }, kObjectArea, "start");
		MapSequence *sequence = StartSequence();
		EXPECT_EQ(sequence->state, Sequence::kStateWaiting);
		EXPECT_EQ(sequence->GetEnding(), row.ending);
		EXPECT_EQ(sequence->Run(map.FindObjectById(kStartId)), Sequence::kStateDone); // nothing runs once an ending is saved
		EXPECT_TRUE(link->endings.empty()) << "the ending waits for the player";
		const int savesBefore = link->saves;
		StepActiveSequence();
		EXPECT_EQ(link->endings, std::vector<int>{row.screen});
		if (row.screen != 0) {
			EXPECT_EQ(link->winAltText, "Enigmania!");
		}
		EXPECT_FALSE(Flag("after"));
		EXPECT_EQ(link->currentMap, "");
		EXPECT_EQ(link->startMap, 0);
		EXPECT_GT(link->saves, savesBefore) << "the save no longer starts in a map";
		EXPECT_TRUE(Flag(row.flag));
	}
}

TEST_F(MapSequenceTest, ScriptStartedByARunningScriptWaitsForItsTurn)
{
	FakeMusic music;
	Add(kStartId, { Line(kCmdMusic, String("alarm")), Mark("first_went_on") });
	Add(2, { Mark("second_ran") });
	music.onPlay = [this] { SetActiveSequence(new MapSequence(&map, map.FindObjectById(2))); };

	StartSequence();
	EXPECT_EQ(music.played, std::vector<std::string> { "alarm" });
	// The first script was dropped in the middle of its line and did no
	// more; the second has not run inside it.
	EXPECT_FALSE(Flag("first_went_on"));
	EXPECT_FALSE(Flag("second_ran"));
	EXPECT_TRUE(IsSequenceRunning());
	UpdateActiveSequence();
	EXPECT_TRUE(Flag("second_ran"));
	EXPECT_FALSE(IsSequenceRunning());
}

TEST_F(MapSequenceTest, SpeakerChoosesHowTextIsShown)
{
	struct Row {
		const char *label;
		bool viaActorLine; // an area object names the record with "actor"; else the record runs itself
		uint8_t recordType;
		bool actor;
		const char *shown;
	};
	const Row rows[] = {
		{ "an actor named by an actor line speaks", true, 24, true, "speech:Bob:Hi" },
		{ "an actor line on a record without an actor", true, 24, false, "message:Hi" },
		{ "a sign is read under its title", false, 13, false, "titled:Bob:Hi" },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		Entity entity;
		entity.kind = kActorClassId;
		uint16_t text = Message("Hi");
		Add(kStartId, { Line(kCmdActor, 5), Line(kCmdSay, text) });
		MapObjectDef &record = Add(5, { Line(kCmdSay, text) }, kObjectEntity, "Bob");
		record.type = row.recordType;
		record.entity = row.actor ? &entity : nullptr;
		testing::internal::CaptureStdout();
		MapSequence *sequence = StartSequence(row.viaActorLine ? kStartId : 5);
		testing::internal::GetCapturedStdout();
		EXPECT_EQ(Shown(*link), std::vector<std::string> { row.shown });
		const std::vector<std::string> deeds = row.actor ? std::vector<std::string>{"speak", "stop"}
		                                                 : std::vector<std::string>{};
		EXPECT_EQ(world.Names(), deeds) << "an actor speaks its line aloud and stops to talk";
		EXPECT_EQ(sequence->GetSourceEntity(), row.actor ? &entity : nullptr);
		EndActiveSequence();
		record.entity = nullptr;
	}
}

// The "render" line asks the game to step its graphics mode on by one of the
// renderer's post modes; the render pass is up in these tests or not, and the
// count it has goes up with the line.
TEST_F(MapSequenceTest, RenderLineAsksTheGameForTheNextPostMode)
{
	Reset();
	Add(kStartId, { Line(kCmdRender, 0), Mark("after") });
	MapSequence *sequence = StartSequence();
	EXPECT_EQ(sequence->state, Sequence::kStateDone);
	ASSERT_EQ(link->graphicsSteps.size(), 1u);
	Renderer *renderer = GetRenderer();
	EXPECT_EQ(link->graphicsSteps[0], renderer != nullptr ? renderer->GetPostModeCount() : 0);
	EXPECT_TRUE(Flag("after"));
}

// Resuming closes a panel that a script put over its scene.
TEST_F(MapSequenceTest, ResumingClosesTheOverlayOfThePlayersScene)
{
	struct OverlayScene : Scene {
		void SetOverlayUI(Entity *ui) override { overlay = ui; }
		Entity *overlay = nullptr;
	} overlayScene;
	overlayScene.state = kSceneActive;
	TileMap overlayMap;
	overlayMap.SetScriptWorld(&world);
	Entity player;
	player.faction = 1;
	player.transform.SetPosition(Vec3(2.0f, 0.0f, 0.0f));
	Entity panel;
	overlayScene.AddEntity(&overlayMap);
	overlayScene.AddEntity(&player);
	overlayScene.Update(1.0f / 60.0f);
	overlayScene.SetOverlayUI(&panel);

	MapObjectDef object;
	object.id = kStartId;
	MapSequence sequence(&overlayMap, &object);
	EXPECT_EQ(sequence.FindPlayer(), nullptr) << "nothing is the hero yet";
	world.player = &player;
	ASSERT_EQ(sequence.FindPlayer(), &player);
	world.playerHearts = 0;
	EXPECT_EQ(sequence.FindPlayer(), nullptr) << "a hero without hearts is no player";
	world.playerHearts = 2;
	sequence.Resume();
	EXPECT_EQ(overlayScene.overlay, nullptr);
}

// "save" unlocks the achievement of its name every time, before the map's
// groups are brought up to date, even when the flag was already set.
TEST_F(MapSequenceTest, SaveUnlocksTheAchievementOfItsName)
{
	for (bool setBefore : {false, true}) {
		SCOPED_TRACE(setBefore);
		Reset();
		link->SetFlag("cranky", setBefore);
		Add(kStartId, { Line(kCmdSave, String("cranky")) });
		StartSequence();
		EXPECT_TRUE(Flag("cranky"));
		EXPECT_EQ(std::vector<std::string>({"cranky"}), link->achievementNames);
	}
}

// Lines that act on actors, the hero and the party go to the map's script
// world with the right actor, and the script waits on the orders it gives:
// a refused order or a hidden actor that should move fails the script.
TEST_F(MapSequenceTest, ActorLinesGoThroughTheScriptWorld)
{
	constexpr uint8_t kTowneeType = 24; // entity kind 26
	constexpr uint16_t kActorId = 5;
	using Script = std::vector<MapCommand>;
	struct Row {
		const char *label;
		std::function<Script()> script; // run by the actor's own record
		bool dead, hidden;
		std::vector<std::string> deeds;
		int32_t state;
		bool awaits;
	};
	const Row rows[] = {
		{ "hold names the entity kind", [&] { return Script { Line(kCmdHold, 41) }; }, false, false, { "hold 43" }, Sequence::kStateDone, false },
		{ "block is not waited on", [&] { return Script { Line(kCmdBlock, 0) }; }, false, false, { "block" }, Sequence::kStateDone, false },
		{ "dead fells the actor", [&] { return Script { Line(kCmdDead, 0) }; }, false, false, { "defeat" }, Sequence::kStateDone, false },
		{ "party", [&] { return Script { Line(kCmdParty, 0) }; }, false, false, { "join" }, Sequence::kStateDone, false },
		{ "unparty names the record's kind", [&] { return Script { Line(kCmdUnparty, kActorId) }; }, false, false, { "leave 26" },
			Sequence::kStateDone, false },
		{ "walk waits", [&] { return Script { Line(kCmdWalk, 9) }; }, false, false, { "walk" }, Sequence::kStateRunning, true },
		{ "walk refused", [&] { return Script { Line(kCmdWalk, 9) }; }, true, false, { "walk" }, Sequence::kStateFailed, false },
		{ "walk while hidden", [&] { return Script { Line(kCmdHide, 1), Line(kCmdWalk, 9) }; }, false, true, {}, Sequence::kStateFailed, false },
		{ "kill 0 hunts the hero", [&] { return Script { Line(kCmdKill, 0) }; }, false, false, { "kill" }, Sequence::kStateRunning, true },
		{ "take from the hero", [&] { return Script { Line(kCmdTake, kActorId) }; }, false, false, { "take" }, Sequence::kStateRunning, true },
		{ "give hands the hero a weapon", [&] { return Script { Line(kCmdGive, 41), Mark("after") }; }, false, false, { "give 43" },
			Sequence::kStateWaiting, false },
		{ "map names the way out", [&] { return Script { Line(kCmdMap, String("town")) }; }, false, false, { "exit town" },
			Sequence::kStateDone, false },
		{ "say talks to the hero", [&] { return Script { Line(kCmdSay, Message("Hi")), Mark("after") }; }, false, false,
			{ "speak", "stop", "talk" }, Sequence::kStateWaiting, true },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		Entity player;
		player.faction = 1;
		player.transform.SetPosition(Vec3(2.0f, 0.0f, 0.0f)); // the search skips the origin itself
		scene.AddEntity(&player);
		Entity actor;
		actor.kind = kActorClassId;
		scene.AddEntity(&actor);
		scene.Update(1.0f / 60.0f);
		world.player = &player;
		if (row.dead)
			world.dead.insert(&actor);
		MapObjectDef &record = Add(kActorId, row.script(), kObjectEntity, "Maren");
		record.type = kTowneeType;
		record.entity = &actor;
		Add(9, {}, kObjectArea, "spot");
		MapSequence *sequence = StartSequence(kActorId);
		EXPECT_EQ(world.Names(), row.deeds);
		for (const RecordingScriptWorld::Deed &deed : world.deeds) {
			// What the hero is given or told goes to the hero; the rest to the actor.
			const bool toHero = deed.what == "give 43" || deed.what == "exit town";
			if (deed.actor != nullptr) {
				EXPECT_EQ(deed.actor, toHero ? &player : &actor) << deed.what;
			}
		}
		EXPECT_EQ(sequence->state, row.state);
		EXPECT_EQ(row.hidden, !actor.IsActive());
		EXPECT_EQ(sequence->GetAwaitedOrder() != ScriptWorld::kNoHandle, row.awaits);
		if (row.awaits && row.state == Sequence::kStateRunning) {
			EXPECT_FALSE(sequence->IsReadyToResume()) << "the order is still under way";
			world.Finish(sequence->GetAwaitedOrder());
			EXPECT_TRUE(sequence->IsReadyToResume());
		}
		EndActiveSequence();
		record.entity = nullptr;
		scene.RemoveEntity(&actor);
		scene.RemoveEntity(&player);
	}
}

// "if$" and "take$" read and lighten what the hero carries.
TEST_F(MapSequenceTest, WeightLinesReadTheHerosLoad)
{
	struct Row {
		const char *label;
		uint16_t weight;
		MapCommand line;
		uint16_t weightAfter;
		bool jumped;
	};
	const Row rows[] = {
		{ "take$ some", 30, Line(kCmdTakeWeight, 10), 20, false },
		{ "take$ more than carried leaves none", 30, Line(kCmdTakeWeight, 200), 0, false },
		{ "if$ with enough jumps", 10, Line(kCmdIfWeight, 2, 10), 10, true },
		{ "if$ with too little goes on", 9, Line(kCmdIfWeight, 2, 10), 9, false },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		Entity player;
		player.faction = 1;
		player.transform.SetPosition(Vec3(2.0f, 0.0f, 0.0f)); // the search skips the origin itself
		scene.AddEntity(&player);
		scene.Update(1.0f / 60.0f);
		world.player = &player;
		world.weight = row.weight;
		Add(kStartId, { row.line });
		Add(2, { Mark("jumped") });
		StartSequence();
		EXPECT_EQ(world.weight, row.weightAfter);
		EXPECT_EQ(Flag("jumped"), row.jumped);
		scene.RemoveEntity(&player);
	}
}
