#include "engine/render/Mesh.h"

#include <algorithm>
#include <cmath>

namespace {

const glm::vec3 kUp(0.0f, 1.0f, 0.0f); // the normal of anything without a better one
const glm::vec3 kWhite(1.0f, 1.0f, 1.0f);
constexpr uint32_t kQuadVertices = 4;
constexpr uint32_t kPolygonMinVertices = 3;

// The source of change stamps: one clock for every mesh, so a stamp is never
// reused, not even by a new mesh built where a deleted one lived.
uint64_t gVersionClock = 0;

uint64_t NextVersion()
{
	return ++gVersionClock;
}

template <typename T>
void AppendCapped(std::vector<T> &array, const T *data, uint32_t count)
{
	if (data == nullptr || array.size() >= Mesh::kMaxEntries)
		return;
	size_t room = Mesh::kMaxEntries - array.size();
	array.insert(array.end(), data, data + std::min<size_t>(count, room));
}

bool IsZero(const glm::vec3 &v)
{
	return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

}

Mesh::Mesh()
{
	TouchAll();
}

Mesh::Mesh(const Mesh &other) : Mesh()
{
	Assign(other);
}

Mesh::~Mesh()
{
	// A direct handle (key 0) was never counted, and the shared sprite mesh
	// may go after the material cache at exit: leave the cache alone then.
	if (material.GetKey() != 0)
		Material::Release(material);
	material = Material::Handle();
	Clear();
}

void Mesh::Touch(MeshArray array)
{
	versions[array] = NextVersion();
}

void Mesh::TouchAll()
{
	for (uint8_t i = 0; i < kMeshArrayCount; i++)
		Touch((MeshArray)i);
}

void Mesh::Clear()
{
	positions.clear();
	uvs.clear();
	colors.clear();
	indices.clear();
	normals.clear();
	normalsFixed = 0;
	TouchAll();
}

void Mesh::Assign(const Mesh &other)
{
	if (&other == this)
		return;
	positions = other.positions;
	uvs = other.uvs;
	colors = other.colors;
	normals = other.normals;
	indices = other.indices;
	normalsFixed = 0;
	TouchAll();
	FixZeroNormals();
	if (other.material.IsValid())
		material = Material::Share(other.material);
}

void Mesh::SetMaterial(const Material::Handle &handle)
{
	if (material.GetKey() != 0)
		Material::Release(material);
	material = handle;
}

void Mesh::SetMaterialDirect(Material *value)
{
	material = Material::Handle(value, 0);
}

void Mesh::AppendPositions(const glm::vec3 *data, uint32_t count)
{
	AppendCapped(positions, data, count);
	Touch(kMeshPositions);
}

void Mesh::AppendUVs(const glm::vec2 *data, uint32_t count)
{
	AppendCapped(uvs, data, count);
	Touch(kMeshUVs);
}

void Mesh::AppendColors(const glm::vec3 *data, uint32_t count)
{
	AppendCapped(colors, data, count);
	Touch(kMeshColors);
}

void Mesh::AppendNormals(const glm::vec3 *data, uint32_t count)
{
	AppendCapped(normals, data, count);
	Touch(kMeshNormals);
	FixZeroNormals();
}

void Mesh::AppendIndices(const uint32_t *data, uint32_t count)
{
	AppendCapped(indices, data, count);
	Touch(kMeshIndices);
}

void Mesh::AppendPositions(const std::vector<glm::vec3> &data)
{
	AppendPositions(data.data(), CapCount(data.size()));
}

void Mesh::AppendUVs(const std::vector<glm::vec2> &data)
{
	AppendUVs(data.data(), CapCount(data.size()));
}

void Mesh::AppendColors(const std::vector<glm::vec3> &data)
{
	AppendColors(data.data(), CapCount(data.size()));
}

void Mesh::AppendNormals(const std::vector<glm::vec3> &data)
{
	AppendNormals(data.data(), CapCount(data.size()));
}

void Mesh::AppendIndices(const std::vector<uint32_t> &data)
{
	AppendIndices(data.data(), CapCount(data.size()));
}

bool Mesh::HasRoomForVertices(uint32_t count) const
{
	return positions.size() <= kMaxEntries && count <= kMaxEntries - positions.size();
}

bool Mesh::HasRoomForQuad() const
{
	size_t longest = std::max({positions.size(), uvs.size(), colors.size(), normals.size()});
	return longest <= kMaxEntries && kQuadVertices <= kMaxEntries - longest;
}

void Mesh::AppendFan(uint32_t base, uint32_t count)
{
	for (uint32_t k = 0; k + 2 < count; k++) {
		indices.push_back(base);
		indices.push_back(base + k + 1);
		indices.push_back(base + k + 2);
	}
	Touch(kMeshIndices);
}

void Mesh::AddPolygon(const glm::vec3 *newPositions, const glm::vec2 *newUVs, const glm::vec3 *newNormals,
	uint32_t count)
{
	// The fan is only written when every vertex it names is stored too;
	// otherwise the renderer would read past the positions.
	if (count < kPolygonMinVertices || newPositions == nullptr || newUVs == nullptr || newNormals == nullptr ||
		!HasRoomForVertices(count))
		return;
	uint32_t base = (uint32_t)positions.size();
	AppendFan(base, count);
	uvs.resize(base, glm::vec2(0.0f));
	normals.resize(base, glm::vec3(0.0f));
	normalsFixed = std::min<size_t>(normalsFixed, base);
	positions.insert(positions.end(), newPositions, newPositions + count);
	uvs.insert(uvs.end(), newUVs, newUVs + count);
	normals.insert(normals.end(), newNormals, newNormals + count);
	Touch(kMeshPositions);
	Touch(kMeshUVs);
	Touch(kMeshNormals);
	FixZeroNormals();
}

void Mesh::AddPolygon(const std::vector<glm::vec3> &newPositions, const std::vector<glm::vec2> &newUVs,
	const std::vector<glm::vec3> &newNormals)
{
	uint32_t count = CapCount(newPositions.size());
	std::vector<glm::vec2> lineUVs(newUVs.begin(), newUVs.begin() + std::min<size_t>(count, newUVs.size()));
	std::vector<glm::vec3> lineNormals(
		newNormals.begin(), newNormals.begin() + std::min<size_t>(count, newNormals.size()));
	lineUVs.resize(count, glm::vec2(0.0f));
	lineNormals.resize(count, glm::vec3(0.0f));
	AddPolygon(newPositions.data(), lineUVs.data(), lineNormals.data(), count);
}

void Mesh::AddPolygonPositions(const glm::vec3 *newPositions, uint32_t count)
{
	if (count < kPolygonMinVertices || newPositions == nullptr || !HasRoomForVertices(count))
		return;
	AppendFan((uint32_t)positions.size(), count);
	AppendPositions(newPositions, count);
}

void Mesh::AddPolygonPositions(const std::vector<glm::vec3> &newPositions)
{
	AddPolygonPositions(newPositions.data(), CapCount(newPositions.size()));
}

void Mesh::AddQuad(const glm::vec3 &c0, const glm::vec3 &c1, const glm::vec2 &uv0, const glm::vec2 &uv1,
	const glm::vec3 &color)
{
	// Every vertex array grows by four here, so each must have the room.
	if (!HasRoomForQuad())
		return;
	uint32_t base = (uint32_t)positions.size();
	const glm::vec3 p[kQuadVertices] = {c0, glm::vec3(c1.x, c0.y, c0.z), c1, glm::vec3(c0.x, c1.y, c1.z)};
	const glm::vec2 t[kQuadVertices] = {uv0, glm::vec2(uv1.x, uv0.y), uv1, glm::vec2(uv0.x, uv1.y)};
	glm::vec3 normal = Vec3SafeNormalize(glm::cross(p[3] - p[0], p[1] - p[0]), kUp);
	for (uint32_t i = 0; i < kQuadVertices; i++) {
		positions.push_back(p[i]);
		uvs.push_back(t[i]);
		colors.push_back(color);
		normals.push_back(normal);
	}
	const uint32_t quadIndices[] = {base, base + 1, base + 3, base + 3, base + 1, base + 2};
	indices.insert(indices.end(), std::begin(quadIndices), std::end(quadIndices));
	TouchAll();
}

void Mesh::AddFacingQuad(const glm::vec3 &direction, const glm::vec2 &size)
{
	glm::vec3 n = -glm::cross(direction, glm::vec3(1.0f, 0.0f, 0.0f));
	glm::vec3 c = glm::cross(direction, n);
	glm::vec3 c0 = -(size.x * 0.5f) * c + (size.y * 0.5f) * n;
	glm::vec3 c1 = (size.x * 0.5f) * c - (size.y * 0.5f) * n;
	AddQuad(c0, c1, glm::vec2(0.0f, 1.0f), glm::vec2(1.0f, 0.0f), kWhite);
}

void Mesh::SetVertexCount(uint16_t count)
{
	if (positions.size() == count)
		return;
	positions.assign(count, glm::vec3(0.0f));
	uvs.assign(count, glm::vec2(0.0f));
	normals.assign(count, kUp);
	normalsFixed = 0;
	Touch(kMeshPositions);
	Touch(kMeshUVs);
	Touch(kMeshNormals);
}

void Mesh::SetIndexCount(uint16_t count)
{
	if (indices.size() == count)
		return;
	indices.resize(count, 0);
	Touch(kMeshIndices);
}

void Mesh::FixZeroNormals()
{
	// Normals before normalsFixed were already checked and nothing has written
	// them since, so building a map polygon by polygon stays linear.
	bool fixed = false;
	for (size_t i = std::min(normalsFixed, normals.size()); i < normals.size(); i++) {
		if (IsZero(normals[i])) {
			normals[i] = kUp;
			fixed = true;
		}
	}
	normalsFixed = normals.size();
	if (fixed)
		Touch(kMeshNormals);
}

uint32_t Mesh::GetCount(MeshArray array) const
{
	switch (array) {
	case kMeshPositions:
		return CapCount(positions.size());
	case kMeshUVs:
		return CapCount(uvs.size());
	case kMeshNormals:
		return CapCount(normals.size());
	case kMeshColors:
		return CapCount(colors.size());
	case kMeshIndices:
		return CapCount(indices.size());
	default:
		return 0;
	}
}

glm::vec3 *Mesh::EditPositions()
{
	Touch(kMeshPositions);
	return positions.data();
}

glm::vec2 *Mesh::EditUVs()
{
	Touch(kMeshUVs);
	return uvs.data();
}

glm::vec3 *Mesh::EditColors()
{
	Touch(kMeshColors);
	return colors.data();
}

glm::vec3 *Mesh::EditNormals()
{
	normalsFixed = 0;
	Touch(kMeshNormals);
	return normals.data();
}

uint32_t *Mesh::EditIndices()
{
	Touch(kMeshIndices);
	return indices.data();
}

glm::vec3 Vec3SafeNormalize(const glm::vec3 &v, const glm::vec3 &fallback)
{
	glm::vec3 result = v * (1.0f / std::sqrt(glm::dot(v, v)));
	if (std::isnan(result.x) || std::isnan(result.y) || std::isnan(result.z))
		return fallback;
	return result;
}

float Vec3LengthSquared(const glm::vec3 &v)
{
	if (std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z))
		return 0.0f;
	float sum = v.x * v.x + v.y * v.y + v.z * v.z;
	return std::isfinite(sum) ? sum : 0.0f;
}

bool Vec3WithinRadius(const glm::vec3 &v, float radius)
{
	return radius * radius > Vec3LengthSquared(v);
}
