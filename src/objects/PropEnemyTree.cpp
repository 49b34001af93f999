#include "objects/PropEnemyTree.h"

#include "engine/core/Scene.h"
#include "objects/Actor.h"
#include "objects/MapEntityFactory.h"

#include <cmath>
#include <limits>

namespace {

constexpr float kLookSeconds = 3.0f;     // between the perched bird's looks around
constexpr float kSettleSeconds = 5.0f;   // before it looks again after coming back
constexpr float kSwoopDepth = 2.0f;      // a foe this near in z, and
constexpr float kSwoopWidth = 10.0f;     // this near in x, is swooped at
constexpr float kPerchReach = 1.0f;      // a bird this near the perch settles on it
constexpr float kPerchLean = -0.2f;      // the perch moves against the sway
constexpr float kPerchHeight = 4.4f;
constexpr float kPerchForward = 0.5f;

PropEnemyTree::BirdMaker DefaultBirdMaker()
{
	return [] { return MapEntityFactory::CreateByKind(PropEnemyTree::kBirdKind); };
}

PropEnemyTree::BirdMaker &CurrentBirdMaker()
{
	static PropEnemyTree::BirdMaker maker = DefaultBirdMaker();
	return maker;
}

} // namespace

void PropEnemyTree::SetBirdMaker(BirdMaker maker)
{
	CurrentBirdMaker() = maker ? std::move(maker) : DefaultBirdMaker();
}

PropEnemyTree::PropEnemyTree() : PropTree(kKind)
{
}

PropEnemyTree::~PropEnemyTree()
{
	ForgetBirdFreedElsewhere();
	// The bird's destructor takes it out of its scene and unlinks its record.
	bird.reset();
	birdRecord.reset();
}

Actor *PropEnemyTree::GetBird() const
{
	return IsActor(bird.get()) ? static_cast<Actor *>(bird.get()) : nullptr;
}

void PropEnemyTree::ForgetBirdFreedElsewhere()
{
	// Only pointers are compared: a bird its scene already freed is never read.
	if (bird != nullptr && scene != nullptr && birdScene == scene && !scene->HasEntity(bird.get()))
		(void)bird.release();
}

Vec3 PropEnemyTree::PerchPoint() const
{
	const Vec3 &scale = transform.scale;
	return transform.position + Vec3(kPerchLean * sway * scale.x, kPerchHeight * scale.y, kPerchForward * scale.z);
}

void PropEnemyTree::Start()
{
	PropTree::Start();
	if (chopped != 0 || bird != nullptr)
		return;
	MapEntity *made = CurrentBirdMaker()();
	if (made == nullptr)
		return;
	bird.reset(made);
	birdRecord = std::make_unique<MapObjectDef>();
	birdRecord->kind = kObjectEntity;
	birdRecord->type = static_cast<uint8_t>(kBirdKind - kEntityKindFromTypeOffset);
	birdRecord->x = mapObject->x;
	birdRecord->y = mapObject->y;
	birdRecord->entity = made;
	made->LinkToMap(map, birdRecord.get());
	if (scene != nullptr) {
		scene->AddEntity(made);
		birdScene = scene;
	}
	made->SetPosition(PerchPoint());
	perched = 1;
}

void PropEnemyTree::Update(float dt)
{
	PropTree::Update(dt);
	ForgetBirdFreedElsewhere();
	Actor *actor = GetBird();
	if (actor == nullptr)
		return;
	if (perched != 0) {
		actor->SetPosition(PerchPoint());
		if (lookTimer <= 0.0f) {
			lookTimer = kLookSeconds;
			MapEntity *found = actor->FindTarget();
			birdTarget = IsLivingActor(found) ? found : nullptr;
		} else {
			lookTimer -= dt;
		}
		// The target is read only while the bird's scene still lists it.
		if (birdTarget != nullptr && (scene == nullptr || !scene->HasEntity(birdTarget) || !IsLivingActor(birdTarget)))
			birdTarget = nullptr;
		if (birdTarget == nullptr)
			return;
		actor->FaceTowards(birdTarget);
		const Vec3 apart = actor->transform.position - birdTarget->transform.position;
		if (std::fabs(apart.z) < kSwoopDepth && std::fabs(apart.x) < kSwoopWidth) {
			perched = 0;
			actor->SetTarget(birdTarget);
		}
		return;
	}
	if (!IsLivingActor(actor)) {
		// A beaten bird stays with the tree until the tree goes; it only
		// stops being watched.
		birdTarget = nullptr;
		return;
	}
	if (!actor->HasTarget(std::numeric_limits<float>::infinity(), 0) &&
		IsWithinRange(actor->transform.position, PerchPoint(), kPerchReach)) {
		perched = 1;
		lookTimer = kSettleSeconds;
	}
}

void PropEnemyTree::NotifyRemoved()
{
	ForgetBirdFreedElsewhere();
	if (IsActor(bird.get()))
		bird->NotifyRemoved();
	birdScene = nullptr; // out of the scene by the tree's own hand: still the tree's to free
	MapEntity::NotifyRemoved();
}

void PropEnemyTree::SetChopped(bool value)
{
	PropTree::SetChopped(value);
	Actor *actor = GetBird();
	if (value && IsLivingActor(actor))
		actor->Defeat();
}
