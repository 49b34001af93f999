// "models/shadow.iqm" and "models/shadow-sq.iqm": the flat quads a map
// entity's shadow is drawn with. Both lie on the ground (z = 0 in the file,
// facing up) across -1..1, so a shadow size of 1 covers two units; the round
// or square look comes from the mask texture ("mats/smask-circ.png",
// "mats/smask-rect.png"), which spans the quad exactly once.
#include "Models.h"

namespace {

constexpr float kHalfSize = 1.0f; // model units from the middle to an edge

bool BuildGroundQuad(const char *name, IqmModel *out, std::string *error)
{
	IqmModel model;
	// Counter-clockwise seen from above, starting at the corner nearest the
	// texture's bottom left; the front edge (-Y) shows the bottom row.
	const float corners[4][2] = {{-kHalfSize, -kHalfSize}, {kHalfSize, -kHalfSize}, {kHalfSize, kHalfSize},
		{-kHalfSize, kHalfSize}};
	const float uvs[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
	for (int i = 0; i < 4; i++) {
		IqmVertex v;
		v.position = {corners[i][0], corners[i][1], 0.0f};
		v.texCoord = {uvs[i][0], uvs[i][1]};
		v.normal = {0, 0, 1};
		model.vertices.push_back(v);
	}
	model.triangles = {{0, 1, 2}, {0, 2, 3}};
	IqmMesh mesh;
	mesh.name = name;
	mesh.material = name;
	mesh.vertexCount = 4;
	mesh.triangleCount = 2;
	model.meshes.push_back(mesh);
	if (WriteIqm(model, error).empty())
		return false;
	*out = std::move(model);
	return true;
}

} // namespace

bool BuildShadow(IqmModel *out, std::string *error)
{
	return BuildGroundQuad("shadow", out, error);
}

bool BuildShadowSquare(IqmModel *out, std::string *error)
{
	return BuildGroundQuad("shadow-sq", out, error);
}
