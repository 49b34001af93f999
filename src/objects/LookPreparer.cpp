#include "objects/LookPreparer.h"

#include "engine/core/Entity.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/TileMap.h"
#include "objects/FXParticles.h"
#include "objects/FXSpawner.h"
#include "objects/MapEntity.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

// Far beyond the far plane of any view of a map, on every axis.
constexpr float kBeyondView = 1.0e7f;

}

LookPreparer::LookPreparer() = default;

LookPreparer::~LookPreparer() = default;

void LookPreparer::Restart()
{
	looks.clear();
	current = 0;
	part = kDrawMap;
	nextEntity = 0;
	mapSlot = 0;
	drawDue = false;
	effectKind = 0;
	warmEffect.reset();
}

bool LookPreparer::NextLook(const Scene &scene)
{
	if (!looks.empty() && current + 1 < looks.size()) {
		current++;
		return true;
	}
	for (;;) {
		if (nextEntity >= scene.GetEntityCount())
			return false;
		looks.clear();
		current = 0;
		const auto *entity = dynamic_cast<const MapEntity *>(scene.GetEntityAt(nextEntity++));
		if (entity != nullptr && entity->IsStartPending())
			entity->AddLooks(looks);
		if (!looks.empty())
			return true;
	}
}

bool LookPreparer::NextEffect()
{
	warmEffect.reset();
	while (effectKind < kFXKindLast) {
		std::unique_ptr<FXEntity> made = FXSpawner::Make(++effectKind);
		if (dynamic_cast<FXParticles *>(made.get()) == nullptr)
			continue;
		made->transform.position = Vec3(kBeyondView);
		warmEffect = std::move(made);
		return true;
	}
	return false;
}

void LookPreparer::Step(const Scene &scene)
{
	// A draw that did not come (no frame was drawn) is left out.
	drawDue = false;
	if (part == kDrawMap) {
		if (mapSlot < TileMap::kLayerSlotCount) {
			mapSlot++;
			drawDue = true;
			return;
		}
		part = kDone;
	}
	if (part == kDone) {
		if (NextLook(scene)) {
			part = kReadModel;
		} else {
			looks.clear();
			part = kDrawEffect;
		}
	}
	if (part == kDrawEffect) {
		drawDue = NextEffect();
		return;
	}
	const EntityLook &look = looks[current];
	if (part == kReadModel) {
		look.PrepareModel();
		part = kReadMaterial;
		return;
	}
	look.PrepareMaterial();
	part = kDone;
	warmModel.ClearLoaded();
	if (look.texture.empty() || !warmModel.Load(look.model.c_str(), look.animations.c_str(), 1.0f))
		return;
	warmModel.SetMaterial(look.texture.c_str(), look.ShaderName());
	drawDue = true;
}

void LookPreparer::Draw(TileMap &map)
{
	if (!drawDue)
		return;
	drawDue = false;
	// Every corner on one point far out: the triangles have no area and lie
	// beyond the view, so no pixel is touched.
	const glm::mat4 nowhere = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(kBeyondView)), glm::vec3(0.0f));
	if (part == kDrawMap) {
		map.RenderLayer(mapSlot - 1, nowhere);
		return;
	}
	if (part == kDrawEffect) {
		// Every quad of the burst lies beyond the far plane and is clipped
		// whole.
		warmEffect->Render();
		return;
	}
	Renderer *renderer = GetRenderer();
	if (renderer == nullptr)
		return;
	// Culling would skip the draw.
	const bool culling = renderer->IsModelCulling();
	renderer->SetModelCulling(false);
	warmModel.Render(nowhere);
	renderer->SetModelCulling(culling);
}
