#pragma once

#include "objects/Pickup.h"

#include <cstddef>
#include <cstdint>

class CustomSequence;

// One numbered item of a collectable set ("tri2", "letter3", "puzzle11"; the
// map object's name says which). Taking it sets its flag, chimes, pauses
// the music and runs a short sequence of messages and rewards: the
// triangle's power, the letter row, a feed of chicken, and at the end of a
// set an extra heart. Found on an earlier visit, it stays away.
class PickupCollectable : public Pickup {
public:
	static constexpr uint32_t kKind = 40;
	static constexpr size_t kPathChars = 63;     // of each path, terminator apart
	static constexpr size_t kSetNameChars = 15;  // of the set name, terminator apart
	static constexpr float kScale = 0.5f;
	static constexpr float kMusicPause = 4.0f;   // seconds

	PickupCollectable() : Pickup(kKind) {}

	void Start() override;
	// Its model, unless it was found or taken before.
	void AddLooks(std::vector<EntityLook> &looks) const override;
	// Sets the flag and hands the game the found item's sequence.
	void OnTaken(Player *player) override;

	// The sequence the item's taking runs; the caller owns it. Null when the
	// item is taken already or its flag is set.
	std::unique_ptr<CustomSequence> BuildTakenSequence(Player *player);

	uint16_t GetFlagId() const { return flagId; }
	const char *GetSetName() const { return setName; }
	uint8_t GetItemNumber() const { return itemNumber; }
	bool IsTaken() const { return taken != 0; }
	const char *GetSoundPath() const { return soundPath; }
	const char *GetModelPath() const { return modelPath; }
	const char *GetTexturePath() const { return texturePath; }

private:
	// The set name, item number and flag of its placement's name.
	void ReadPlacement(char (&set)[kSetNameChars + 1], uint8_t &number, uint16_t &flag) const;
	// A placed item whose flag is set was found on an earlier visit.
	bool FoundBefore(uint16_t flag) const;
	// The files of an item of the set: a letter's are numbered.
	static void ChooseFiles(const char *set, uint8_t number, char (&model)[kPathChars + 1],
		char (&texture)[kPathChars + 1], char (&sound)[kPathChars + 1]);

	uint16_t flagId = 0;
	char setName[kSetNameChars + 1] = {};
	uint8_t itemNumber = 0;
	uint8_t taken = 0;
	char soundPath[kPathChars + 1] = {};
	char modelPath[kPathChars + 1] = {};
	char texturePath[kPathChars + 1] = {};
};
