#include "objects/Player.h"

#include "audio/ModMusicPlayer.h"
#include "audio/Sound.h"
#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "engine/core/Input.h"
#include "engine/core/NameHash.h"
#include "map/EnvironmentTable.h"
#include "map/TileMap.h"
#include "objects/ActorRegistry.h"
#include "objects/EntityLook.h"
#include "objects/GameLink.h"
#include "objects/ItemKinds.h"
#include "objects/Pickup.h"
#include "objects/PlayerTuning.h"
#include "objects/MapEntityFactory.h"
#include "objects/PlayerAreas.h"
#include "objects/PlayerDeath.h"
#include "objects/PlayerInput.h"
#include "objects/PlayerObjectActions.h"
#include "objects/PlayerPushing.h"
#include "objects/FXSpawner.h"
#include "objects/SpawnFX.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace PlayerTuning;

namespace {

// Set once in Start and raised by every strike; map entities read bit 0.
uint32_t g_strikeCount = 0;

const Vec3 kSouth(0.0f, 0.0f, 1.0f);
const Vec3 kNorth(0.0f, 0.0f, -1.0f);

} // namespace

Player::Player()
	: Actor(kPlayerKind)
	, chainSounds("sfx/multi%02d.wav", kChainSoundCount)
{
	faction = kFactionPlayer;
}

Player::~Player() = default;

uint32_t Player::StrikeCount()
{
	return g_strikeCount;
}

// --- Queries -----------------------------------------------------------

const Input &Player::Controls() const
{
	return input != nullptr ? *input : *Input::Get();
}

bool Player::Pressed(uint8_t action) const
{
	return Controls().IsActionPressed(action);
}

bool Player::IsOriginalRules() const
{
	return GameLink::Get().Flag(kOriginalContentFlag);
}

PlayerTile Player::CurrentTile() const
{
	PlayerTile at;
	if (map != nullptr)
		map->WorldToTile(transform.position, at.x, at.y);
	return at;
}

bool Player::IsWalkTargetReached() const
{
	return !HasWalkTarget() || IsWithinRange(walkTarget, transform.position, kWalkTargetReached);
}

// --- Placement ---------------------------------------------------------

void Player::Start()
{
	g_strikeCount = 0;
	Hold(stats.heldKind, nullptr);
	Actor::Start();
	moveAxes = Vec3(0.0f);
	moveSpeed = kMoveSpeed;
	stepHeight = kStepHeight;
	deathDelay = kDeathDelay;
	knockBackRecovery = kKnockBackRecovery;
	stepDistance = kStepDistance;
	footstepVolume = kFootstepVolume;
	hitStun = kHitStun;
	useTarget = nullptr;
}

void Player::MakeSolid()
{
	CreateCollider(Collider::kModeSolid, Vec3(0.0f), Vec3(0.0f));
	wallCollision = IsOriginalRules() ? 0.0f : kWallProbe;
}

void Player::SetPosition(const Vec3 &position)
{
	currentArea = nullptr;
	hideCupboard = nullptr;
	if (collider != nullptr)
		collider->mode = Collider::kModeSolid;
	Actor::SetPosition(position);
	promptTile = CurrentTile();
	GameLink::Get().CloseMessage();
	ClearWalkTarget();
	walkOutDirection = 0;
	useTarget = nullptr;
	Hold(stats.heldKind, nullptr);
	SetVisible(true);
	MakeSolid();
}

void Player::UpdateTransform()
{
	exitTarget[0] = '\0';
	Actor::UpdateTransform();
	promptTile = CurrentTile();
	lastArea = currentArea = map != nullptr ? map->FindObjectAt(transform.position) : nullptr;
	SetVisible(true);
	StartWalkIn();
	useTarget = nullptr;
	MakeSolid();
}

void Player::StartWalkIn()
{
	if (entryDirection == 0 || map == nullptr)
		return;
	walkTarget = homePosition + DirectionToVector(entryDirection) * map->GetMapData().tileSize;
}

void Player::Setup(const Vec3 &position, uint32_t direction)
{
	exitTarget[0] = '\0';
	entryDirection = direction;
	weaponRecordId = 0;
	// Safe ground belongs to the map it was found on.
	safeGround.Forget();
	readTile.Unset();
	lastUsePosition = Vec3(0.0f);
	SetPosition(position);
	StartWalkIn();
	walkOutDirection = 0;
}

void Player::ForgetMapObjects()
{
	lastArea = nullptr;
	currentArea = nullptr;
	useTarget = nullptr;
	hideCupboard = nullptr;
	weaponRecordId = 0;
	promptTile.Unset();
	readTile.Unset();
}

void Player::SetExitTarget(const char *name)
{
	const char *current = map != nullptr ? map->GetMapData().GetMapName() : nullptr;
	if (name == nullptr || name[0] == '\0' || (current != nullptr && HashName(name) == HashName(current))) {
		exitTarget[0] = '\0';
		return;
	}
	std::strncpy(exitTarget, name, kExitTargetChars);
	exitTarget[kExitTargetChars] = '\0';
}

void Player::StopWalkingOut()
{
	exitTarget[0] = '\0';
	walkOutDirection = 0;
	ClearWalkTarget();
}

void Player::EnterMapLink(MapObjectDef *object)
{
	PlayerAreas::EnterMapLink(*this, object);
}

// --- The frame ---------------------------------------------------------

void Player::Update(float dt)
{
	Actor::Update(dt);
	GameLink &game = GameLink::Get();
	if (game.HasHud())
		game.SetPlayerStatus(stats, chain);
	if (deathTimer > 0.0f || game.IsTimerActive()) {
		ActorRegistry::StopAll();
		return;
	}
	if (freezeTimer > 0.0f) {
		freezeTimer -= dt;
		return;
	}
	if (reholdTimer > 0.0f) {
		reholdTimer -= dt;
		if (reholdTimer <= 0.0f)
			Hold(stats.heldKind, nullptr);
	}

	sinceLastPress += dt;
	keepAttacking = Pressed(kActionStrike) ? 1 : 0;
	keepRolling = Pressed(kActionRoll) ? 1 : 0;
	if (actionCooldown > 0.0f)
		actionCooldown -= dt;
	if (chainCooldown > 0.0f)
		chainCooldown -= dt;

	if (PlayerInput::AnswerMessages(*this) || PlayerObjectActions::UpdateHiding(*this))
		return;

	sinceScript += dt;

	PlayerObjectActions::KeepUseTarget(*this);
	if (useTarget != nullptr && PlayerInput::TakeUsePress(*this))
		return;

	PlayerTile tile = CurrentTile();
	if (map != nullptr)
		PlayerAreas::Update(*this, tile);
	if (tile != promptTile)
		promptTile.Unset();
	if (map != nullptr && grounded)
		safeGround.Observe(*map, tile, tileRecord.kind);
	if (actionMoveFactor > kRollBoostEnd && groundHeight <= kRollGroundLimit)
		actionMoveFactor = kRollBoostEnd;
	PlayerAreas::CheckMapEdges(*this, tile);
	if (tile != readTile) {
		readTile.Unset();
		if (useTarget != nullptr && ItemKinds::IsReadableKind(MapEntityKindFromType(useTarget->type)))
			useTarget = nullptr;
	}
}

void Player::GetDesiredMove(Vec3 &out, float dt)
{
	(void)dt;
	PlayerInput::DesiredMove(*this, out);
}

void Player::OnCollide(Entity *other)
{
	if (hideCupboard != nullptr)
		return;
	Actor::OnCollide(other);
	ClearWalkTarget();
	if (other == nullptr)
		return;
	uint8_t damage = ContactDamage(other);
	if (other->GetFaction() == kFactionHostile && damage > 0 && other->IsKind(MapEntity::kClassId)) {
		Strike(static_cast<MapEntity *>(other), damage, 1.0f);
		ActorRegistry::StopAll();
	} else if (other->IsKind(MapEntity::kClassId)) {
		if (!PlayerPushing::Touch(*this, *static_cast<MapEntity *>(other)))
			PlayerObjectActions::Touch(*this, *static_cast<MapEntity *>(other));
	}
}

// --- Blows, falls and death --------------------------------------------

bool Player::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	useTarget = nullptr;
	// A hero sinking into water or lava is beyond reach.
	if (transform.position.y < 0.0f)
		return false;
	if (!Actor::Strike(attacker, damage, power))
		return false;
	ActorRegistry::StopAll();
	if (Camera::Get() != nullptr)
		Camera::Get()->Shake(damage);
	if (attacker != nullptr && IsActor(attacker)) {
		attacker->KnockBackFrom(this, power);
		if (attacker->GetKind() == ItemKinds::kBlob && stats.heldKind != 0) {
			Hold(0, nullptr);
			GameLink::Get().ShowMessage("It got your sword!", kNoticeSeconds, kItemNotice);
		}
	}
	PlayEffect("sfx/hurt2.wav", 1.0f, 0);
	if (HasHearts())
		PlayEffect("sfx/multilose.wav", 0.7f, 0);
	return true;
}

void Player::OnBlocked(const Vec3 &direction)
{
	if (IsOriginalRules() || splashed || !grounded || map == nullptr)
		return;
	Vec3 &at = transform.position;
	Vec3 probe = at + direction * radius * 0.5f;
	if (map->HeightAt(probe) > at.y + stepHeight) {
		at.x -= probe.x - at.x;
		at.z -= probe.z - at.z;
		moving = 0;
	}
}

void Player::Kill()
{
	PlayerDeath::Fall(*this);
}

void Player::Splash()
{
	if (!IsVisible())
		return;
	if (collider != nullptr)
		collider->mode = Collider::kModeIgnored;
	if (IsOnLava()) {
		SetVisible(false);
		SpawnFX(this, kFXKindExplosion, Vec3(0.0f));
	} else {
		MapEntity::Splash();
	}
	if (Camera::Get() != nullptr)
		Camera::Get()->Shake(kSplashShake);
}

void Player::Defeat()
{
	if (!HasHearts())
		return;
	chain = 0;
	BeginDeath();
	Actor::Defeat();
}

void Player::BeginDeath()
{
	PlayerDeath::Begin(*this);
}

void Player::Die()
{
	PlayerDeath::End();
}

// --- Strikes, rolls and the chain --------------------------------------

void Player::StartAttack()
{
	useTarget = nullptr;
	++g_strikeCount;
	if (stats.heldKind == ItemKinds::kDress) {
		// The dress strikes nobody: the hero strikes a pose instead.
		PlayAnimation(kAnimPose, kDressPoseSeconds, kPoseSpeed);
		actionMoveFactor = 0.0f;
		busyTimer = kDressPoseSeconds;
		facing = kSouth;
		moveVelocity = kSouth;
		moveAxes = Vec3(0.0f);
		SpawnFX(this, kFXKindLove, Vec3(0.0f));
		return;
	}
	if (!IsOriginalRules())
		actionCooldown = kStrikeCooldown;
	Actor::StartAttack();
}

bool Player::Attack(MapEntity *target, uint8_t damage, float power)
{
	useTarget = nullptr;
	if (target == nullptr)
		return false;
	bool hit = false;
	if (PlayerObjectActions::AttackObject(*this, *target, hit))
		return hit;
	if (!Actor::Attack(target, damage, power))
		return false;
	if (damage > 0 && target->GetFaction() == kFactionHostile && IsActor(target)) {
		uint8_t left = static_cast<Actor *>(target)->stats.hearts;
		if (left > 0)
			AddChain(std::min(damage, left));
	}
	return true;
}

void Player::AddChain(uint8_t count)
{
	if (chainCooldown > 0.0f)
		return;
	if (IsOriginalRules()) {
		Actor::AddChain(count);
		return;
	}
	chain = static_cast<uint8_t>(std::min<int>(chain + 1, kChainReward));
	if (chain < kChainReward) {
		// The first hit plays the first sound, the seventh the seventh.
		PlayEffect(chainSounds.Get(static_cast<uint8_t>(chain - 1)), 0.3f, 0);
	} else {
		chain = 0;
		SpawnFX(this, kFXKindHeart, Vec3(0.0f));
		PlayEffect("sfx/multigain.wav", 0.6f, 0);
		if (Camera *camera = Camera::Get()) {
			camera->ShakeTimed(0.5f, 1.0f);
			camera->Shake(0.5f);
		}
	}
	chainCooldown = kChainCooldown;
}

void Player::StartRoll()
{
	if (!IsOriginalRules()) {
		if (actionCooldown > 0.0f)
			return;
		actionCooldown = kRollCooldown;
	}
	Actor::StartRoll();
}

// --- Items -------------------------------------------------------------

void Player::Hold(uint32_t kind, const char *name)
{
	reholdTimer = 0.0f;
	uint32_t before = stats.heldKind;
	if (kind == ItemKinds::kWholeHeart || kind == ItemKinds::kHalfHeart) {
		uint8_t gain = kind == ItemKinds::kWholeHeart ? 2 : 1;
		stats.maxHearts = static_cast<uint8_t>(std::min<int>(stats.maxHearts + gain, UINT8_MAX));
		stats.hearts = stats.maxHearts;
	} else if (kind == ItemKinds::kDress) {
		if (stats.heldKind != ItemKinds::kDress) {
			Actor::Hold(0, nullptr);
			stats.heldKind = ItemKinds::kDress;
		}
	} else {
		Actor::Hold(kind, name);
	}
	// Weapons are swapped, not collected: the one put down lies where it was
	// found. Taking the same weapon in hand again leaves its pickup alone.
	if (ItemKinds::IsToolKind(kind) && kind != before && weaponRecordId != 0 && map != nullptr) {
		MapObjectDef *record = map->FindEntityRecordById(weaponRecordId);
		if (record != nullptr && record->entity != nullptr && record->entity->lifeState < kLifeRemoved)
			record->entity->SetActive(true);
	}
	if (model.IsLoaded())
		LoadModel();
}

void Player::GainWeapon(uint32_t kind)
{
	if (kind == stats.heldKind)
		return;
	Hold(kind, nullptr);
	GameLink &game = GameLink::Get();
	if (kind == ItemKinds::kWholeHeart) {
		if (game.HasHud())
			game.ShowMessage("You got a whole new heart! No idea whose...", kNoticeSeconds, kItemNotice);
		if (ModMusicPlayer *music = ModMusicPlayer::Instance())
			music->PauseFor(2.5f);
		PlayEffect("sfx/sword.wav", 0.5f, Sound::kPlayOnReservedChannel);
		PlayAnimation(kAnimGet, kGetHold, kGetSpeed);
		facing = kNorth;
		moveVelocity = kNorth;
		moveAxes = Vec3(0.0f);
	} else if (kind == ItemKinds::kHalfHeart) {
		if (game.HasHud())
			game.ShowMessage("You got half a heart! Additional half-hearted efforts abound!", kNoticeSeconds,
				kItemNotice);
		PlayAnimation(kAnimGet, kGetHold, kGetSpeed);
		facing = kNorth;
	} else if (ItemKinds::IsToolKind(kind)) {
		PlayerObjectActions::AnnounceTool(*this, kind);
	}
}

Player::Figure Player::CurrentFigure() const
{
	if (GameLink::Get().IsMode(2))
		return {"models/chook.iqm", "models/chook.iqm", kChookScale, "models/chookbomb.png", "shaders/standard.dsh", true};
	const bool dress = stats.heldKind == ItemKinds::kDress;
	return {dress ? "models/blacksmithdress.iqm" : "models/blacksmith2.iqm", "models/blacksmith.iqm", kSmithScale,
		dress ? "models/blacksmithdress.png" : "models/blacksmith.png", "shaders/actor.dsh", false};
}

void Player::LoadModel()
{
	const Figure figure = CurrentFigure();
	const uint16_t key = HashName(figure.model);
	// The chook's figure stays as it is; the smith's is loaded again when
	// it was dropped.
	if (loadedModelKey != key || (!figure.chook && !model.IsLoaded())) {
		model.ClearLoaded();
		model.Load(figure.model, figure.animations, figure.scale);
		model.SetMaterial(figure.texture, figure.shader);
		loadedModelKey = key;
	}
	Actor::LoadModel();
}

void Player::AddLooks(std::vector<EntityLook> &looks) const
{
	Pickup::AddLookOf(looks, stats.heldKind);
	const Figure figure = CurrentFigure();
	EntityLook::AddAnimated(looks, figure.model, figure.animations, figure.texture, figure.shader);
}

// --- Use ---------------------------------------------------------------

void Player::Use(MapObjectDef *object)
{
	PlayerAreas::Use(*this, object);
}

void Player::ShowUsePrompt(const char *label, MapObjectDef *object)
{
	PlayerAreas::ShowUsePrompt(*this, label, object);
}

void Player::PlayEffect(const char *fileName, float volume, uint16_t flags)
{
	if (fileName != nullptr)
		Sound::Instance()->Play(fileName, volume, 0.0f, flags);
}
