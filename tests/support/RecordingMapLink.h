#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/core/NameHash.h"
#include "map/MapGameLink.h"

// A game for the map layer alone: it keeps the flags it is given, counts the
// saves and writes down every message, notice, achievement and ending asked
// of it, so map tests run with no game above them. Install it in a test's
// set-up and take it out in its tear-down.
class RecordingMapLink : public MapGameLink {
public:
	struct Message {
		std::string title; // the speaker or the notice's title; empty for a plain message
		std::string text;
		uint8_t kind = kKindMessage;
		bool speech = false;
	};

	RecordingMapLink() { MapGameLink::Install(this); }
	~RecordingMapLink() override
	{
		if (MapGameLink::IsInstalled(this))
			MapGameLink::Install(nullptr);
	}

	bool IsMode(int value) override { return value == mode; }
	bool IsOriginalContent() override { return originalContent; }
	int Difficulty() override { return difficulty; }
	void StepGraphicsMode(uint16_t modeCount) override { graphicsSteps.push_back(modeCount); }
	void ShowQuestComplete() override { endings.push_back(0); }
	void ShowWinAlt(const char *text, int ending) override
	{
		endings.push_back(ending);
		winAltText = text != nullptr ? text : "";
	}

	bool FlagId(uint16_t id) override { return flagIds.count(id) != 0; }
	void SetFlagId(uint16_t id, bool on) override
	{
		if (on)
			flagIds.insert(id);
		else
			flagIds.erase(id);
	}
	// A test's way to give the record a flag before play.
	void SetFlag(const char *name, bool on = true) { SetFlagId(HashName(name), on); }
	bool SaveCurrentSlot() override
	{
		saves++;
		return true;
	}
	uint16_t StartMap() override { return startMap; }
	void SetStartMap(uint16_t id) override { startMap = id; }
	void SetCurrentMap(const char *name) override { currentMap = name != nullptr ? name : ""; }
	uint16_t Waypoint() override { return waypoint; }
	void SetWaypoint(uint16_t id) override { waypoint = id; }
	void UnlockAchievement(uint16_t id) override { achievements.push_back(id); }
	void UnlockAchievementByName(const char *name) override
	{
		if (name != nullptr)
			achievementNames.push_back(name);
	}
	void SyncAchievementsFromFlags() override { syncs++; }

	bool HasHud() override { return hud; }
	void ShowMessage(const char *text, float, uint8_t kind) override { Note("", text, kind, false); }
	void ShowTitledMessage(const char *title, const char *text, float, uint8_t kind) override
	{
		Note(title, text, kind, false);
	}
	void ShowSpeech(const char *speaker, const char *text, float, uint8_t kind) override
	{
		Note(speaker, text, kind, true);
	}
	void SetMessageWaviness(float value) override { waviness = value; }
	bool IsMessageVisible() override { return hud && !messages.empty() && messageVisible; }
	bool IsSpeech() override { return IsMessageVisible() && messages.back().speech; }
	uint32_t GetMessageState() override { return messageState; }

	// What the game is like.
	int mode = 0;
	bool originalContent = false;
	int difficulty = 1;
	bool hud = true;
	// The HUD: messages stay visible until a test closes them.
	bool messageVisible = false;
	uint32_t messageState = kMessagePlain;

	// What the map layer asked for.
	std::set<uint16_t> flagIds;
	int saves = 0;
	uint16_t startMap = 0;
	std::string currentMap;
	uint16_t waypoint = 0;
	std::vector<uint16_t> achievements;       // by id
	std::vector<std::string> achievementNames; // by name
	int syncs = 0;
	std::vector<Message> messages;
	float waviness = 0.0f;
	std::vector<uint16_t> graphicsSteps;
	std::vector<int> endings; // 0 for the quest's own, else the ending's number
	std::string winAltText;

private:
	void Note(const char *title, const char *text, uint8_t kind, bool speech)
	{
		if (!hud)
			return;
		messages.push_back({title != nullptr ? title : "", text != nullptr ? text : "", kind, speech});
		messageVisible = true;
		if (kind == kKindPrompt)
			messageState = kMessageQuestion;
	}
};
