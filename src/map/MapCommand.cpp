#include "map/MapCommand.h"

MapCommandValueKind MapCommand::ValueKindOf(uint32_t code)
{
	switch (code) {
	case kCmdMap:
	case kCmdSave:
	case kCmdUnsave:
	case kCmdMusic:
	case kCmdEnter:
	case kCmdRender:
	case kCmdWay:
		return kValueString;
	case kCmdSay:
	case kCmdPrompt:
	case kCmdModel:
	case kCmdTexture:
		return kValueMessage;
	case kCmdDir:
	case kCmdFlee:
		return kValueDirection;
	case kCmdNone:
	case kCmdRankMeat:
	case kCmdFacing:
		return kValueNone;
	default:
		return code <= kCmdThen ? kValueNumber : kValueNone;
	}
}

const char *MapCommand::KeywordOf(uint32_t code)
{
	for (const MapKeyword &keyword : kMapKeywords)
		if (keyword.code == code)
			return keyword.name;
	return "";
}
