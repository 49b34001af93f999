#include "map/Missions.h"

#include <cstdio>
#include <cstring>

#include <tinyxml2.h>

#include "audio/ModMusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/Camera.h"
#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/StringUtil.h"
#include "map/MapGameLink.h"

namespace {

constexpr int kFullCapacityWeight = 250; // tenths of a kilogram: the largest cooler
constexpr int kPointsPerDragon = 2;
constexpr int kPointsPerMission = 5;
constexpr const char *kEmptyNameTitle = "QUEST!";
constexpr const char *kNoMissionStub = "NEW";

// The areas that measure how far a game got, nearest first; reaching the n-th
// one is worth n points.
const char *const kProgressAreas[] = {
	"north1", "town2", "hutsmith", "south1", "tinsmith", "far2", "far4", "far41",
	"mountain2", "mountain4", "hot1", "cold3", "coldn", "hot2", "hotn", "black2",
	"tower1", "tower3", "tower32", "towerf1", "towerf2", "towerf3", "towerf4", "towerf5",
};
constexpr int kProgressAreaCount = sizeof(kProgressAreas) / sizeof(kProgressAreas[0]);

// The areas whose news scroll counts as read through NewsFlag(area).
const char *const kNewsAreas[Missions::kNewsTotal] = {
	"black3", "blacktotown", "cold4", "far6", "far41", "mountain2", "north2", "nortow3", "south0", "south4",
};

} // namespace

Missions::Missions(const char *file) : path(file != nullptr ? file : "")
{
	static_assert(kProgressAreaCount == sizeof(areas) / sizeof(areas[0]), "one hash per progress area");
	for (int i = 0; i < kProgressAreaCount; ++i)
		areas[i] = HashName(kProgressAreas[i]);
}

Missions &Missions::Instance()
{
	static Missions table;
	if (!table.IsLoaded())
		table.Load();
	return table;
}

bool Missions::Load()
{
	missions.clear();
	loaded = 0;
	tinyxml2::XMLDocument document;
	if (!LoadXmlFile(path.c_str(), document)) {
		Log("Couldn't load missions\n");
		return false;
	}
	const tinyxml2::XMLElement *root = document.FirstChildElement("missions");
	if (root == nullptr) {
		Log("Couldn't find valid missions in file.\n");
		return false;
	}
	for (const tinyxml2::XMLElement *element = root->FirstChildElement("mission"); element != nullptr;
	     element = element->NextSiblingElement("mission")) {
		Mission mission;
		mission.save = HashName(element->Attribute("save"));
		CopyText(mission.name, sizeof(mission.name), element->Attribute("name"));
		CopyText(mission.text, sizeof(mission.text), element->Attribute("text"));
		CopyText(mission.sound, sizeof(mission.sound), element->Attribute("sound"));
		CopyText(mission.stub, sizeof(mission.stub), element->Attribute("stub"));
		missions.push_back(mission);
	}
	MapGameLink::Get().SyncAchievementsFromFlags();
	loaded = 1;
	return true;
}

const Mission *Missions::GetMission(size_t index) const
{
	return index < missions.size() ? &missions[index] : nullptr;
}

const Mission *Missions::FindBySave(uint16_t save) const
{
	for (const Mission &mission : missions)
		if (mission.save == save)
			return &mission;
	return nullptr;
}

uint8_t Missions::StateOf(const char *name) const
{
	uint16_t save = HashName(name);
	if (FindBySave(save) == nullptr)
		return kNoMission;
	return save != 0 && MapGameLink::Get().FlagId(save) ? kMissionDone : kMissionOpen;
}

bool Missions::CompleteMission(const char *name)
{
	if (!IsLoaded())
		Load();
	if (StateOf(name) == kMissionDone)
		return false;
	MapGameLink &game = MapGameLink::Get();
	uint16_t save = HashName(name);
	game.UnlockAchievement(save);
	game.SetFlagId(save, true);
	const Mission *mission = FindBySave(save);
	if (mission == nullptr)
		return false;
	if (game.HasHud()) {
		game.ShowTitledMessage(mission->name[0] != '\0' ? mission->name : kEmptyNameTitle, mission->text,
		                       kNoticeSeconds, MapGameLink::kKindMission);
		game.SetMessageWaviness(kNoticeWaviness);
		if (Camera *camera = Camera::Get())
			camera->Shake(kNoticeShake);
	}
	if (ModMusicPlayer *music = ModMusicPlayer::Instance())
		music->PauseFor(kMusicPauseSeconds);
	if (mission->sound[0] != '\0')
		Sound::Instance()->Play(mission->sound, kSoundVolume, 0.0f, Sound::kPlayOnReservedChannel);
	return true;
}

void Missions::SummarizeRecord(ProgressSummary &summary, const ProgressFacts &record) const
{
	summary = ProgressSummary();
	int points = 1;

	for (int area = kProgressAreaCount - 1; area >= 0; area--) {
		if (record.HasVisited(areas[area])) {
			points += area + 1;
			break;
		}
	}

	for (int coin = 1; coin <= kDragonCoinCount; coin++) {
		char flagName[24];
		snprintf(flagName, sizeof(flagName), "dragon%i", coin);
		if (record.HasFlag(HashName(flagName))) {
			summary.dragonFound[coin - 1] = 1;
			summary.dragons++;
			points += kPointsPerDragon;
		}
	}

	CopyText(summary.latestMission, sizeof(summary.latestMission), kNoMissionStub);
	size_t counted = missions.size() < kSummaryMissionCount ? missions.size() : kSummaryMissionCount;
	for (size_t i = 0; i < counted; ++i) {
		if (!record.HasFlag(missions[i].save))
			continue;
		summary.missionDone[i] = 1;
		summary.missions++;
		points += kPointsPerMission;
		if (i > 0)
			CopyText(summary.latestMission, sizeof(summary.latestMission), missions[i].stub);
	}

	if (record.maxWeight >= kFullCapacityWeight)
		points++;

	for (uint16_t flag : record.bonusFlags)
		if (record.HasFlag(flag))
			points++;

	// Counted in the record summarized, which need not be the current one.
	uint32_t items = 0;
	for (uint16_t flag : record.itemFlags)
		if (record.HasFlag(flag))
			items++;
	summary.items = static_cast<uint8_t>(items);
	summary.capacityLevel = record.capacityLevel;
	summary.itemsAndCapacity = static_cast<uint8_t>(summary.items + summary.capacityLevel);
	summary.playTime = static_cast<uint16_t>(record.playSeconds & 0xFFFF);
	summary.deaths = record.deaths;
	summary.percent = static_cast<uint8_t>(points < kCompletePercent ? points : kCompletePercent);
	summary.complete = points >= kCompletePercent;
}

uint8_t Missions::GetState(const char *name)
{
	return Instance().StateOf(name);
}

bool Missions::Complete(const char *name)
{
	return Instance().CompleteMission(name);
}

void Missions::Summarize(ProgressSummary &summary, const ProgressFacts &record)
{
	Instance().SummarizeRecord(summary, record);
}

uint16_t Missions::NewsFlag(const char *area)
{
	return static_cast<uint16_t>(CombineNameHashes(area != nullptr ? area : "", "news"));
}

int Missions::CountNewsRead()
{
	MapGameLink &game = MapGameLink::Get();
	int read = 0;
	for (const char *area : kNewsAreas)
		if (NewsFlag(area) != 0 && game.FlagId(NewsFlag(area)))
			read++;
	return read;
}
