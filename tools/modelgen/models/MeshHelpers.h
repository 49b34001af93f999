#pragma once
// Small building steps that several model descriptions share.
#include "../IqmWriter.h"
#include "../ModelBuilder.h"

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cstdint>
#include <string>
#include <utility>

namespace mesh {

// Appends one vertex; a zero normal becomes +Z.
inline void AddVertex(IqmModel &model, const glm::vec3 &p, const glm::vec2 &uv, const glm::vec3 &normal)
{
	IqmVertex v;
	v.position = {p.x, p.y, p.z};
	v.texCoord = {uv.x, uv.y};
	const glm::vec3 n = glm::length(normal) > 0.0f ? glm::normalize(normal) : glm::vec3(0, 0, 1);
	v.normal = {n.x, n.y, n.z};
	model.vertices.push_back(v);
}

// A ring bound wholly to one joint.
inline RingBinding On(int joint)
{
	return {joint, -1, 0.0f};
}

inline glm::quat Turn(float degrees, const glm::vec3 &axis)
{
	constexpr float kPi = 3.14159265358979f;
	return glm::angleAxis(degrees * kPi / 180.0f, axis);
}

// A tapered box from its bottom rectangle to its top one, all on one joint.
inline void AddBox(ModelBuilder *b, glm::vec3 bottom, glm::vec2 bottomHalf, glm::vec3 top, glm::vec2 topHalf,
	const BoxSkin &skin, int joint)
{
	BoxShape box;
	box.bottom = bottom;
	box.bottomHalf = bottomHalf;
	box.top = top;
	box.topHalf = topHalf;
	box.skin = skin;
	box.bottomRing = box.topRing = On(joint);
	b->AddBox(box);
}

// Wraps the whole of model in one mesh named (and textured) after name and
// hands it out once it passes the writer's checks.
inline bool Finish(const char *name, IqmModel &model, IqmModel *out, std::string *error)
{
	IqmMesh mesh;
	mesh.name = name;
	mesh.material = name;
	mesh.vertexCount = (uint32_t)model.vertices.size();
	mesh.triangleCount = (uint32_t)model.triangles.size();
	model.meshes.push_back(mesh);
	if (WriteIqm(model, error).empty())
		return false;
	*out = std::move(model);
	return true;
}

} // namespace mesh
