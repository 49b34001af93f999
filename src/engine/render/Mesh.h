#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "engine/render/Material.h"

// The five arrays of a mesh, in the order the mesh renderer keeps its GL
// buffers for them.
enum MeshArray : uint8_t {
	kMeshPositions,
	kMeshUVs,
	kMeshNormals,
	kMeshColors,
	kMeshIndices,
	kMeshArrayCount
};

// The CPU-side geometry of one drawable: five separate arrays (positions,
// texture coordinates, colours, normals, triangle indices) and the material to
// draw it with. Text boxes and sprites build it from quads, the model reader
// rewrites its vertices every frame, the tile map fills it with polygons. A
// mesh owns no GL object: a MeshRenderer mirrors the arrays into buffers of
// its own when it draws. The arrays are independent (nothing keeps their
// lengths equal) and never grow past kMaxEntries, which is all the renderer
// draws. Each array carries a change stamp that every operation writing it
// renews, so the renderer re-uploads exactly what changed, however small the
// change. A mesh counts one use of its material and gives it back when it goes.
class Mesh {
public:
	// The most entries any array holds, and the most the renderer draws.
	static constexpr uint32_t kMaxEntries = 65535;

	Mesh();
	// An empty mesh, then Assign from the source.
	Mesh(const Mesh &other);
	// Copies would have to share the material count; use Assign.
	Mesh &operator=(const Mesh &) = delete;
	// Releases the material and empties the arrays.
	virtual ~Mesh();

	// Empties all five arrays; the material stays.
	void Clear();
	// Makes each array an exact copy of the other's, fixes zero normals, and
	// takes a counted reference to the other's material when it has one (the
	// material held before is then not given back; without one it is kept).
	void Assign(const Mesh &other);

	// Gives back the current material and keeps the handle, taking over the
	// caller's counted use of it.
	void SetMaterial(const Material::Handle &handle);
	// Keeps an uncounted handle (key 0) to a material the caller owns; the
	// previous handle is not given back.
	void SetMaterialDirect(Material *material);
	const Material::Handle &GetMaterial() const { return material; }

	// Each grows its array by count entries, stopping at kMaxEntries, and
	// copies the data into the new tail.
	void AppendPositions(const glm::vec3 *data, uint32_t count);
	void AppendUVs(const glm::vec2 *data, uint32_t count);
	void AppendColors(const glm::vec3 *data, uint32_t count);
	// Zero normals are stored as (0, 1, 0).
	void AppendNormals(const glm::vec3 *data, uint32_t count);
	void AppendIndices(const uint32_t *data, uint32_t count);
	void AppendPositions(const std::vector<glm::vec3> &data);
	void AppendUVs(const std::vector<glm::vec2> &data);
	void AppendColors(const std::vector<glm::vec3> &data);
	void AppendNormals(const std::vector<glm::vec3> &data);
	void AppendIndices(const std::vector<uint32_t> &data);

	// Appends a convex polygon of count vertices as a fan of count - 2
	// triangles around its first vertex. UVs and normals are first cut or
	// padded with zeros to line up with the positions. A polygon of fewer
	// than 3 vertices, or one that would take the positions past kMaxEntries,
	// adds nothing, so no index ever points past the vertices.
	void AddPolygon(const glm::vec3 *positions, const glm::vec2 *uvs, const glm::vec3 *normals, uint32_t count);
	// The same from arrays; missing UVs read (0, 0) and missing normals
	// (0, 1, 0), extra ones are ignored.
	void AddPolygon(const std::vector<glm::vec3> &positions, const std::vector<glm::vec2> &uvs,
		const std::vector<glm::vec3> &normals);
	// The same fan of indices and the positions only.
	void AddPolygonPositions(const glm::vec3 *positions, uint32_t count);
	void AddPolygonPositions(const std::vector<glm::vec3> &positions);
	// One rectangle from two opposite corners (facing the Y or the Z axis),
	// with its texture corners and one colour for all four vertices, as two
	// triangles sharing the diagonal from the second to the fourth vertex.
	// Nothing when a vertex array would pass kMaxEntries.
	void AddQuad(const glm::vec3 &c0, const glm::vec3 &c1, const glm::vec2 &uv0, const glm::vec2 &uv1,
		const glm::vec3 &color);
	// A white rectangle of the given size centred on the origin, facing the
	// direction. A direction along the X axis gives a rectangle of no area.
	void AddFacingQuad(const glm::vec3 &direction, const glm::vec2 &size);

	// When the position count differs from count, resizes positions, UVs
	// and normals to count with every entry reset (position and UV zero,
	// normal (0, 1, 0)); colours are untouched. A mesh of that size already
	// keeps its contents: the model reader then overwrites them in place.
	void SetVertexCount(uint16_t count);
	// When the index count differs, resizes the indices (new entries 0).
	void SetIndexCount(uint16_t count);
	// Every normal that is exactly (0, 0, 0) becomes (0, 1, 0).
	void FixZeroNormals();

	const std::vector<glm::vec3> &GetPositions() const { return positions; }
	const std::vector<glm::vec2> &GetUVs() const { return uvs; }
	const std::vector<glm::vec3> &GetColors() const { return colors; }
	const std::vector<glm::vec3> &GetNormals() const { return normals; }
	const std::vector<uint32_t> &GetIndices() const { return indices; }
	// Array sizes as drawing reads them: at most kMaxEntries.
	uint32_t GetVertexCount() const { return CapCount(positions.size()); }
	uint32_t GetIndexCount() const { return CapCount(indices.size()); }
	uint32_t GetCount(MeshArray array) const;

	// Write access to the elements in place, for the model reader's posed
	// vertices after SetVertexCount and SetIndexCount. Each call renews the
	// array's change stamp, so call it again for every new round of writes;
	// the pointer stays valid until the array is resized. Null when empty.
	glm::vec3 *EditPositions();
	glm::vec2 *EditUVs();
	glm::vec3 *EditColors();
	glm::vec3 *EditNormals();
	uint32_t *EditIndices();

	// The array's change stamp: different after every write through the
	// operations above, and never the same for two meshes.
	uint64_t GetVersion(MeshArray array) const { return array < kMeshArrayCount ? versions[array] : 0; }

	static uint32_t CapCount(size_t size) { return size > kMaxEntries ? kMaxEntries : (uint32_t)size; }

private:
	void Touch(MeshArray array);
	void TouchAll();
	// Fan indices around base for count vertices; the caller has checked room.
	void AppendFan(uint32_t base, uint32_t count);
	bool HasRoomForVertices(uint32_t count) const;
	bool HasRoomForQuad() const;

	Material::Handle material;
	std::vector<glm::vec3> positions;
	std::vector<glm::vec2> uvs;
	std::vector<glm::vec3> colors;
	std::vector<glm::vec3> normals;
	std::vector<uint32_t> indices;
	size_t normalsFixed = 0; // leading normals known not to be zero
	uint64_t versions[kMeshArrayCount];
};

// v scaled to length 1, or fallback when that gives any NaN component (the
// zero vector included).
glm::vec3 Vec3SafeNormalize(const glm::vec3 &v, const glm::vec3 &fallback);
// x² + y² + z², or 0 when v has a NaN component or the sum is not finite.
float Vec3LengthSquared(const glm::vec3 &v);
// True when v is strictly shorter than radius; with radius 0.001 the game's
// test for a vector that is as good as zero.
bool Vec3WithinRadius(const glm::vec3 &v, float radius);
