// Saves, settings, achievements and the texts of the intro and the credits.
#include "fuzz/FuzzTargets.h"

#include <string>

#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/ScreenCredits.h"
#include "game/ScreenIntro.h"
#include "game/Settings.h"
#include "map/Missions.h"
#include "map/ProgressSummary.h"

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr int kScreenFrames = 30;

// A save file read into a record and summarized as the save picker does.
int FuzzSave(const uint8_t *data, size_t size)
{
	GameProgress record;
	if (GameProgress::Read(record, WriteFuzzFile("fuzz.sav", data, size).c_str())) {
		ProgressSummary summary{};
		Missions::Summarize(summary, record.Facts());
	}
	return 0;
}

int FuzzSettings(const uint8_t *data, size_t size)
{
	Settings settings(WriteFuzzFile("settings.dat", data, size).c_str());
	settings.Get();
	return 0;
}

int FuzzAchievementTable(const uint8_t *data, size_t size)
{
	Achievements::Instance().LoadDefinitions(WriteFuzzFile("achievements.xml", data, size).c_str());
	return 0;
}

int FuzzAchievementState(const uint8_t *data, size_t size)
{
	WriteFuzzFile("achievements.dat", data, size);
	Achievements::SetStateFolder(FuzzScratchFolder().c_str());
	Achievements::Instance().Load();
	return 0;
}

int FuzzIntro(const uint8_t *data, size_t size)
{
	ScreenIntro intro(WriteFuzzFile("intro.xml", data, size).c_str());
	intro.Start();
	for (int i = 0; i < kScreenFrames; i++)
		intro.StepState(kFrame);
	return 0;
}

// The credits screen reading a text of the fuzzer's own.
class FuzzCredits : public ScreenCredits {
public:
	explicit FuzzCredits(std::string file) : file(std::move(file)) {}
	const char *GetFileName() const override { return file.c_str(); }

private:
	std::string file;
};

int FuzzCreditsText(const uint8_t *data, size_t size)
{
	FuzzCredits credits(WriteFuzzFile("credits.txt", data, size));
	credits.Start();
	return 0;
}

}

void AddGameFuzzTargets(std::vector<FuzzTarget> &targets)
{
	targets.push_back({"save", FuzzSave, "", ".sav", 64 << 10, false, nullptr});
	targets.push_back({"settings", FuzzSettings, "", ".dat", 1 << 10, false, nullptr});
	targets.push_back({"achievements", FuzzAchievementTable, "achievements", ".xml", 64 << 10, false, "xml.dict"});
	targets.push_back({"achievementstate", FuzzAchievementState, "", ".dat", 16 << 10, false, nullptr});
	targets.push_back({"intro", FuzzIntro, "data", "intro.xml", 32 << 10, true, "xml.dict"});
	targets.push_back({"credits", FuzzCreditsText, "data", ".txt", 64 << 10, true, nullptr});
}
