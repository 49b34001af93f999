#pragma once

struct AchievementDef;

// Told of each achievement as it is newly earned (the pop-up overlay).
class IAchievementHandler {
public:
	virtual ~IAchievementHandler() = default;
	virtual void OnAchievement(const AchievementDef &def) = 0;
};
