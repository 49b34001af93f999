#include "objects/Shadow.h"

#include "map/TileMap.h"
#include "objects/EntityLook.h"
#include "objects/MapEntity.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

constexpr const char *kShadowShader = "shaders/shadow.dsh";
constexpr const char *kRoundMask = "mats/smask-circ.png";
constexpr const char *kRoundModel = "models/shadow.iqm";
constexpr const char *kSquareMask = "mats/smask-rect.png";
constexpr const char *kSquareModel = "models/shadow-sq.iqm";
// Blobs at the same height are lifted by up to this much, varying with z, so
// that overlapping ones do not fight in the depth buffer.
constexpr float kDepthSpread = 0.005f;

} // namespace

Shadow::Shadow(MapEntity *owner) : owner(owner)
{
	SetShape(kShapeCircle);
}

Shadow::~Shadow()
{
	Material::Release(material);
}

void Shadow::AddLook(std::vector<EntityLook> &looks, uint32_t shape)
{
	const bool square = shape == kShapeRectangle;
	EntityLook::Add(looks, square ? kSquareModel : kRoundModel, square ? kSquareMask : kRoundMask, kShadowShader);
}

void Shadow::SetShape(uint32_t shape)
{
	const bool square = shape == kShapeRectangle;
	const char *mask = square ? kSquareMask : kRoundMask;
	Material::Release(material);
	material = Material::Get(mask, kShadowShader);
	model.LoadSimple(square ? kSquareModel : kRoundModel, 1.0f);
	model.SetMaterialHandle(Material::Share(material));
}

glm::mat4 Shadow::ComputeMatrix(float size) const
{
	Vec3 position = owner->transform.position;
	// Without a map there is no ground: the blob lies at the owner's feet.
	float ground = owner->map != nullptr ? owner->map->HeightAt(position) : position.y;
	position.y = Min(ground, position.y) + heightOffset - std::fmod(position.z, kDepthSpread);
	glm::mat4 matrix = glm::translate(glm::mat4(1.0f), position);
	return glm::scale(matrix, Vec3(size * aspect, size, size));
}

void Shadow::Draw(float size)
{
	if (owner == nullptr || !IsActiveMapEntity(owner))
		return;
	model.Render(ComputeMatrix(size));
}
