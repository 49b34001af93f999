#include "objects/EntityLook.h"

#include "engine/render/Material.h"
#include "engine/render/Model3D.h"

void EntityLook::PrepareModel() const
{
	if (!model.empty())
		Model3D::Prepare(model.c_str(), animations.c_str());
}

void EntityLook::PrepareMaterial() const
{
	if (!texture.empty())
		Material::Release(Material::Get(texture.c_str(), ShaderName()));
}

const char *EntityLook::ShaderName() const
{
	return shader.empty() ? nullptr : shader.c_str();
}

void EntityLook::Add(std::vector<EntityLook> &looks, const char *model, const char *texture, const char *shader)
{
	AddAnimated(looks, model, model, texture, shader);
}

void EntityLook::AddAnimated(std::vector<EntityLook> &looks, const char *model, const char *animations,
	const char *texture, const char *shader)
{
	if (model == nullptr)
		return;
	looks.push_back({model, animations != nullptr ? animations : model, texture != nullptr ? texture : "",
		shader != nullptr ? shader : ""});
}
