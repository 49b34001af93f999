#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/NameHash.h"
#include "map/Missions.h"
#include "support/RecordingMapLink.h"
#include "support/TempFolder.h"

namespace {

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
		std::string path = folder.Path("missions.xml");
		TempFolder::WriteBytes(path, std::vector<uint8_t>(kFiveMissions, kFiveMissions + strlen(kFiveMissions)));
		table = std::make_unique<Missions>(path.c_str());
		ASSERT_TRUE(table->Load());
	}
	// The game in progress.
	RecordingMapLink link;
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
	Camera camera;
	Camera::SetCurrent(&camera);
	EXPECT_EQ(Missions::kMissionOpen, table->StateOf("third"));
	EXPECT_TRUE(table->CompleteMission("third"));
	EXPECT_EQ(Missions::kMissionDone, table->StateOf("third"));
	ASSERT_EQ(1u, link.messages.size());
	EXPECT_EQ("Third", link.messages.back().title);
	EXPECT_EQ("Three done.", link.messages.back().text);
	EXPECT_EQ(MapGameLink::kKindMission, link.messages.back().kind);
	EXPECT_FLOAT_EQ(Missions::kNoticeWaviness, link.waviness);
	EXPECT_FLOAT_EQ(Missions::kNoticeShake, camera.GetShakeAmount());
	EXPECT_EQ(std::vector<uint16_t>{HashName("third")}, link.achievements) << "the quest's achievement is earned";

	EXPECT_FALSE(table->CompleteMission("third")) << "a second completion does nothing";
	EXPECT_EQ(1u, link.messages.size());

	EXPECT_TRUE(table->CompleteMission("second"));
	EXPECT_EQ("QUEST!", link.messages.back().title) << "an empty name shows the plain title";

	EXPECT_EQ(Missions::kNoMission, table->StateOf("gate"));
	EXPECT_FALSE(table->CompleteMission("gate"));
	EXPECT_TRUE(link.Flag("gate")) << "a flag that is no mission is still set";
	EXPECT_EQ(2u, link.messages.size());
	Camera::SetCurrent(nullptr);
}

TEST_F(MissionTable, CompleteWithoutCameraOrSound)
{
	Camera::SetCurrent(nullptr);
	EXPECT_TRUE(table->CompleteMission("fifth")) << "no camera, no sound: the notice still shows";
	ASSERT_FALSE(link.messages.empty());
	EXPECT_EQ("Fifth", link.messages.back().title);
}

TEST_F(MissionTable, SummaryCountsOnlyTheMissionsTheTableHas)
{
	ProgressFacts record;
	record.flags.push_back(HashName("first"));
	ProgressSummary summary;
	table->SummarizeRecord(summary, record);
	EXPECT_EQ(1, summary.missions);
	EXPECT_STREQ("NEW", summary.latestMission) << "the first mission alone is still a new game";
	EXPECT_EQ(6, summary.percent);

	for (const char *name : {"second", "fourth", "fifth"})
		record.flags.push_back(HashName(name));
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
	ProgressFacts record;
	record.visitedMaps.push_back(HashName("towerf5"));
	for (int coin = 1; coin <= kDragonCoinCount; ++coin)
		record.flags.push_back(HashName(("dragon" + std::to_string(coin)).c_str()));
	for (size_t i = 0; i < kSummaryMissionCount; ++i)
		record.flags.push_back(shipped.GetMission(i)->save);
	record.capacityLevel = 7;
	record.maxWeight = 250; // the largest cooler
	// Four flags worth a point each, and 23 items, all found.
	for (uint16_t flag = 9000; flag < 9004; ++flag) {
		record.bonusFlags.push_back(flag);
		record.flags.push_back(flag);
	}
	for (uint16_t flag = 9100; flag < 9123; ++flag) {
		record.itemFlags.push_back(flag);
		record.flags.push_back(flag);
	}
	record.itemFlags.push_back(9200); // one more item, not found

	ProgressSummary summary;
	shipped.SummarizeRecord(summary, record);
	// 1 + 24 areas + 16 dragons + 60 missions + 1 capacity + 4 special = 106.
	EXPECT_EQ(105, summary.percent);
	EXPECT_EQ(1, summary.complete);
	EXPECT_EQ(12, summary.missions);
	EXPECT_EQ(8, summary.dragons);
	EXPECT_EQ(23, summary.items) << "counted in the record summarized, not the current one";
	EXPECT_EQ(30, summary.itemsAndCapacity);
	EXPECT_STREQ(shipped.GetMission(11)->stub, summary.latestMission);

	record.flags.erase(std::find(record.flags.begin(), record.flags.end(), 9000));
	record.flags.erase(std::find(record.flags.begin(), record.flags.end(), 9001));
	record.maxWeight = 249;
	shipped.SummarizeRecord(summary, record);
	EXPECT_EQ(103, summary.percent);
	EXPECT_EQ(0, summary.complete);
}

TEST(Mission, NewsReadCountsTheScrollFlags)
{
	RecordingMapLink link;
	EXPECT_EQ(0, Missions::CountNewsRead());
	link.SetFlagId(static_cast<uint16_t>(CombineNameHashes("far6", "news")), true);
	link.SetFlagId(static_cast<uint16_t>(CombineNameHashes("south4", "news")), true);
	link.SetFlagId(static_cast<uint16_t>(CombineNameHashes("town", "news")), true);
	EXPECT_EQ(2, Missions::CountNewsRead());
	EXPECT_EQ(10, Missions::GetNewsTotal());
}
