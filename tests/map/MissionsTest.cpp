#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "game/GameProgress.h"
#include "game/GameUI.h"
#include "map/Missions.h"
#include "objects/CollectableKind.h"
#include "support/TempFolder.h"

namespace {

// A HUD that keeps the last titled message it was asked to show.
struct RecordingHud : GameUI {
	std::string title;
	std::string text;
	int shown = 0;
	void ShowTitledMessage(const char *heading, const char *body, float seconds, uint8_t kind) override
	{
		GameUI::ShowTitledMessage(heading, body, seconds, kind);
		title = heading;
		text = body;
		shown++;
	}
};

const char *const kFiveMissions = R"(<missions>
	<mission save="first" name="First" text="One done." stub="One"/>
	<mission save="second" name="" text="Two done." stub="Two"/>
	<mission save="third" name="Third" text="Three done." stub="Three"/>
	<mission save="fourth" name="Fourth" text="Four done." stub="Four"/>
	<mission save="fifth" name="Fifth" text="Five done." stub="Five" sound=""/>
</missions>)";

class MissionTable : public testing::Test {
protected:
	void SetUp() override
	{
		GameProgress::ResetGlobal();
		std::string path = folder.Path("missions.xml");
		TempFolder::WriteBytes(path, std::vector<uint8_t>(kFiveMissions, kFiveMissions + strlen(kFiveMissions)));
		table = std::make_unique<Missions>(path.c_str());
		ASSERT_TRUE(table->Load());
	}
	void TearDown() override { GameProgress::ResetGlobal(); }

	TempFolder folder;
	std::unique_ptr<Missions> table;
};

}

TEST(Mission, ShippedTableHasTheStoryThenTheEndings)
{
	Missions shipped;
	ASSERT_TRUE(shipped.Load());
	ASSERT_EQ(20u, shipped.GetCount());
	EXPECT_EQ(HashName("ending"), shipped.GetMission(11)->save) << "the twelfth quest is the ending";
	const char *const tail[] = {"end_fr", "end_meat", "end_chicken", "end_north", "end_lady", "end_hole", "speedy", "lakeless"};
	for (size_t i = 0; i < 8; ++i)
		EXPECT_EQ(HashName(tail[i]), shipped.GetMission(12 + i)->save) << tail[i];
	std::set<uint16_t> saves;
	for (size_t i = 0; i < shipped.GetCount(); ++i) {
		const Mission *mission = shipped.GetMission(i);
		SCOPED_TRACE(mission->stub);
		saves.insert(mission->save);
		EXPECT_NE('\0', mission->stub[0]);
		EXPECT_NE('\0', mission->text[0]);
		EXPECT_TRUE(TempFolder::Exists(ResolvePath(mission->sound))) << mission->sound << " is made by the build";
	}
	EXPECT_EQ(shipped.GetCount(), saves.size()) << "save names are distinct by hash";
	EXPECT_EQ(nullptr, shipped.GetMission(shipped.GetCount()));
}

TEST(Mission, BrokenFilesLeaveTheTableUnloaded)
{
	TempFolder folder;
	const struct {
		const char *name;
		const char *text; // null: no file at all
	} rows[] = {
		{"no file", nullptr},
		{"not xml", "<missions><mission"},
		{"no root", "<quests><mission save=\"a\"/></quests>"},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::string path = folder.Path(std::string(row.name) + ".xml");
		if (row.text != nullptr)
			TempFolder::WriteBytes(path, std::vector<uint8_t>(row.text, row.text + strlen(row.text)));
		Missions table(path.c_str());
		EXPECT_FALSE(table.Load());
		EXPECT_FALSE(table.IsLoaded());
		EXPECT_EQ(0u, table.GetCount());
	}
}

TEST_F(MissionTable, LoadingTwiceKeepsOneTable)
{
	ASSERT_TRUE(table->Load());
	EXPECT_EQ(5u, table->GetCount());
	EXPECT_STREQ("Three", table->GetMission(2)->stub);
}

TEST_F(MissionTable, CompleteOnceWithNoticeShakeAndFlag)
{
	RecordingHud hud;
	Camera camera;
	Camera::SetCurrent(&camera);
	EXPECT_EQ(Missions::kMissionOpen, table->StateOf("third", GameProgress::Current()));
	EXPECT_TRUE(table->CompleteMission("third"));
	EXPECT_EQ(Missions::kMissionDone, table->StateOf("third", GameProgress::Current()));
	EXPECT_EQ("Third", hud.title);
	EXPECT_EQ("Three done.", hud.text);
	EXPECT_FLOAT_EQ(Missions::kNoticeWaviness, hud.GetWaviness());
	EXPECT_FLOAT_EQ(Missions::kNoticeShake, camera.GetShakeAmount());

	EXPECT_FALSE(table->CompleteMission("third")) << "a second completion does nothing";
	EXPECT_EQ(1, hud.shown);

	EXPECT_TRUE(table->CompleteMission("second"));
	EXPECT_EQ("QUEST!", hud.title) << "an empty name shows the plain title";

	EXPECT_EQ(Missions::kNoMission, table->StateOf("gate", GameProgress::Current()));
	EXPECT_FALSE(table->CompleteMission("gate"));
	EXPECT_TRUE(GameProgress::Flag("gate")) << "a flag that is no mission is still set";
	EXPECT_EQ(2, hud.shown);
	Camera::SetCurrent(nullptr);
}

TEST_F(MissionTable, CompleteWithoutCameraOrSound)
{
	RecordingHud hud;
	Camera::SetCurrent(nullptr);
	EXPECT_TRUE(table->CompleteMission("fifth")) << "no camera, no sound: the notice still shows";
	EXPECT_EQ("Fifth", hud.title);
}

TEST_F(MissionTable, SummaryCountsOnlyTheMissionsTheTableHas)
{
	GameProgress record;
	record.SetFlagIn(HashName("first"), 1);
	ProgressSummary summary;
	table->SummarizeRecord(summary, record);
	EXPECT_EQ(1, summary.missions);
	EXPECT_STREQ("NEW", summary.latestMission) << "the first mission alone is still a new game";
	EXPECT_EQ(6, summary.percent);

	for (const char *name : {"second", "fourth", "fifth"})
		record.SetFlagIn(HashName(name), 1);
	table->SummarizeRecord(summary, record);
	EXPECT_EQ(4, summary.missions);
	EXPECT_STREQ("Five", summary.latestMission);
	const uint8_t done[kSummaryMissionCount] = {1, 1, 0, 1, 1};
	EXPECT_EQ(0, memcmp(done, summary.missionDone, sizeof(done)));
}

TEST(Mission, EverythingShowsAsHundredAndFive)
{
	Missions shipped;
	ASSERT_TRUE(shipped.Load());
	GameProgress record;
	record.mapRecords.push_back(MapRecord{HashName("towerf5"), {}});
	for (int coin = 1; coin <= kDragonCoinCount; ++coin)
		record.SetFlagIn(HashName(("dragon" + std::to_string(coin)).c_str()), 1);
	for (size_t i = 0; i < kSummaryMissionCount; ++i)
		record.SetFlagIn(shipped.GetMission(i)->save, 1);
	record.stats.capacityLevel = 7; // the largest cooler
	const struct {
		const char *set;
		uint8_t n;
	} special[] = {{"puzzle", CollectableKind::kHalfFound}, {"puzzle", CollectableKind::kComplete},
	               {"letter", CollectableKind::kComplete}, {"tri", CollectableKind::kComplete}};
	for (const auto &flag : special)
		record.SetFlagIn(CollectableFlagHash(flag.set, flag.n), 1);
	for (uint32_t set = 0; set < CollectableKind::kSetCount; ++set)
		for (uint8_t n = 1; n <= CollectableKind::Get(set)->count; ++n)
			record.SetFlagIn(CollectableFlagKey(CollectableKind::Get(set)->baseFlag, n), 1);

	ProgressSummary summary;
	shipped.SummarizeRecord(summary, record);
	// 1 + 24 areas + 16 dragons + 60 missions + 1 capacity + 4 special = 106.
	EXPECT_EQ(105, summary.percent);
	EXPECT_EQ(1, summary.complete);
	EXPECT_EQ(12, summary.missions);
	EXPECT_EQ(8, summary.dragons);
	EXPECT_EQ(23, summary.items) << "counted in the record summarized, not the current one";
	EXPECT_STREQ(shipped.GetMission(11)->stub, summary.latestMission);

	record.SetFlagIn(CollectableFlagHash("tri", CollectableKind::kComplete), 0);
	record.SetFlagIn(CollectableFlagHash("letter", CollectableKind::kComplete), 0);
	shipped.SummarizeRecord(summary, record);
	EXPECT_EQ(104, summary.percent);
	EXPECT_EQ(0, summary.complete);
}

TEST(Mission, NewsReadCountsTheScrollFlags)
{
	GameProgress::ResetGlobal();
	EXPECT_EQ(0, Missions::CountNewsRead());
	GameProgress::SetFlagId(static_cast<uint16_t>(CombineNameHashes("far6", "news")), 1);
	GameProgress::SetFlagId(static_cast<uint16_t>(CombineNameHashes("south4", "news")), 1);
	GameProgress::SetFlagId(static_cast<uint16_t>(CombineNameHashes("town", "news")), 1);
	EXPECT_EQ(2, Missions::CountNewsRead());
	EXPECT_EQ(10, Missions::GetNewsTotal());
	GameProgress::ResetGlobal();
}
