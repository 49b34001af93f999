#include "objects/ItemKinds.h"

namespace {

constexpr uint32_t kCrate = 2;
constexpr uint32_t kBoulder = 8;
constexpr uint32_t kScroll = 15;
constexpr uint32_t kSign = 18;
constexpr uint32_t kFirstTownsfolk = 26;
constexpr uint32_t kLastTownsfolk = 31;

} // namespace

const char *ItemKinds::WeaponName(uint32_t kind)
{
	switch (kind) {
	case kKey: return "Unlocking";
	case kSword: return "Swording";
	case kAxe: return "Chopping";
	case kFireSword: return "Fury";
	case kElectricSword: return "Power";
	case kIceSword: return "Inverted Fury";
	case kDress: return "Particulars";
	case kLegendarySword: return "QUILLOWEN";
	default: return "?";
	}
}

bool ItemKinds::IsToolKind(uint32_t kind)
{
	return kind >= kKey && kind <= kLegendarySword;
}

bool ItemKinds::IsPushableKind(uint32_t kind)
{
	return kind == kCrate || kind == kBoulder;
}

bool ItemKinds::IsBurnableKind(uint32_t kind)
{
	switch (kind) {
	case 2: case 10: case 11: case 12: case 13: case 14: case 15: case 17:
		return true;
	default:
		return false;
	}
}

bool ItemKinds::IsReadableKind(uint32_t kind)
{
	return kind == kScroll || kind == kSign;
}

bool ItemKinds::IsTalkOrReadKind(uint32_t kind)
{
	return (kind >= kFirstTownsfolk && kind <= kLastTownsfolk) || IsReadableKind(kind);
}
