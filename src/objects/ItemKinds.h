#pragma once

#include <cstdint>

// The entity kinds the hero's hands and prompts care about: the tools it can
// hold and their names, the two heart gifts that are never held, and which
// kinds are pushed, burnt, read or talked to. Plain tests on kind numbers;
// holds no state.
class ItemKinds {
public:
	// Only ever given, never held.
	static constexpr uint32_t kWholeHeart = 35;
	static constexpr uint32_t kHalfHeart = 36;
	// The tools, 42 to 49.
	static constexpr uint32_t kKey = 42;
	static constexpr uint32_t kSword = 43;
	static constexpr uint32_t kAxe = 44;
	static constexpr uint32_t kFireSword = 45;
	static constexpr uint32_t kElectricSword = 46;
	static constexpr uint32_t kIceSword = 47;
	static constexpr uint32_t kDress = 48;
	static constexpr uint32_t kLegendarySword = 49;
	static constexpr uint32_t kBlob = 62; // the creature that takes swords

	// "Swording" for the sword and so on; "?" for anything else.
	static const char *WeaponName(uint32_t kind);
	static bool IsToolKind(uint32_t kind);
	// Crates and boulders.
	static bool IsPushableKind(uint32_t kind);
	static bool IsBurnableKind(uint32_t kind);
	// Scrolls and signs.
	static bool IsReadableKind(uint32_t kind);
	// Townsfolk, scrolls and signs.
	static bool IsTalkOrReadKind(uint32_t kind);
};
