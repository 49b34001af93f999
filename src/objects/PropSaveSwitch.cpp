#include "objects/PropSaveSwitch.h"

#include "audio/ModMusicPlayer.h"
#include "engine/collision/Collider.h"
#include "engine/core/Camera.h"
#include "engine/core/Log.h"
#include "engine/core/Random.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/GameLink.h"
#include "objects/Player.h"
#include "objects/FXSpawner.h"
#include "objects/SpawnFX.h"
#include "objects/WorldSound.h"

#include <cmath>

namespace {

constexpr float kScale = 0.5f;
constexpr const char *kShader = "shaders/standard.dsh";
constexpr const char *kFireShader = "shaders/fire.dsh";
constexpr const char *kFireplaceModel = "models/fireplace.iqm";
constexpr const char *kFireplaceTexture = "mats/woodboard.png";
constexpr const char *kFlameModel = "models/fireflame.iqm";
constexpr const char *kFlameTexture = "mats/fire.png";
constexpr int kOriginalRules = 1;   // game mode in which touching lights the fire
constexpr int kNoSaveRespawn = 2;   // respawn level whose fires make fun of you
constexpr uint8_t kPlainMessage = 0;
constexpr float kMusicPause = 2.5f; // seconds
constexpr float kShake = 0.5f;
constexpr float kTimedShakeSeconds = 1.5f;
constexpr float kTimedShakeStrength = 1.0f;
constexpr float kSoundAge = 0.1f;   // seconds before the crackle may sound
constexpr float kFireVolume = 0.3f;
constexpr float kEmberHeight = 1.5f;

const char *const kFireTexts[PropSaveSwitch::kFireTextCount] = {
	"You feel in your bones that this is the fire of your redemption.",
	"Your spirit settles amidst the firelight so that it may reawaken here.",
	"Using the Power of Fire, the fire burns brightly.",
	"The flame flickers like a metaphor, yet it drives like a similie.",
	"As you light the fire, you can begin to feel your game saving to disk.",
	"The Power of the Fire has saved you.",
	"Watch out! You just copped a saving.",
};

// Never reset while the program runs.
int g_messageCounter = 0;

} // namespace

PropSaveSwitch::PropSaveSwitch() : MapEntity(kKind)
{
}

const char *PropSaveSwitch::NextFireText()
{
	const int index = ((g_messageCounter % kFireTextCount) + kFireTextCount) % kFireTextCount;
	g_messageCounter++;
	return kFireTexts[index];
}

int PropSaveSwitch::GetMessageCounter()
{
	return g_messageCounter;
}

void PropSaveSwitch::SetMessageCounter(int value)
{
	g_messageCounter = value;
}

void PropSaveSwitch::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kFireplaceModel, kFireplaceTexture, kShader);
	EntityLook::Add(looks, kFlameModel, kFlameTexture, kFireShader);
}

void PropSaveSwitch::Start()
{
	transform.SetUniformScale(kScale);
	fireplaceModel.LoadSimple(kFireplaceModel, 1.0f);
	fireplaceMaterial = Material::Get(kFireplaceTexture, kShader);
	fireplaceModel.SetMaterialHandle(fireplaceMaterial);
	flameModel.LoadSimple(kFlameModel, 1.0f);
	flameMaterial = Material::Get(kFlameTexture, kFireShader);
	flameModel.SetMaterialHandle(flameMaterial);

	if (GameLink::Get().IsMode(kOriginalRules))
		CreateCollider(Collider::kModeTrigger, Vec3(0.2f, 0.5f, 0.2f), Vec3(0.0f, 0.5f, 0.0f));
	else
		CreateCollider(Collider::kModeStatic, Vec3(0.3f, 0.5f, 0.3f), Vec3(0.0f, 0.5f, 0.0f));

	// The fire burns on the map the save starts on. The map entity's start
	// is left out: the fireplace stays where the map put it.
	if (GameLink::Get().IsInGame()) {
		mapId = GameLink::Get().CurrentMapId();
		SetLit(mapId != 0 && mapId == GameLink::Get().StartMap());
	}
}

void PropSaveSwitch::SetLit(bool value)
{
	GameLink &game = GameLink::Get();
	if (value != (lit != 0)) {
		lit = value ? 1 : 0;
		if (lit != 0 && game.StartMap() != mapId) {
			game.SetStartMap(mapId);
			// Write first, so no text claims a save that failed.
			const bool saved = game.SaveCurrentSlot();
			if (!saved)
				Log("Couldn't save the game at the fire on %s\n", mapObject->name.GetOr(""));
			if (game.HasHud()) {
				const char *text = kSaveFailedText;
				if (saved)
					text = game.RespawnLevel() == kNoSaveRespawn ? kNoSaveText : NextFireText();
				game.ShowMessage(text, kMessageSeconds, kPlainMessage);
			}
			ModMusicPlayer *music = ModMusicPlayer::Instance();
			if (music != nullptr && !music->IsMainCueExclusive())
				music->PauseFor(kMusicPause);
			if (Camera *camera = Camera::Get()) {
				camera->Shake(kShake);
				camera->ShakeTimed(kTimedShakeSeconds, kTimedShakeStrength);
			}
		}
		if (map != nullptr)
			map->SetGroupFlag(mapObject->Group(), lit != 0);
	}
	if (age > kSoundAge)
		WorldSound::PlayAt(kFireSound, transform.position, kFireVolume);
}

void PropSaveSwitch::Use(Player *player)
{
	SetLit(lit == 0);
	if (lit != 0)
		return;
	if (player != nullptr)
		player->stats.hearts = player->stats.maxHearts;
	GameLink::Get().ShowMessage(kPowerText, kMessageSeconds, kPlainMessage);
}

void PropSaveSwitch::OnCollide(Entity *other)
{
	(void)other;
	if (GameLink::Get().IsMode(kOriginalRules))
		SetLit(true);
}

void PropSaveSwitch::Update(float dt)
{
	age += dt;
	if (lit == 0)
		return;
	Random &random = *GetRandom();
	const Vec3 up(0.0f, 1.0f, 0.0f);

	flames[0].Rotate(dt + std::sin(age) * dt, up);
	flames[0].SetUniformScale(random.Range(0.9f, 1.0f));
	flames[0].scale.y = 1.0f + 0.3f * std::sin(4.0f * age);

	flames[1].Rotate(random.Range(0.0f, 4.0f * dt) - 4.0f * dt, up);
	flames[1].SetUniformScale(random.Range(0.9f, 1.0f));
	flames[1].scale.y = 1.0f + 0.3f * std::cos(7.0f * age);

	flames[2].Rotate(random.Range(0.0f, 4.0f * dt) - 4.0f * dt, up);
	flames[2].SetUniformScale(random.Range(0.8f, 1.0f));
	flames[2].scale.y = random.Range(0.7f, 1.1f);

	if (emberTimer <= 0.0f) {
		emberTimer = random.Range(0.15f, 0.6f);
		SpawnFX(this, kFXKindSmoke, Vec3(random.Range(-0.5f, 0.5f), kEmberHeight, random.Range(-0.5f, 0.5f)));
	}
	emberTimer -= dt;
}

void PropSaveSwitch::Render()
{
	const glm::mat4 placement = transform.GetMatrix();
	if (fireplaceModel.IsLoaded())
		fireplaceModel.Render(placement);
	if (lit == 0 || !flameModel.IsLoaded())
		return;
	for (const Transform &flame : flames)
		flameModel.Render(placement * flame.GetMatrix());
}
