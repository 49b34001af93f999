#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "map/ProgressFacts.h"
#include "map/ProgressSummary.h"

constexpr const char *kMissionsFile = "data/missions.xml";

// One quest: the flag name that completes it (by hash) and what its notice
// shows. Texts are cut at their field width and always terminated.
struct Mission {
	static constexpr size_t kNameSize = 16;
	static constexpr size_t kTextSize = 256;
	static constexpr size_t kSoundSize = 64;

	uint16_t save = 0; // HashName of the completing flag's name
	char name[kNameSize] = {};
	char text[kTextSize] = {};
	char sound[kSoundSize] = {};
	char stub[kMissionStubSize] = {};
};

// The game's quests, read from "data/missions.xml", and the completion
// summary of a save. A mission is completed by saving the game flag of its
// name (a "save" line in a map script, or the endings); completing one earns
// the achievement of that name, shows its notice and plays its sound. The
// game in progress is reached through the map layer's game link; a save to
// summarize comes as plain facts from the caller. The
// one table is reached through Instance, which reads the file until a read
// succeeds; tests make tables of their own from fixture files. A load
// replaces the whole table, and the summary reads only the missions the
// table has.
class Missions {
public:
	static constexpr int kNewsTotal = 10;
	static constexpr float kNoticeSeconds = 5.2f;
	static constexpr float kNoticeWaviness = 1.0f;
	static constexpr float kNoticeShake = 0.2f;
	static constexpr float kMusicPauseSeconds = 7.0f;
	static constexpr float kSoundVolume = 0.45f;

	// Mission states of a flag name.
	static constexpr uint8_t kNoMission = 0;
	static constexpr uint8_t kMissionOpen = 1;
	static constexpr uint8_t kMissionDone = 2;

	explicit Missions(const char *path = kMissionsFile);

	// The game's table, loaded again whenever it is not loaded yet.
	static Missions &Instance();

	// Reads the file, replacing the table; false (logged) when the file or
	// its root is missing, and the table stays unloaded then.
	bool Load();
	bool IsLoaded() const { return loaded != 0; }
	size_t GetCount() const { return missions.size(); }
	// Null past the end.
	const Mission *GetMission(size_t index) const;

	// The mission state of a flag name in the game in progress.
	uint8_t StateOf(const char *name) const;
	// Sets the flag and earns the achievement of the name in the game in
	// progress (mission or not); shows the notice of the mission the name
	// completes. True only when a mission was completed now.
	bool CompleteMission(const char *name);
	void SummarizeRecord(ProgressSummary &summary, const ProgressFacts &record) const;

	// The same on the game's table.
	static uint8_t GetState(const char *name);
	static bool Complete(const char *name);
	static void Summarize(ProgressSummary &summary, const ProgressFacts &record);
	// The flag of an area's news: its name hash plus that of "news", kept
	// in 16 bits.
	static uint16_t NewsFlag(const char *area);
	// News scrolls read in the game in progress, out of kNewsTotal.
	static int CountNewsRead();
	static int GetNewsTotal() { return kNewsTotal; }

private:
	const Mission *FindBySave(uint16_t save) const;

	std::string path;
	std::vector<Mission> missions;
	uint8_t loaded = 0;
	uint16_t areas[24] = {};
};
