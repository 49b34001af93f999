#include "objects/PropFurniture.h"

#include "engine/collision/Collider.h"
#include "objects/EntityLook.h"
#include "objects/Prop.h"
#include "objects/Shadow.h"

namespace {

constexpr int32_t kSolid = Collider::kModeStatic;
constexpr int32_t kTouch = Collider::kModeTrigger;
const Vec3 kDefaultBox(0.0f);

// Kinds, as the map places them.
const FurnitureSetup kFurniture[] = {
	{9, 1.0f, "models/hut.iqm", "models/hut.png", 1.0f, kSolid, Vec3(2.1f, 1.0f, 1.2f), Vec3(0.0f), 0.0f,
	 FurnitureSetup::kSquareShadow, 3.75f, 0.0f, 1.3f},
	{10, 1.1f, "models/table.iqm", "mats/wooddarkb.png", 1.0f, kSolid, Vec3(1.2f, 1.0f, 1.5f), Vec3(0.0f, 0.25f, 0.0f),
	 0.0f, FurnitureSetup::kSquareShadow, 3.0f, 0.0f, 1.0f},
	{11, 1.1f, "models/shelf.iqm", "mats/shelf.png", 1.0f, kSolid, kDefaultBox, kDefaultBox, 0.0f,
	 FurnitureSetup::kSquareShadow, 2.0f, 0.0f, 1.0f},
	{12, 1.0f, "models/cupboard.iqm", "mats/wooddarkb.png", 1.0f, kSolid, kDefaultBox, kDefaultBox, 0.0f,
	 FurnitureSetup::kNoShadow, 0.0f, 0.0f, 1.0f},
	{13, 1.0f, "models/bench.iqm", "mats/wooddarkb.png", 1.0f, kSolid, Vec3(2.0f), Vec3(0.0f, 0.25f, 0.0f), 0.0f,
	 FurnitureSetup::kNoShadow, 0.0f, 0.0f, 1.0f},
	{14, 1.0f, "models/bed.iqm", "mats/bed.png", 1.0f, kSolid, Vec3(1.5f, 0.75f, 2.0f), Vec3(0.0f), 0.0f,
	 FurnitureSetup::kSquareShadow, 2.9f, 0.0f, 1.0f},
	// The scroll's texture, scale and box depend on its name.
	{15, 1.0f, "models/scroll.iqm", "mats/scroll.png", 0.7f, kTouch, Vec3(1.9f), Vec3(0.0f), 0.0f,
	 FurnitureSetup::kNoShadow, 0.0f, 0.0f, 1.0f},
	{18, 0.72f, "models/sign.iqm", "mats/woodboard.png", 1.0f, kSolid, kDefaultBox, kDefaultBox, 0.0f,
	 FurnitureSetup::kRoundShadow, 0.5f, 0.0f, 1.0f},
	{19, 1.1f, "models/plank.iqm", "mats/wooddarkb.png", 1.0f, kSolid, Vec3(2.0f, 0.2f, 2.0f), Vec3(0.0f, 2.0f, 0.0f),
	 1000.0f, FurnitureSetup::kSquareShadow, 2.0f, 0.02f, 1.0f},
	{59, 1.1f, "models/roof.iqm", "mats/woodboard.png", 1.0f, kSolid, Vec3(2.0f, 0.2f, 2.0f), Vec3(0.0f), 1000.0f,
	 FurnitureSetup::kSquareShadow, 2.0f, 0.02f, 1.0f},
};

} // namespace

const FurnitureSetup *PropFurniture::Find(uint32_t kind)
{
	for (const FurnitureSetup &row : kFurniture) {
		if (row.kind == kind)
			return &row;
	}
	return nullptr;
}

void PropFurniture::AddLook(std::vector<EntityLook> &looks, uint32_t kind, const char *modelName,
	const char *textureName)
{
	const FurnitureSetup *row = Find(kind);
	if (row == nullptr)
		return;
	EntityLook::Add(looks, modelName != nullptr ? modelName : row->model,
		textureName != nullptr ? textureName : row->texture, Prop::kShader);
	if (row->shadowShape == FurnitureSetup::kSquareShadow)
		Shadow::AddLook(looks, Shadow::kShapeRectangle);
}

void PropFurniture::SetUp(Prop &prop, const char *modelName, const char *textureName, float scale)
{
	const FurnitureSetup *row = Find(prop.GetKind());
	if (row == nullptr) {
		prop.Prop::Start();
		return;
	}
	prop.radius = row->radius;
	prop.Prop::Start();
	prop.SetModel(modelName != nullptr ? modelName : row->model, textureName != nullptr ? textureName : row->texture,
		scale > 0.0f ? scale : row->scale);
	prop.CreateCollider(static_cast<uint32_t>(row->colliderMode), row->colliderSize, row->colliderOffset);
	if (row->colliderWeight > 0.0f)
		prop.collider->weight = row->colliderWeight;
	prop.followsGround = 0;
	prop.killable = 0;
	if (row->shadowShape == FurnitureSetup::kNoShadow)
		return;
	prop.shadowSize = row->shadowSize;
	prop.shadow->SetShape(row->shadowShape == FurnitureSetup::kSquareShadow ? Shadow::kShapeRectangle : Shadow::kShapeCircle);
	if (row->shadowLift > 0.0f)
		prop.shadow->heightOffset = row->shadowLift;
	prop.shadow->aspect = row->shadowStretch;
}
