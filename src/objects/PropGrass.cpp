#include "objects/PropGrass.h"

#include "engine/collision/Collider.h"
#include "map/EnvironmentTable.h"
#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/FXSpawner.h"
#include "objects/PropTree.h"
#include "objects/SpawnFX.h"
#include "objects/WorldSound.h"

#include <cmath>

namespace {

constexpr float kRadius = 0.8f;
constexpr float kVolume = 0.4f;          // of its hit sounds
constexpr float kSwayAngle = 0.15f;      // radians at full sway
constexpr float kCutVolume = 0.5f;
constexpr const char *kCutSound = "sfx/chopgrass.wav";
const Vec3 kBoxSize(1.6f, 1.6f, 1.6f);
const Vec3 kBoxOffset(0.0f, 0.25f, 0.0f);
const Vec3 kSwayAxis(0.0f, 0.0f, 1.0f);

} // namespace

PropGrass::PropGrass() : Prop(kKind)
{
}

PropGrass::~PropGrass()
{
	Material::Release(material);
}

const char *PropGrass::TextureName() const
{
	const int16_t x = static_cast<int16_t>(mapObject->x);
	const int16_t y = static_cast<int16_t>(mapObject->y);
	const EnvironmentLayer *ground = map != nullptr ? map->SurfaceAt(x, y) : nullptr;
	return ground != nullptr ? ground->tree.GetOr(PropTree::kDefaultTexture) : PropTree::kDefaultTexture;
}

void PropGrass::AddLooks(std::vector<EntityLook> &looks) const
{
	EntityLook::Add(looks, kModel, TextureName(), PropTree::kShader);
}

void PropGrass::Start()
{
	radius = kRadius;
	Prop::Start();

	const int16_t x = static_cast<int16_t>(mapObject->x);
	const int16_t y = static_cast<int16_t>(mapObject->y);
	// A second start (after a pause before the first) keeps one use only.
	Material::Release(material);
	material = Material::Get(TextureName(), PropTree::kShader);
	model.LoadSimple(kModel, 1.0f);
	model.SetMaterialHandle(Material::Share(material));

	CreateCollider(Collider::kModeStatic, kBoxSize, kBoxOffset);
	collider->weight = 0.0f;
	followsGround = 0;
	killable = 0;

	const Vec3 at = transform.position;
	restRotation = PropTree::RestRotationAt(at);
	transform.SetRotation(restRotation);
	shadowSize = 0.0f;
	volume = kVolume;

	swayClock = static_cast<float>(x + y % 10) * 0.1f;
	swayRate = static_cast<float>(x + y % 13) * 0.1f;
	tint = std::sin(1.11f * at.x) - 0.08f * std::cos(2.71f * at.z);
}

void PropGrass::Update(float dt)
{
	swayClock += dt;
	transform.SetRotation(restRotation * glm::angleAxis(kSwayAngle * std::sin(swayClock * swayRate), kSwayAxis));
}

void PropGrass::Render()
{
	if (Material *shared = material.Get())
		shared->SetColor(PropTree::TintColour(tint));
	Prop::Render();
}

bool PropGrass::Strike(MapEntity *attacker, uint8_t damage, float power)
{
	(void)damage;
	(void)power;
	SetActive(false);
	const uint32_t drop = PropTree::DropFor(attacker, PropTree::PlacementSeed(*mapObject), kDropEvery);
	if (drop != 0)
		SpawnFX(this, drop, Vec3(0.0f));
	WorldSound::PlayAt(kCutSound, transform.position, kCutVolume);
	SpawnFX(this, kFXKindGrass, Vec3(0.0f));
	return true;
}
