#include "game/AchievementDef.h"

#include "engine/core/NameHash.h"

uint32_t AchievementDef::TypeFromText(const char *text)
{
	if (text == nullptr || text[0] == '\0')
		return kTypeNone;
	const uint16_t hash = HashName(text);
	if (hash == HashName("story"))
		return kTypeStory;
	if (hash == HashName("secret"))
		return kTypeSecret;
	if (hash == HashName("ending"))
		return kTypeEnding;
	return kTypeNone;
}

const char *AchievementDef::TypeLabel(const AchievementDef &def)
{
	switch (def.type) {
	case kTypeStory:
		return "Beat";
	case kTypeEnding:
		return "Ending";
	default:
		return "Victory";
	}
}
