#include "engine/core/Scene.h"

#include "engine/core/Entity.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"

#include <limits>

namespace {

constexpr int16_t kNoLayer = std::numeric_limits<int16_t>::min(); // also the first pass

}

Entity *Scene::Placeholder()
{
	// Never listed for real and never linked to a scene, so its defaults
	// (visible, layer 0, state 0) keep it out of updates and drawing.
	static Entity placeholder;
	return &placeholder;
}

Scene::Scene() = default;

Scene::~Scene()
{
	state = kSceneLeaving;
	Entity *placeholder = Placeholder();
	std::vector<Entity *> destroyed;
	for (Entity *entity : entities) {
		if (entity == nullptr || entity == placeholder)
			continue;
		// The entities outlive the scene; they must not reach back into it.
		if (entity->scene == this)
			entity->scene = nullptr;
		// Those left for this scene to free at its next update get no update
		// now; they are freed here instead of never.
		if (entity->lifeState == kLifeDestroyed)
			destroyed.push_back(entity);
	}
	entities.clear();
	entities.shrink_to_fit();
	for (size_t i = destroyed.size(); i-- > 0;)
		delete destroyed[i];
}

void Scene::AddEntity(Entity *entity)
{
	if (entity == nullptr || entity == Placeholder())
		return;
	if (state == kSceneActive && HasEntity(entity))
		return;
	// Refuse before touching the entity, so that it stays where it was.
	if (entities.size() >= kMaxEntities) {
		Log("Scene entity list full (%zu entries), entity not added\n", entities.size());
		return;
	}
	if (entity->scene != nullptr)
		entity->scene->RemoveEntity(entity);
	entity->scene = this;
	entities.push_back(entity);
	entity->lifeState = kLifeAdded;
	entity->Init();
}

void Scene::RemoveEntity(Entity *entity)
{
	Entity *placeholder = Placeholder();
	if (entity == nullptr || entity == placeholder)
		return;
	entity->lifeState = kLifeRemoved;
	entity->OnEvent();
	entity->scene = nullptr;
	for (Entity *&entry : entities) {
		if (entry == entity)
			entry = placeholder;
	}
}

void Scene::Update(float dt)
{
	if (state != kSceneActive)
		return;
	Entity *placeholder = Placeholder();

	// Entities added while we walk wait for the next frame.
	size_t count = entities.size();
	for (size_t i = 0; i < count; i++) {
		Entity *entity = entities[i];
		if (entity == nullptr || entity == placeholder)
			continue;
		entity->Tick(dt);
		if (state == kSceneLeaving)
			return;
	}

	// Keep the order of the survivors; collect the destroyed first and delete
	// them only once the list is settled, since their destructors may add or
	// remove entities of this scene.
	std::vector<Entity *> destroyed;
	size_t kept = 0;
	for (size_t i = 0; i < entities.size(); i++) {
		Entity *entity = entities[i];
		if (entity == nullptr || entity == placeholder)
			continue;
		if (entity->lifeState >= kLifeRemoved) {
			// Its entry goes, so its link must go too, or the entity would
			// reach back into this scene after the scene is gone.
			if (entity->scene == this)
				entity->scene = nullptr;
			if (entity->lifeState == kLifeDestroyed)
				destroyed.push_back(entity);
			continue;
		}
		entities[kept++] = entity;
	}
	entities.resize(kept);

	// Last entry first, as the list is purged from its end.
	for (size_t i = destroyed.size(); i-- > 0;) {
		delete destroyed[i];
	}
}

void Scene::Render()
{
	if (state != kSceneActive)
		return;

	int16_t current = kNoLayer;
	for (;;) {
		int16_t next = kNoLayer;
		// The count is read again on every pass: drawing may add entities.
		for (size_t i = 0; i < entities.size(); i++) {
			Entity *entity = entities[i];
			if (entity == nullptr || !entity->IsVisible())
				continue;
			if (entity->drawLayer == current && entity->lifeState == kLifeRunning)
				entity->Render();
			if (entity->drawLayer > current && (next == kNoLayer || entity->drawLayer < next))
				next = entity->drawLayer;
		}
		if (next == kNoLayer)
			break;
		if (current < Entity::kInterfaceLayer && next >= Entity::kInterfaceLayer) {
			Renderer *renderer = GetRenderer();
			if (renderer != nullptr)
				renderer->SetDrawBuffer(Renderer::kLayerInterface);
		}
		current = next;
	}
}

bool Scene::HasEntity(const Entity *entity) const
{
	for (const Entity *entry : entities) {
		if (entry == entity)
			return true;
	}
	return false;
}

Entity *Scene::GetEntityAt(uint16_t index) const
{
	if (index >= entities.size())
		return nullptr;
	Entity *entity = entities[index];
	if (entity == nullptr || entity->lifeState >= kLifeRemoved)
		return nullptr;
	return entity;
}

Entity *Scene::FindNearestEntity(Vec3 point, uint8_t factionMask, float radius) const
{
	if (state != kSceneActive)
		return nullptr;
	float best = radius * radius;
	Entity *result = nullptr;
	for (Entity *entity : entities) {
		if (entity == nullptr || entity->lifeState != kLifeRunning)
			continue;
		const Vec3 &position = entity->transform.position;
		if (position.x == point.x && position.y == point.y && position.z == point.z)
			continue;
		if (factionMask != 0 && (factionMask & entity->faction) == 0)
			continue;
		Vec3 delta = position - point;
		float distance = delta.x * delta.x + delta.y * delta.y + delta.z * delta.z;
		if (distance <= best) {
			best = distance;
			result = entity;
		}
	}
	return result;
}
