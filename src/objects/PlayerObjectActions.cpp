#include "objects/PlayerObjectActions.h"

#include "audio/ModMusicPlayer.h"
#include "audio/Sound.h"
#include "engine/collision/Collider.h"
#include "map/TileMap.h"
#include "objects/ActorRegistry.h"
#include "objects/GameLink.h"
#include "objects/IUseable.h"
#include "objects/ItemKinds.h"
#include "objects/MapEntityFactory.h"
#include "objects/Pickup.h"
#include "objects/Player.h"
#include "objects/PlayerStats.h"
#include "objects/PropCupboard.h"
#include "objects/PropDoor.h"
#include "objects/PropEnemyTree.h"
#include "objects/PropGrass.h"
#include "objects/PropObelisk.h"
#include "objects/PropSaveSwitch.h"

#include <cstdio>
#include <limits>

namespace {

constexpr uint32_t kDragonCoin = 37;
constexpr uint32_t kCooler = 39;
constexpr uint32_t kFirstToolKind = 42;
constexpr uint32_t kLastTouchedKind = 64;
constexpr uint32_t kHut = 9;
constexpr uint32_t kCupboard = 12;
constexpr uint32_t kScroll = 15;
constexpr uint32_t kObelisk = 20;
constexpr uint32_t kFireplace = 22;
constexpr uint8_t kActionStrike = 1;
constexpr uint8_t kChopDamage = 1;
constexpr float kChopPower = 1.0f;
constexpr int kOriginalRules = 1;

constexpr float kTakeHold = 1.0f;       // seconds of the take pose
constexpr float kTakeSpeed = 10.0f;
constexpr float kGetSpeed = 15.0f;
constexpr float kNoticeSeconds = 3.0f;
constexpr float kLockedSeconds = 2.0f;
constexpr uint8_t kItemNotice = 1;
constexpr float kToolWaviness = 0.3f;
constexpr float kPrizeVolume = 0.5f;
constexpr float kCupboardOpening = 0.2f; // seconds before the hero climbs in
constexpr float kCupboardStep = 1.5f;    // world units out of the cupboard
constexpr float kHutReach = 1.5f;        // the hut's door lies this far south of its centre
constexpr float kHutDoorSq = 3.0f;
constexpr float kFacingDoor = 0.5f;
constexpr float kTalkReachSq = 2.5f;
constexpr float kTalkBehind = -0.5f;
constexpr int kMaxCoolerCapacity = 250;  // tenths of a kilogram
constexpr size_t kToolTextChars = 48;

const Vec3 kSouth(0.0f, 0.0f, 1.0f);
const Vec3 kNorth(0.0f, 0.0f, -1.0f);

} // namespace

void PlayerObjectActions::LeaveCupboard(Player &player)
{
	player.SetVisible(true);
	player.hideCupboard = nullptr;
	player.MakeSolid();
}

// --- Touching ----------------------------------------------------------

void PlayerObjectActions::Touch(Player &player, MapEntity &other)
{
	const uint32_t kind = other.GetKind();
	if (kind > kLastTouchedKind || !Entity::IsAlive(&other))
		return;
	MapObjectDef *record = other.mapObject; // owned by the map (or the shared empty one)
	GameLink &game = GameLink::Get();

	if (IsPickupKind(kind) && kind < kFirstToolKind) {
		Pickup *pickup = dynamic_cast<Pickup *>(&other);
		const uint16_t id = record->id;
		const uint16_t key = record->key;
		const MapName name = record->name;
		// Off the map for good: the scene frees it, the map forgets it.
		other.Remove();
		if (id != 0 && player.map != nullptr)
			player.map->SetGroupFlag(static_cast<uint8_t>(id & 0xFF), true);
		if (kind != player.stats.heldKind) {
			player.PlayAnimation(kAnimGet, kTakeHold, kTakeSpeed);
			player.facing = kSouth;
			player.moveVelocity = kSouth;
			player.moveAxes = Vec3(0.0f);
			if (pickup != nullptr)
				pickup->OnTaken(&player);
			// The pose shows the item in hand; the held kind, which the
			// save records, stays that of the weapon.
			const uint32_t held = player.stats.heldKind;
			player.Actor::Hold(kind, name.Get());
			player.stats.heldKind = held;
			player.reholdTimer = kReholdSeconds;
		}
		if (kind == kDragonCoin) {
			player.PlayEffect("sfx/sword.wav", kPrizeVolume, 0);
			if (game.HasHud())
				game.ShowMessage("You got a DragonCoin!\nPause to check your progress!", kNoticeSeconds, kItemNotice);
			game.SetFlagId(key, true);
			game.SaveCurrentSlot();
			game.UnlockAchievement(key);
		} else if (kind == kCooler) {
			player.stats.capacityLevel++;
			player.PlayEffect("sfx/sword.wav", kPrizeVolume, Sound::kPlayOnReservedChannel);
			if (game.HasHud()) {
				const int capacity = PlayerStats::MaxWeightForLevel(player.stats.capacityLevel);
				char text[96];
				if (capacity < kMaxCoolerCapacity)
					snprintf(text, sizeof(text), "You got a bigger cooler!\nIt now holds %dkg of chicken!", capacity / 10);
				else
					snprintf(text, sizeof(text), "You've maxed out your cooler, it's now %dkg!\nThat's as big as they get!",
						capacity / 10);
				game.ShowMessage(text, kNoticeSeconds, kItemNotice);
			}
			game.StorePlayerStats(player.stats);
			game.SetFlagId(key, true);
			game.SaveCurrentSlot();
		}
		return;
	}

	if (ItemKinds::IsToolKind(kind)) {
		if (!other.IsActive())
			return;
		// In hand first: the swap brings back the weapon held before, and
		// only then is this one put aside (not freed: a later swap brings it
		// back where it lay), so a swap never revives the one being taken.
		player.GainWeapon(kind);
		other.SetActive(false);
		if (record->commandCount > 0)
			player.Use(record);
		player.weaponRecordId = record->id;
		return;
	}

	// Prompts for what the hero stands before.
	if (IsNPCKind(kind)) {
		player.ShowUsePrompt("Talk", record);
	} else if (IsDoorKind(kind)) {
		if (player.stats.heldKind != ItemKinds::kKey)
			player.ShowUsePrompt("Open", record);
	} else if (ItemKinds::IsReadableKind(kind)) {
		const PlayerTile tile = player.CurrentTile();
		if (tile != player.readTile) {
			player.readTile = tile;
			player.ShowUsePrompt("Read", record);
		}
	} else if (kind == kFireplace) {
		if (!game.IsMode(kOriginalRules)) {
			const auto *fire = dynamic_cast<const PropSaveSwitch *>(&other);
			player.ShowUsePrompt(fire != nullptr && fire->IsLit() ? "Extinguish" : "Light", record);
		}
	} else if (kind == kHut) {
		const Vec3 door = other.transform.position + Vec3(0.0f, 0.0f, kHutReach);
		const Vec3 toDoor = door - player.transform.position;
		if (glm::dot(player.facing, kNorth) > kFacingDoor && glm::dot(toDoor, toDoor) < kHutDoorSq)
			player.EnterMapLink(record);
	} else if (kind == kCupboard) {
		player.ShowUsePrompt("Use", record);
	}
}

// --- Using ----------------------------------------------------------------

bool PlayerObjectActions::UseEntity(Player &player, MapObjectDef &object)
{
	Entity *entity = object.entity;
	if (entity == nullptr || !Entity::IsAlive(entity))
		return true;
	GameLink &game = GameLink::Get();
	if (player.stats.heldKind != ItemKinds::kKey) {
		if (auto *cupboard = dynamic_cast<PropCupboard *>(entity)) {
			player.hideCupboard = cupboard;
			if (!cupboard->IsOpen()) {
				cupboard->SetOpen(true);
				player.actionTimer = kCupboardOpening;
				if (player.collider != nullptr)
					player.collider->mode = Collider::kModeIgnored;
				return false;
			}
			// In: out of sight, at the cupboard, its door pulled shut.
			player.SetVisible(false);
			player.transform.position = cupboard->transform.position;
			cupboard->SetOpen(false);
			player.useTarget = nullptr;
			player.facing = cupboard->transform.GetForward();
		} else if (auto *door = dynamic_cast<PropDoor *>(entity)) {
			if (!door->IsLocked()) {
				if (!door->IsOpen())
					door->OpenByPlayer();
			} else if (door->CanUnlock() || door->CanOpen()) {
				door->OpenByPlayer();
			} else if (game.HasHud()) {
				game.ShowMessage(door->IsFrozen() ? "It's frozen - scared stiff due to the presence of monsters."
												  : "It's locked.",
					kLockedSeconds, kItemNotice);
			}
		} else if (auto *scroll = dynamic_cast<MapEntity *>(entity); scroll != nullptr && scroll->GetKind() == kScroll) {
			// The news of the area the hero is in.
			game.MarkNewsRead(player.map != nullptr ? player.map->GetMapData().GetMapName() : "");
		}
	}
	auto *fire = dynamic_cast<PropSaveSwitch *>(entity);
	if (fire != nullptr && fire->CanUse())
		fire->Use(&player);
	return true;
}

// --- Hiding ---------------------------------------------------------------

bool PlayerObjectActions::UpdateHiding(Player &player)
{
	if (player.hideCupboard == nullptr)
		return false;
	auto *cupboard = dynamic_cast<PropCupboard *>(player.hideCupboard);
	if (cupboard == nullptr || !Entity::IsAlive(cupboard)) {
		LeaveCupboard(player); // burnt or gone with its map
		return false;
	}
	ActorRegistry::StopAll();
	const Vec3 forward = cupboard->transform.GetForward();
	player.facing = forward;
	// The door has swung open: the hero climbs in (ends at 0 too).
	if (cupboard->IsOpen() && player.actionTimer <= 0.0f && player.IsVisible())
		player.Use(cupboard->mapObject);
	if (!player.Pressed(kActionStrike)) {
		player.moveAxes = Vec3(0.0f);
		player.moveVelocity = Vec3(0.0f);
		return true;
	}
	player.SetVisible(true);
	cupboard->SetOpen(true);
	player.transform.position = cupboard->transform.position + forward * kCupboardStep;
	player.hideCupboard = nullptr;
	player.moveVelocity = player.facing;
	player.keepAttacking = 0;
	player.MakeSolid();
	return false;
}

void PlayerObjectActions::KeepUseTarget(Player &player)
{
	MapObjectDef *target = player.useTarget;
	if (target == nullptr || !ItemKinds::IsTalkOrReadKind(MapEntityKindFromType(target->type)))
		return;
	Entity *entity = target->entity;
	bool drop = !Entity::IsAlive(entity);
	if (!drop) {
		Vec3 to = entity->transform.position - player.transform.position;
		to.y = 0.0f;
		drop = glm::dot(to, to) > kTalkReachSq || glm::dot(Vec3SafeNormalize(to, player.facing), player.facing) < kTalkBehind;
	}
	if (drop) {
		player.useTarget = nullptr;
		GameLink::Get().HidePrompts();
	}
}

// --- Blows ----------------------------------------------------------------

bool PlayerObjectActions::AttackObject(Player &player, MapEntity &target, bool &hit)
{
	const uint32_t kind = target.GetKind();
	const uint32_t held = player.stats.heldKind;
	// The axe fells trees (the bird's tree too); anything in hand cuts grass.
	const bool tree = kind == PropTree::kKind || kind == PropEnemyTree::kKind;
	if ((held == ItemKinds::kAxe && tree) || (held != 0 && kind == PropGrass::kKind)) {
		hit = target.Strike(&player, kChopDamage, kChopPower);
		return true;
	}
	if (held == ItemKinds::kKey && IsDoorKind(kind)) {
		if (auto *door = dynamic_cast<PropDoor *>(&target))
			door->OpenByPlayer();
		hit = true;
		return true;
	}
	if (held == ItemKinds::kFireSword && ItemKinds::IsBurnableKind(kind)) {
		if (player.hideCupboard == &target)
			LeaveCupboard(player);
		target.Remove(); // the scene frees it once its walk is over
		hit = true;
		return true;
	}
	auto *obelisk = dynamic_cast<PropObelisk *>(&target);
	if (held == ItemKinds::kElectricSword && kind == kObelisk && obelisk != nullptr && !obelisk->IsOn()) {
		obelisk->SetOn(true, std::numeric_limits<float>::infinity());
		player.Hold(ItemKinds::kSword, nullptr);
		GameLink &game = GameLink::Get();
		if (game.HasHud())
			game.ShowMessage("Somehow, the power is drained from your sword.", kNoticeSeconds, kItemNotice);
		player.PlayAnimation(kAnimGet, kTakeHold, kGetSpeed);
		hit = true;
		return true;
	}
	return false;
}

void PlayerObjectActions::AnnounceTool(Player &player, uint32_t kind)
{
	GameLink &game = GameLink::Get();
	const bool sword = kind == ItemKinds::kSword || kind == ItemKinds::kLegendarySword;
	const bool legendary = sword && !game.Flag("temptress");
	ModMusicPlayer *music = ModMusicPlayer::Instance();
	if (legendary) {
		if (music != nullptr)
			music->PauseFor(5.0f);
		player.PlayEffect("sfx/swordquillowen.ogg", 0.9f, Sound::kPlayOnReservedChannel);
	} else if (music == nullptr || !music->IsMainCueExclusive()) {
		if (music != nullptr)
			music->PauseFor(2.5f);
		player.PlayEffect("sfx/sword.wav", 0.7f, Sound::kPlayOnReservedChannel);
	} else {
		player.PlayEffect("sfx/sword.wav", 0.5f, Sound::kPlayOnReservedChannel);
	}
	char text[kToolTextChars];
	if (legendary)
		snprintf(text, sizeof(text), "You got the Sword of Quillowen!");
	else if (sword)
		snprintf(text, sizeof(text), "You got a regular sword!");
	else
		snprintf(text, sizeof(text), "You got the Sword of %s!\n", ItemKinds::WeaponName(kind));
	if (game.HasHud()) {
		game.ShowMessage(text, kNoticeSeconds, kItemNotice);
		game.SetMessageWaviness(kToolWaviness);
	}
	if (kind == ItemKinds::kDress)
		player.PlayAnimation(kAnimPose, kTakeHold, kTakeSpeed);
	else
		player.PlayAnimation(kAnimGet, legendary ? 3.2f : 1.5f, kTakeSpeed);
	player.facing = kSouth;
	player.moveVelocity = kSouth;
	player.moveAxes = Vec3(0.0f);
}

// --- Accessors ----------------------------------------------------------

bool PlayerObjectActions::IsCupboardOpen(const Entity *entity)
{
	const auto *cupboard = dynamic_cast<const PropCupboard *>(entity);
	return cupboard != nullptr && cupboard->IsOpen();
}

bool PlayerObjectActions::IsDoorLocked(const Entity *entity)
{
	const auto *door = dynamic_cast<const PropDoor *>(entity);
	return door != nullptr && door->IsLocked();
}

bool PlayerObjectActions::IsDoorOpened(const Entity *entity)
{
	const auto *door = dynamic_cast<const PropDoor *>(entity);
	return door != nullptr && door->IsOpen();
}

bool PlayerObjectActions::IsDoorFrozen(const Entity *entity)
{
	const auto *door = dynamic_cast<const PropDoor *>(entity);
	return door != nullptr && door->IsFrozen();
}

bool PlayerObjectActions::IsObeliskDrained(const Entity *entity)
{
	const auto *obelisk = dynamic_cast<const PropObelisk *>(entity);
	return obelisk != nullptr && obelisk->IsOn();
}
