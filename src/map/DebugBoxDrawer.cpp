#include "map/DebugBoxDrawer.h"

#include "engine/collision/Collider.h"
#include "engine/core/Entity.h"
#include "engine/core/Scene.h"
#include "engine/render/Renderer.h"
#include "map/TileMap.h"

#include <SDL.h>
#include <glad/gl.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kAxisCount = 3;
constexpr int kCornerSigns[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

// A tile coordinate of a map object's far edge, kept inside the 16-bit range
// that tile positions take.
int16_t FarTile(uint16_t start, uint16_t extent)
{
	int32_t value = (int32_t)(int16_t)start + (int32_t)extent;
	return (int16_t)std::clamp<int32_t>(value, INT16_MIN, INT16_MAX);
}

Vec3 AxisVector(int axis, float length)
{
	Vec3 v(0.0f);
	v[axis] = length;
	return v;
}

}

DebugBoxDrawer::DebugBoxDrawer()
{
	// The shader is fetched at the first draw: building it needs the GL
	// context, and a shader that failed to build would be kept as failed.
	mesh.SetMaterialDirect(&material);
}

void DebugBoxDrawer::BuildOutline(const Vec3 &centre, const Vec3 &size)
{
	const Vec3 half = size * 0.5f;
	const float w = kEdgeWidth * 0.5f;
	for (int along = 0; along < kAxisCount; along++) {
		const int j = (along + 1) % kAxisCount;
		const int k = (along + 2) % kAxisCount;
		// Each edge runs past the corners by half a strip so that the
		// strips of neighbouring edges close the corner.
		const Vec3 reach = AxisVector(along, half[along] + w);
		for (const auto &signs : kCornerSigns) {
			const Vec3 middle = centre + AxisVector(j, half[j] * (float)signs[0]) + AxisVector(k, half[k] * (float)signs[1]);
			const Vec3 a = middle - reach;
			const Vec3 b = middle + reach;
			// One strip widened along each of the two other axes, facing the
			// third.
			const int widths[2] = {j, k};
			const int facings[2] = {k, j};
			for (int s = 0; s < 2; s++) {
				const Vec3 across = AxisVector(widths[s], w);
				const Vec3 normal = AxisVector(facings[s], 1.0f);
				const glm::vec3 positions[4] = {a - across, b - across, b + across, a + across};
				const glm::vec2 uvs[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
				const glm::vec3 normals[4] = {normal, normal, normal, normal};
				mesh.AddPolygon(positions, uvs, normals, 4);
			}
		}
	}
}

void DebugBoxDrawer::DrawBox(const Vec3 &centre, const Vec3 &size)
{
	mesh.Clear();
	mesh.SetMaterialDirect(&material);
	BuildOutline(centre, size);

	if (material.GetShader() == nullptr && SDL_GL_GetCurrentContext() != nullptr)
		material.SetShader(kShaderName);
	// The material has no picture, so the standard shader would read
	// whatever texture the last draw left on unit 0; with none bound it
	// reads black, which stands out on the ground.
	if (SDL_GL_GetCurrentContext() != nullptr) {
		glActiveTexture(GL_TEXTURE0);
		glBindTexture(GL_TEXTURE_2D, 0);
	}

	// The mesh renderer switches to each pass's own mode, and the standard
	// shader's pass is a filled one: that is why the outline is made of
	// strips rather than relying on wireframe alone.
	Renderer *target = GetRenderer();
	uint32_t previousMode = target != nullptr ? target->GetRenderMode() : Renderer::kRenderModeNormal;
	if (target != nullptr)
		target->SetRenderMode(Renderer::kRenderModeWireframe);
	renderer.Draw(&mesh, glm::mat4(1.0f));
	if (target != nullptr)
		target->SetRenderMode(previousMode);
}

void DebugBoxDrawer::DrawCollider(Collider &collider)
{
	const ColliderBox &box = collider.UpdateBounds();
	DrawBox(box.centre, box.half * 2.0f);
}

void DebugBoxDrawer::DrawMapObject(const TileMap &tileMap, const MapObjectDef &object)
{
	const float tileSize = tileMap.GetMapData().tileSize;
	const Vec3 a = tileMap.TilePosition((int16_t)object.x, (int16_t)object.y, 0.5f, 0.5f);
	const Vec3 b = tileMap.TilePosition(FarTile(object.x, object.w), FarTile(object.y, object.h), 0.5f, 0.5f);
	DrawBox((a + b) * 0.5f, Vec3((float)object.w * tileSize, kMapObjectHeight, (float)object.h * tileSize));
}

void DebugBoxDrawer::DrawScene(const Scene &scene)
{
	if (SDL_GL_GetCurrentContext() != nullptr)
		material.SetShader(kShaderName);
	const Vec3 markerSize(kMarkerSize);
	const Vec3 up(0.0f, kMarkerHeight, 0.0f);
	const uint16_t count = scene.GetEntityCount();
	for (uint16_t i = 0; i < count; i++) {
		Entity *entity = scene.GetEntityAt(i);
		if (entity == nullptr || entity->collider == nullptr || !entity->IsActive())
			continue;
		DrawCollider(*entity->collider);
		DrawBox(entity->transform.position + entity->transform.GetForward() + up, markerSize);
	}
}
