#include "map/MapSequence.h"

#include "audio/ModMusicPlayer.h"
#include "engine/core/ActiveSequence.h"
#include "engine/core/Entity.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/Scene.h"
#include "game/ScreenWinAlt.h"
#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "objects/GameLink.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"
#include "game/TalvexGameScene.h"
#include "map/TileMap.h"
#include "objects/PlayerStats.h"
#include "support/SharedRenderer.h"
#include "support/SaveFolder.h"
#include "support/TempFolder.h"
#include "support/MissingDevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A HUD that remembers what it was asked to show, and whose prompt answer
// the test sets.
class FakeHud : public GameUI {
public:
	void ShowMessage(const char *text, float seconds, uint8_t kind) override
	{
		GameUI::ShowMessage(text, seconds, kind);
		shown.push_back("message:" + std::string(text));
	}
	void ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind) override
	{
		GameUI::ShowTitledMessage(title, text, seconds, kind);
		shown.push_back("titled:" + std::string(title) + ":" + text);
	}
	void ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind) override
	{
		GameUI::ShowSpeech(speaker, text, seconds, kind);
		shown.push_back("speech:" + std::string(speaker) + ":" + text);
	}
	void Answer(uint32_t value) { messageState = value; }

	std::vector<std::string> shown;
};

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

// The game, so that its win screen can be asked for without the single one.
// Notes the quest-complete screen in the log instead of changing screens.
class TestGame : public TalvexGame {
public:
	void ShowQuestComplete() override { Log("Quest complete screen\n"); }
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
		folder.Use();
		scene.state = kSceneActive;
		scene.AddEntity(&map);
	}
	void TearDown() override
	{
		EndActiveSequence();
		SaveFolder::Release();
	}

	// Empties the map's objects, tables and groups and the game flags.
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
		GameProgress::ResetGlobal();
		std::filesystem::remove(SaveFile());
	}
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
	std::string SaveFile() const { return GameProgress::SaveFileName(kCurrentSaveSlot); }

	SaveFolder folder;
	Scene scene;
	TileMap map;
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
			EXPECT_TRUE(GameProgress::Flag(flag)) << flag;
		for (const char *flag : row.skipped)
			EXPECT_FALSE(GameProgress::Flag(flag)) << flag;
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
		std::unique_ptr<FakeHud> hud(row.hud ? new FakeHud() : nullptr);
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
			EXPECT_EQ(hud->shown, std::vector<std::string> { "message:Hello" });
		}
		if (row.stateAfterStart == Sequence::kStateWaiting) {
			EXPECT_FALSE(GameProgress::Flag("after"));
			UpdateActiveSequence(); // the frame poll never answers for the player
			EXPECT_EQ(sequence->state, Sequence::kStateWaiting);
			StepActiveSequence();
		}
		EXPECT_EQ(sequence->state, Sequence::kStateDone);
		EXPECT_EQ(GameProgress::Flag("after"), row.moreLines);
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
		{ "yes runs the answer object", GameUI::kMessageAnsweredYes, 2, true, false, "" },
		{ "no goes on after the prompt", 0, 2, false, true, "" },
		{ "yes without the answer object ends the script", GameUI::kMessageAnsweredYes, 9, false, false,
			"Couldn't find next object 9 from start\n" },
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.label);
		Reset();
		FakeHud hud;
		Add(kStartId, { Line(kCmdPrompt, Message("Open the gate?"), row.answerObject), Mark("rest") }, kObjectArea, "start");
		Add(2, { Mark("answer") });
		MapSequence *sequence = StartSequence();
		ASSERT_EQ(sequence->state, Sequence::kStateWaiting);
		EXPECT_EQ(sequence->GetLastCommand()->code, (uint32_t)kCmdPrompt);
		EXPECT_TRUE(map.IsGroupEnabled(row.answerObject));
		hud.Answer(row.answer);
		testing::internal::CaptureStdout();
		StepActiveSequence();
		EXPECT_EQ(testing::internal::GetCapturedStdout(), row.log);
		EXPECT_EQ(sequence->state, Sequence::kStateDone);
		EXPECT_EQ(GameProgress::Flag("answer"), row.ranAnswer);
		EXPECT_EQ(GameProgress::Flag("rest"), row.ranRest);
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
		FakeHud hud;
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
		EXPECT_EQ(GameProgress::Flag("end"), !failed);
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
		GameProgress::SetFlag("gate", row.flagBefore ? 1 : 0);
		Add(kStartId, { Line(row.code, String("gate")) });
		// A "load" object ties group 7 to the flag.
		MapObjectDef &load = Add(7, {}, kObjectLoad, "gate");
		map.SetGroupFlag(load.Group(), !row.groupAfter); // so only the script's update can fix it
		StartSequence();
		EXPECT_EQ(GameProgress::Flag("gate"), row.flagAfter);
		EXPECT_EQ(std::filesystem::exists(SaveFile()), row.written);
		EXPECT_EQ(map.IsGroupEnabled(7), row.groupAfter);
	}
}

TEST_F(MapSequenceTest, EndingFlagsStopTheScriptAndFinishTheSave)
{
	struct Row {
		const char *flag;
		uint32_t ending;
		const char *logOnAnswer;
	};
	const Row rows[] = {
		{ "ending", MapSequence::kEndingQuest, "Quest complete screen\n" },
		{ "end_fr", MapSequence::kEndingEnigmania, nullptr }, // the ending's screen instead
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.flag);
		Reset();
		TestGame game;
		GameProgress::SetCurrentMap("town");
		GameProgress::SetStartMap(HashName("town"));
		Add(kStartId, { Line(kCmdSave, String(row.flag)), Mark("after") }, kObjectArea, "start");
		MapSequence *sequence = StartSequence();
		EXPECT_EQ(sequence->state, Sequence::kStateWaiting);
		EXPECT_EQ(sequence->GetEnding(), row.ending);
		EXPECT_EQ(sequence->Run(map.FindObjectById(kStartId)), Sequence::kStateDone); // nothing runs once an ending is saved
		std::filesystem::remove(SaveFile());
		testing::internal::CaptureStdout();
		StepActiveSequence();
		std::string log = testing::internal::GetCapturedStdout();
		if (row.logOnAnswer != nullptr) {
			EXPECT_NE(log.find(row.logOnAnswer), std::string::npos) << log;
		} else {
			auto *screen = dynamic_cast<ScreenWinAlt *>(game.GetPendingScene());
			ASSERT_NE(nullptr, screen);
			EXPECT_EQ(5, screen->GetEnding());
		}
		EXPECT_FALSE(GameProgress::Flag("after"));
		EXPECT_EQ(GameProgress::Current().currentMap, 0);
		EXPECT_EQ(GameProgress::StartMap(), 0);
		EXPECT_TRUE(std::filesystem::exists(SaveFile()));
		EXPECT_TRUE(GameProgress::Flag(row.flag));
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
	EXPECT_FALSE(GameProgress::Flag("first_went_on"));
	EXPECT_FALSE(GameProgress::Flag("second_ran"));
	EXPECT_TRUE(IsSequenceRunning());
	UpdateActiveSequence();
	EXPECT_TRUE(GameProgress::Flag("second_ran"));
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
		FakeHud hud;
		Entity entity;
		entity.kind = 2000; // the class kind of actors
		uint16_t text = Message("Hi");
		Add(kStartId, { Line(kCmdActor, 5), Line(kCmdSay, text) });
		MapObjectDef &record = Add(5, { Line(kCmdSay, text) }, kObjectEntity, "Bob");
		record.type = row.recordType;
		record.entity = row.actor ? &entity : nullptr;
		testing::internal::CaptureStdout();
		MapSequence *sequence = StartSequence(row.viaActorLine ? kStartId : 5);
		testing::internal::GetCapturedStdout();
		EXPECT_EQ(hud.shown, std::vector<std::string> { row.shown });
		EXPECT_EQ(sequence->GetSourceEntity(), row.actor ? &entity : nullptr);
		EndActiveSequence();
		record.entity = nullptr;
	}
}

// The "render" line steps the graphics mode of the settings to the next
// post-processing mode, round to the first after the last, and stores it.
TEST_F(MapSequenceTest, RenderLineStepsThroughThePostModes)
{
	std::string whyNot;
	Renderer *renderer = SharedStartedRenderer(whyNot);
	if (renderer == nullptr)
		SKIP_FOR_MISSING_DEVICE() << whyNot;
	const uint16_t modes = renderer->GetPostModeCount();
	ASSERT_GE(modes, 2);
	uint8_t values[kSettingsSize];
	memcpy(values, Settings::Instance().Get(), sizeof(values));
	values[kSettingGraphicsMode] = (uint8_t)(modes - 2);
	Settings::Instance().Set(values);
	std::filesystem::remove(folder.Path("settings.dat"));

	const uint8_t expected[] = {(uint8_t)(modes - 1), 0, 1};
	for (uint8_t mode : expected) {
		SCOPED_TRACE("to mode " + std::to_string(mode));
		Reset();
		Add(kStartId, { Line(kCmdRender, 0) });
		StartSequence();
		EXPECT_EQ(Settings::Instance().Get()[kSettingGraphicsMode], mode);
		EXPECT_TRUE(std::filesystem::exists(folder.Path("settings.dat")));
	}
}

namespace {

// A map sequence that finds the player: the world objects give their actors
// stats, which the bare map does not know.
class PlayerSequence : public MapSequence {
public:
	using MapSequence::MapSequence;
	PlayerStats stats;

protected:
	PlayerStats *GetActorStats(Entity *entity) override
	{
		(void)entity;
		return &stats;
	}
};

}

// Resuming closes a panel that a script put over the in-game scene; any other
// scene has no such panel, and what it lists stays.
TEST(MapSequenceOverlay, ResumingClosesTheOverlayOfTheInGameSceneOnly)
{
	for (bool inGame : {true, false}) {
		SCOPED_TRACE(inGame ? "in-game scene" : "another scene");
		std::unique_ptr<Scene> scene = inGame ? std::make_unique<TalvexGameScene>() : std::make_unique<Scene>();
		scene->state = kSceneActive;
		TileMap map;
		Entity player;
		player.faction = 1;
		player.transform.SetPosition(Vec3(2.0f, 0.0f, 0.0f));
		Entity panel;
		scene->AddEntity(&map);
		scene->AddEntity(&player);
		scene->Update(1.0f / 60.0f); // the player is up before any panel stops the world
		scene->SetOverlayUI(&panel);
		if (!inGame)
			scene->AddEntity(&panel);
		scene->Update(1.0f / 60.0f);
		// The in-game scene shows the panel on its overlay stack; any other
		// scene lists it as one of its entities.
		auto panelShown = [&] {
			if (inGame)
				return static_cast<TalvexGameScene &>(*scene).GetOverlayUI() == &panel;
			return scene->HasEntity(&panel);
		};
		ASSERT_TRUE(panelShown());

		MapObjectDef object;
		object.id = kStartId;
		PlayerSequence sequence(&map, &object);
		sequence.stats.hearts = 2;
		ASSERT_EQ(sequence.FindPlayer(), &player);
		sequence.Resume();
		EXPECT_EQ(panelShown(), !inGame);
	}
}

// "save" unlocks the achievement of its name every time, before the map's
// groups are brought up to date, even when the flag was already set.
TEST_F(MapSequenceTest, SaveUnlocksTheAchievementOfItsName)
{
	struct NameLink : GameLink {
		void UnlockAchievementByName(const char *name) override { names.push_back(name); }
		std::vector<std::string> names;
	} link;
	TalvexGame::Current(); // the game installs its own link when first built
	GameLink::Install(&link);
	for (bool setBefore : {false, true}) {
		SCOPED_TRACE(setBefore);
		Reset();
		link.names.clear();
		GameProgress::SetFlag("cranky", setBefore ? 1 : 0);
		Add(kStartId, { Line(kCmdSave, String("cranky")) });
		StartSequence();
		EXPECT_TRUE(GameProgress::Flag("cranky"));
		EXPECT_EQ(std::vector<std::string>({"cranky"}), link.names);
	}
	GameLink::Install(nullptr);
}
