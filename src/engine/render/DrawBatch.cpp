#include "engine/render/DrawBatch.h"

#include <algorithm>
#include <functional>

#include "engine/render/Material.h"
#include "engine/render/Mesh.h"
#include "engine/render/MeshRenderer.h"
#include "engine/render/Renderer.h"
#include "engine/render/Shader.h"
#include "engine/render/ShaderPass.h"

namespace {

enum class Kind { kDepthWriting, kDecal, kOther };

// How a material's passes use the depth buffer.
Kind KindOf(const Shader &shader)
{
	const uint8_t count = shader.GetPassCount();
	if (count == 0)
		return Kind::kOther;
	const uint32_t first = shader.GetPass(0)->renderMode;
	for (uint8_t p = 1; p < count; p++)
		if (shader.GetPass(p)->renderMode != first)
			return Kind::kOther;
	if (first == ShaderPass::kModeNormal)
		return Kind::kDepthWriting;
	if (first == ShaderPass::kModeNoDepthWrite)
		return Kind::kDecal;
	return Kind::kOther;
}

} // namespace

void DrawBatch::Close()
{
	Flush();
	open = false;
}

bool DrawBatch::Queue(MeshRenderer &renderer, const Mesh *mesh, const glm::mat4 &model)
{
	if (!open || flushing || mesh == nullptr)
		return false;
	Material *material = mesh->GetMaterial().Get();
	if (material == nullptr) {
		Renderer *owner = GetRenderer();
		material = owner != nullptr ? owner->GetDefaultMaterial() : nullptr;
	}
	if (material == nullptr || material->GetShader() == nullptr)
		return false;
	const Kind kind = KindOf(*material->GetShader());
	if (kind == Kind::kOther)
		return false;
	entries.push_back(Entry{&renderer, mesh, model, renderer.GetTint(), material->GetShader(),
		material->GetTextureId(), (uint32_t)entries.size(), kind == Kind::kDecal});
	return true;
}

void DrawBatch::Flush()
{
	if (entries.empty() || flushing)
		return;
	flushing = true;
	// Depth-writing draws first, grouped by shader then texture; decals after
	// them. Arrival order breaks every tie, so the sort is stable without the
	// buffer a stable sort would allocate.
	std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
		if (a.decal != b.decal)
			return !a.decal;
		if (!a.decal) {
			if (a.shader != b.shader)
				return std::less<const void *>()(a.shader, b.shader);
			if (a.texture != b.texture)
				return a.texture < b.texture;
		}
		return a.order < b.order;
	});
	for (const Entry &entry : entries) {
		entry.renderer->SetTint(entry.tint);
		entry.renderer->Draw(entry.mesh, entry.model);
	}
	entries.clear();
	flushing = false;
}
