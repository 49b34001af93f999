#include "objects/Prop.h"

#include "engine/collision/Collider.h"
#include "objects/PropFurniture.h"

#include <glm/gtc/matrix_transform.hpp>

Prop::Prop(uint32_t entityKind) : MapEntity(entityKind)
{
}

void Prop::Start()
{
	CreateCollider(Collider::kModeStatic, Vec3(0.0f), Vec3(0.0f));
	MapEntity::Start();
	followsGround = 0;
	killable = 0;
}

void Prop::Render()
{
	MapEntity::Render();
	if (model.IsLoaded())
		model.Render(ModelMatrix());
}

void Prop::AddLooks(std::vector<EntityLook> &looks) const
{
	PropFurniture::AddLook(looks, GetKind());
}

void Prop::SetModel(const char *modelName, const char *textureName, float scale)
{
	model.LoadSimple(modelName, scale);
	model.SetMaterial(textureName, kShader);
}

glm::mat4 Prop::ModelMatrix() const
{
	return glm::translate(glm::mat4(1.0f), renderOffset) * transform.GetMatrix();
}
