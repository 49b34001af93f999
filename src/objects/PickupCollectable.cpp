#include "objects/PickupCollectable.h"

#include "audio/ModMusicPlayer.h"
#include "audio/Sound.h"
#include "engine/core/ActiveSequence.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/StringUtil.h"
#include "map/CustomSequence.h"
#include "map/FlashLettersStep.h"
#include "map/GiveChickenStep.h"
#include "map/GiveHeartStep.h"
#include "map/RefillHeartStep.h"
#include "map/SayMessageStep.h"
#include "map/ShowLettersStep.h"
#include "map/TileMap.h"
#include "objects/CollectableKind.h"
#include "objects/EntityLook.h"
#include "objects/GameLink.h"
#include "objects/Player.h"
#include "objects/WorldSound.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr float kChimeVolume = 1.0f;
constexpr size_t kRemainChars = 24; // the "more remain" text, terminator included
constexpr size_t kChickenTextChars = 64;

const char *const kTriangleTexts[] = {
	"You now wield the Triangle of Strength.",
	"You now wield the Triangle of Good-thinking.",
	"You now wield the Triangle of Sick Kickflips.",
};

// A feed's text and its chicken (tenths of a kilogram), by cooler level.
struct FeedSize {
	const char *text;
	uint8_t amount;
};
const FeedSize kFeeds[] = {
	{"You found a piping-hot three-piece feed.", 10},
	{"You discovered a hot six-piece feed.", 15},
	{"You uncovered a warm feast for four.", 20},
	{"You found a massive bucket of dubious chicken.", 30},
};
constexpr size_t kFeedCount = sizeof(kFeeds) / sizeof(kFeeds[0]);

bool IsSet(const char *name, const char *set)
{
	return NameHashEquals(HashName(name), set);
}

void AddSay(CustomSequence &sequence, const char *text)
{
	sequence.AddStep(std::make_unique<SayMessageStep>(text));
}

// The feed's messages and chicken, as far as the cooler has room.
void AddFeedSteps(CustomSequence &sequence, Player *player)
{
	const PlayerStats &stats = player->stats;
	const FeedSize &feed = kFeeds[stats.capacityLevel < kFeedCount ? stats.capacityLevel : kFeedCount - 1];
	AddSay(sequence, feed.text);
	const int capacity = stats.GetMaxWeight();
	const int carried = stats.weight;
	char text[kChickenTextChars];
	if (carried >= capacity) {
		AddSay(sequence, "...but you already filled up on chicken. Offload some!");
		return;
	}
	snprintf(text, sizeof(text), "...it contains %i.%ikg of chicken.", feed.amount / 10, feed.amount % 10);
	sequence.AddStep(std::make_unique<GiveChickenStep>(text, player, feed.amount));
	if (carried + feed.amount > capacity) {
		const int room = capacity - carried;
		snprintf(text, sizeof(text), "...but you only have room for %i.%ikg.", room / 10, room % 10);
		AddSay(sequence, text);
	}
}

} // namespace

void PickupCollectable::ReadPlacement(char (&set)[kSetNameChars + 1], uint8_t &number, uint16_t &flag) const
{
	char letters[CollectableKind::kNameChars + 1] = {};
	SplitNameAndNumber(mapObject->name.GetOr(""), CollectableKind::kNameChars, letters, &number);
	strncpy(set, letters, kSetNameChars);
	flag = CollectableFlagKey(CollectableKind::Get(CollectableKindByName(set))->baseFlag, number);
}

bool PickupCollectable::FoundBefore(uint16_t flag) const
{
	return mapObject->id != 0 && GameLink::Get().FlagId(flag);
}

void PickupCollectable::ChooseFiles(const char *set, uint8_t number, char (&model)[kPathChars + 1],
	char (&texture)[kPathChars + 1], char (&sound)[kPathChars + 1])
{
	if (IsSet(set, "letter")) {
		snprintf(model, sizeof(model), "models/letter.iqm");
		snprintf(texture, sizeof(texture), "mats/letter%d.png", number);
		snprintf(sound, sizeof(sound), "sfx/collectletter.wav");
	} else {
		snprintf(model, sizeof(model), "models/%s.iqm", set);
		snprintf(texture, sizeof(texture), "mats/%s.png", set);
		snprintf(sound, sizeof(sound), "sfx/collect%s.wav", set);
	}
}

void PickupCollectable::AddLooks(std::vector<EntityLook> &looks) const
{
	char set[kSetNameChars + 1] = {};
	uint8_t number = 0;
	uint16_t flag = 0;
	ReadPlacement(set, number, flag);
	if (FoundBefore(flag) || TakenBefore())
		return;
	char model[kPathChars + 1] = {};
	char texture[kPathChars + 1] = {};
	char sound[kPathChars + 1] = {};
	ChooseFiles(set, number, model, texture, sound);
	EntityLook::Add(looks, model, texture, kShader);
}

void PickupCollectable::Start()
{
	ReadPlacement(setName, itemNumber, flagId);
	if (FoundBefore(flagId)) {
		SetActive(false); // found on an earlier visit
		return;
	}
	ChooseFiles(setName, itemNumber, modelPath, texturePath, soundPath);
	Pickup::Start();
	if (!IsStillPlaced())
		return;
	SetModel(modelPath, texturePath, kScale);
}

std::unique_ptr<CustomSequence> PickupCollectable::BuildTakenSequence(Player *player)
{
	if (taken != 0 || GameLink::Get().FlagId(flagId))
		return nullptr;
	auto sequence = std::make_unique<CustomSequence>(map != nullptr ? &map->GetScriptWorld() : nullptr);
	taken = 1;
	WorldSound::Play(soundPath, kChimeVolume, Sound::kPlayOnReservedChannel);
	if (ModMusicPlayer *music = ModMusicPlayer::Instance())
		music->PauseFor(kMusicPause);
	GameLink::Get().SetFlagId(flagId, true);

	const CollectableKind *set = CollectableKind::Get(CollectableKindByName(setName));
	const uint32_t found = CollectableKind::CountCollected(set->index);
	const int remaining = static_cast<int>(set->count) - static_cast<int>(found);
	LogDebug("Collected %d of %d - %d left\n", static_cast<int>(found), static_cast<int>(set->count), remaining);

	const bool tri = IsSet(setName, "tri");
	const bool letter = IsSet(setName, "letter");
	const bool puzzle = IsSet(setName, "puzzle");
	if (tri) {
		if (itemNumber >= 1 && itemNumber <= 3)
			AddSay(*sequence, kTriangleTexts[itemNumber - 1]);
		sequence->AddStep(std::make_unique<RefillHeartStep>(player));
	} else if (letter) {
		sequence->AddStep(std::make_unique<ShowLettersStep>());
		sequence->AddStep(std::make_unique<RefillHeartStep>(player));
	} else if (puzzle && player != nullptr) {
		AddFeedSteps(*sequence, player);
	}

	if (remaining <= 0) {
		GameLink::Get().SetFlagId(CollectableFlagKey(set->baseFlag, CollectableKind::kComplete), true);
		if (letter) {
			sequence->AddStep(std::make_unique<FlashLettersStep>());
			GameLink::Get().UnlockAchievement(HashName("donks"));
		} else if (tri) {
			AddSay(*sequence, "The force of the three Triangles combine to grant you an extra life.");
			GameLink::Get().UnlockAchievement(HashName("triangles"));
		} else if (puzzle) {
			AddSay(*sequence, "You have all the shit!");
			GameLink::Get().UnlockAchievement(HashName("puzzles"));
		}
		if (!puzzle)
			sequence->AddStep(std::make_unique<GiveHeartStep>("You gained an extra heart!", player));
	} else {
		char text[kRemainChars];
		if (letter)
			snprintf(text, sizeof(text), "???");
		else if (remaining == 1)
			snprintf(text, sizeof(text), "One more remains...");
		else
			snprintf(text, sizeof(text), "%d more remain...", static_cast<uint8_t>(remaining));
		AddSay(*sequence, text);
		if (remaining <= set->count / 2)
			GameLink::Get().SetFlagId(CollectableFlagKey(set->baseFlag, CollectableKind::kHalfFound), true);
	}
	return sequence;
}

void PickupCollectable::OnTaken(Player *player)
{
	std::unique_ptr<CustomSequence> sequence = BuildTakenSequence(player);
	if (sequence == nullptr)
		return;
	SetActiveSequence(sequence.release()); // the runner owns it now
	// The hero may have taken it off the map already; pausing it then would
	// keep the scene from freeing it.
	if (lifeState < kLifeRemoved)
		SetActive(false);
}
