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

// The arrays a draw carries beside its positions, as bits: vertex arrays
// shorter than the positions are left out when drawn, so only draws that
// carry the same ones can share a mesh.
uint32_t ArraysOf(const Mesh &mesh)
{
	const uint32_t vertices = mesh.GetVertexCount();
	return (mesh.GetCount(kMeshUVs) >= vertices ? 1u : 0u) | (mesh.GetCount(kMeshNormals) >= vertices ? 2u : 0u) |
		(mesh.GetCount(kMeshColors) >= vertices ? 4u : 0u);
}

// True when every index of the mesh names one of its vertices; a mesh that
// fails is drawn alone, where the renderer refuses it.
bool IndicesInRange(const Mesh &mesh)
{
	const uint32_t vertices = mesh.GetVertexCount();
	const std::vector<uint32_t> &indices = mesh.GetIndices();
	const uint32_t count = mesh.GetIndexCount();
	for (uint32_t i = 0; i < count; i++)
		if (indices[i] >= vertices)
			return false;
	return true;
}

} // namespace

struct DrawBatch::Gathered {
	Mesh mesh;
	MeshRenderer renderer; // declared after the mesh, so it goes first
};

DrawBatch::DrawBatch() = default;
DrawBatch::~DrawBatch() = default;

void DrawBatch::Close()
{
	Flush();
	open = false;
}

bool DrawBatch::Queue(MeshRenderer &renderer, const Mesh *mesh, const glm::mat4 &model, bool underlay)
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
	const uint8_t run = kind == Kind::kDepthWriting ? kSolids : underlay ? kUnderlays : kOverlays;
	entries.push_back(Entry{&renderer, mesh, model, renderer.GetTint(), material, (uint32_t)entries.size(), run});
	return true;
}

void DrawBatch::Flush()
{
	if (entries.empty() || flushing)
		return;
	flushing = true;
	// Underlays, then depth-writing draws grouped by shader then material,
	// then overlays. Arrival order breaks every tie, so the sort is stable without
	// the buffer a stable sort would allocate.
	std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
		if (a.run != b.run)
			return a.run < b.run;
		if (a.run == kSolids) {
			const Shader *shaderA = a.material->GetShader();
			const Shader *shaderB = b.material->GetShader();
			if (shaderA != shaderB)
				return std::less<const Shader *>()(shaderA, shaderB);
			if (a.material != b.material)
				return std::less<const Material *>()(a.material, b.material);
		}
		return a.order < b.order;
	});
	gatheredUsed = 0;
	for (size_t first = 0; first < entries.size();) {
		size_t last = first + 1;
		while (last < entries.size() && CanShare(entries[first], entries[last]))
			last++;
		DrawShared(first, last);
		first = last;
	}
	entries.clear();
	flushing = false;
}

bool DrawBatch::CanShare(const Entry &a, const Entry &b)
{
	return a.run == b.run && a.material == b.material && a.tint == b.tint &&
		a.renderer->GetMode() == b.renderer->GetMode() && a.mesh->GetIndexCount() > 0 &&
		b.mesh->GetIndexCount() > 0 && ArraysOf(*a.mesh) == ArraysOf(*b.mesh);
}

void DrawBatch::DrawShared(size_t first, size_t last)
{
	// One draw, or one whose indices stray, goes through its own renderer.
	size_t start = first;
	for (size_t i = first; i < last; i++) {
		const Entry &entry = entries[i];
		if (last - first > 1 && IndicesInRange(*entry.mesh))
			continue;
		DrawGathered(start, i);
		entry.renderer->SetTint(entry.tint);
		entry.renderer->Draw(entry.mesh, entry.model);
		start = i + 1;
	}
	DrawGathered(start, last);
}

void DrawBatch::DrawGathered(size_t first, size_t last)
{
	while (first < last) {
		if (gatheredUsed == gathered.size())
			gathered.push_back(std::make_unique<Gathered>());
		Gathered &into = *gathered[gatheredUsed++];
		Mesh &mesh = into.mesh;
		mesh.Clear();
		const Entry &lead = entries[first];
		const uint32_t arrays = ArraysOf(*lead.mesh);
		size_t i = first;
		for (; i < last; i++) {
			const Mesh &part = *entries[i].mesh;
			const uint32_t vertices = part.GetVertexCount();
			const uint32_t indices = part.GetIndexCount();
			const uint32_t base = mesh.GetVertexCount();
			// The first part always goes in; later ones while they fit.
			if (i > first && (base + vertices > Mesh::kMaxEntries || mesh.GetIndexCount() + indices > Mesh::kMaxEntries))
				break;
			const glm::mat4 &model = entries[i].model;
			mesh.AppendPositions(part.GetPositions().data(), vertices);
			glm::vec3 *positions = mesh.EditPositions() + base;
			for (uint32_t v = 0; v < vertices; v++)
				positions[v] = glm::vec3(model * glm::vec4(positions[v], 1.0f));
			if (arrays & 1u)
				mesh.AppendUVs(part.GetUVs().data(), vertices);
			if (arrays & 2u)
				mesh.AppendNormals(part.GetNormals().data(), vertices);
			if (arrays & 4u)
				mesh.AppendColors(part.GetColors().data(), vertices);
			const uint32_t indexBase = mesh.GetIndexCount();
			mesh.AppendIndices(part.GetIndices().data(), indices);
			uint32_t *written = mesh.EditIndices() + indexBase;
			for (uint32_t k = 0; k < indices; k++)
				written[k] += base;
		}
		// A gathered mesh of one part is drawn as it is, in its own space.
		if (i == first + 1) {
			lead.renderer->SetTint(lead.tint);
			lead.renderer->Draw(lead.mesh, lead.model);
		} else {
			mesh.SetMaterialDirect(lead.mesh->GetMaterial().Get());
			into.renderer.SetMode(lead.renderer->GetMode());
			into.renderer.SetTint(lead.tint);
			into.renderer.Draw(&mesh, glm::mat4(1.0f));
		}
		first = i;
	}
}
