#pragma once

#include <cstdint>

// One achievement as "achievements/achievements.xml" defines it: the name it
// has on the game service (also the base name of its icon), its kind, the
// name and description the list shows, and the name hash that the game
// flags and "achievements.dat" use. Texts are cut to fit with their
// terminators. A plain record; Achievements owns the table.
struct AchievementDef {
	static constexpr uint32_t kTypeNone = 0;
	static constexpr uint32_t kTypeStory = 1;
	static constexpr uint32_t kTypeSecret = 2;
	static constexpr uint32_t kTypeEnding = 3;
	static constexpr uint32_t kMaxIdLength = 30; // characters of an id

	char idText[32] = {};
	uint32_t type = kTypeNone;
	char name[30] = {};
	char description[150] = {};
	uint16_t id = 0;

	// "story" 1, "secret" 2, "ending" 3 in any case; anything else 0.
	static uint32_t TypeFromText(const char *text);
	// The word in front of a pop-up: "Beat" for a story, "Ending" for an
	// ending, "Victory" for the rest.
	static const char *TypeLabel(const AchievementDef &def);
};
