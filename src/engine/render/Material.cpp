#include "engine/render/Material.h"

#include <glad/gl.h>

#include <vector>

#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/render/Shader.h"
#include "engine/render/Texture.h"

namespace {

constexpr const char *kDefaultShaderName = "shaders/standard.dsh";
constexpr const char *kSolidColorShaderName = "mats/color.dsh";
constexpr const char *kShaderOnlyKeyName = "SHADER";
constexpr const char *kSolidColorKeyName = "C";
constexpr float kColorByteScale = 255.0f; // a colour byte of 255 is full intensity

// The cache never deletes what it holds, so every material put into it is
// also kept here and freed only when the process ends. Built before the cache
// is first used, this list outlives it.
std::vector<std::unique_ptr<Material>> &OwnedMaterials()
{
	static std::vector<std::unique_ptr<Material>> owned;
	return owned;
}

CacheMap<Material> &Cache()
{
	OwnedMaterials();
	return CacheMap<Material>::GetInstance();
}

// Caches a new material under the key; the material is freed at once when
// the key is already taken, and the cached one is returned either way.
const Material::Handle &InsertAndFind(uint16_t cacheKey, std::unique_ptr<Material> material)
{
	if (Cache().Insert(cacheKey, material.get()))
		OwnedMaterials().push_back(std::move(material));
	return Cache().Find(cacheKey);
}

const Material::Handle &NullHandle()
{
	static const Material::Handle nullHandle;
	return nullHandle;
}

glm::vec3 UnpackRGB(uint32_t rgb)
{
	return glm::vec3((float)((rgb >> 16) & 0xFF), (float)((rgb >> 8) & 0xFF), (float)(rgb & 0xFF)) / kColorByteScale;
}

}

const Material::Handle &Material::Build(uint16_t cacheKey, const char *textureName, const char *shaderName)
{
	std::unique_ptr<Material> material = std::make_unique<Material>();
	material->SetShader(shaderName);
	uint16_t hash = HashName(textureName);
	if (hash != material->textureHash) {
		material->texture = std::make_shared<Texture>(textureName);
		material->textureHash = hash;
	}
	material->key = cacheKey;
	return InsertAndFind(cacheKey, std::move(material));
}

const Material::Handle &Material::Get(const char *textureName, const char *shaderName)
{
	if (shaderName == nullptr)
		shaderName = kDefaultShaderName;
	uint16_t cacheKey = (uint16_t)(HashName(textureName) + HashName(shaderName));
	const Handle &cached = Cache().Find(cacheKey);
	if (cached.IsValid())
		return cached;
	return Build(cacheKey, textureName, shaderName);
}

const Material::Handle &Material::GetShaderOnly(const char *shaderName)
{
	if (shaderName == nullptr)
		shaderName = kDefaultShaderName;
	uint16_t cacheKey = (uint16_t)(HashName(kShaderOnlyKeyName) + HashName(shaderName));
	const Handle &cached = Cache().Find(cacheKey);
	if (cached.IsValid())
		return cached;
	return Build(cacheKey, nullptr, shaderName);
}

const Material::Handle &Material::GetSolidColor(uint32_t rgb)
{
	uint16_t cacheKey = (uint16_t)(HashName(kSolidColorKeyName) + rgb);
	const Handle &cached = Cache().Find(cacheKey);
	if (cached.IsValid())
		return cached;
	const Handle &built = Build(cacheKey, nullptr, kSolidColorShaderName);
	built.Get()->SetColorRGB(rgb);
	return built;
}

const Material::Handle &Material::Share(const Handle &handle)
{
	return Cache().Share(handle);
}

const Material::Handle &Material::Clone(const Handle &handle)
{
	if (!handle.IsValid()) {
		Log("Invalid source material\n");
		return NullHandle();
	}
	const Material *source = handle.Get();
	std::unique_ptr<Material> copy = std::make_unique<Material>();
	copy->shaderHash = source->shaderHash;
	copy->textureHash = source->textureHash;
	copy->color = source->color;
	copy->shader = source->shader;
	copy->texture = source->texture;
	uint16_t cacheKey = Cache().NextFreeKey(handle);
	copy->key = cacheKey;
	return InsertAndFind(cacheKey, std::move(copy));
}

bool Material::Release(const Handle &handle)
{
	return Cache().Release(handle);
}

void Material::SetShader(const char *name)
{
	uint16_t hash = HashName(name);
	if (hash != shaderHash) {
		shader = Shader::Get(name);
		shaderHash = hash;
	}
	key = (uint16_t)(textureHash + shaderHash);
}

void Material::SetShaderDirect(Shader *direct)
{
	shader = direct;
	shaderHash = 0;
	key = textureHash;
}

void Material::SetColorRGB(uint32_t rgb)
{
	color = UnpackRGB(rgb);
}

uint32_t Material::GetTextureId() const
{
	return texture != nullptr ? texture->GetId() : 0;
}

ShaderPass *Material::Bind(uint8_t passIndex)
{
	if (shader == nullptr)
		return nullptr;
	ShaderPass *pass = shader->GetPass(passIndex);
	if (pass == nullptr)
		return nullptr;
	glUseProgram(pass->program);
	uint32_t textureId = GetTextureId();
	int32_t sampler = pass->GetUniform(kUniformSampler);
	if (textureId != 0 && sampler >= 0) {
		glActiveTexture(GL_TEXTURE0);
		glBindTexture(GL_TEXTURE_2D, textureId);
		glUniform1i(sampler, 0);
	}
	return pass;
}
