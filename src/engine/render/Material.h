#pragma once
#include <cstdint>
#include <memory>

#include <glm/glm.hpp>

#include "engine/core/CacheMap.h"

class Shader;
class ShaderPass;
class Texture;

// One texture paired with one multipass shader, plus the colour and
// texture-coordinate transform that drawing sends to the shader. Materials are
// shared: every request for the same texture and shader names returns the one
// object from CacheMap<Material>, and holders keep a CacheHandle that they give
// back with Release. A cached material lives until the process ends, so a
// change to its colour or UV fields reaches every holder. The shader belongs to
// the shader table; the texture is created by the material and shared only
// with its clones.
class Material {
public:
	using Handle = CacheHandle<Material>;

	// The cached material of the texture and shader names, with one user
	// counted for the caller; shaderName null means "shaders/standard.dsh".
	// A texture that fails to load still yields a material (texture id 0).
	static const Handle &Get(const char *textureName, const char *shaderName);
	// The same without a texture.
	static const Handle &GetShaderOnly(const char *shaderName);
	// A plain colour on "mats/color.dsh"; rgb is packed 0xRRGGBB.
	static const Handle &GetSolidColor(uint32_t rgb);
	// One more user of a cached material; the null handle when not cached.
	static const Handle &Share(const Handle &handle);
	// A new cached material with the source's shader, texture and colour, and
	// UV offset and scale at their defaults, under the first free key after
	// the source's. The null handle (logged) when the source is invalid.
	static const Handle &Clone(const Handle &handle);
	static bool Release(const Handle &handle);

	// Fetches the named shader unless it is the one already set; the key is
	// recomputed either way.
	void SetShader(const char *name);
	// For materials outside the cache (the renderer's own): no shader name.
	void SetShaderDirect(Shader *shader);
	void SetColor(const glm::vec3 &value) { color = value; }
	void SetColorRGB(uint32_t rgb);
	void SetUVOffset(float u, float v) { uvOffset = glm::vec2(u, v); }
	void SetUVScale(float u, float v) { uvScale = glm::vec2(u, v); }

	// Uses pass passIndex's program and binds the texture to unit 0 when the
	// pass samples one. Null, binding nothing, when the material has no shader
	// or the shader no such pass: drawing walks passes until it gets null.
	ShaderPass *Bind(uint8_t passIndex);

	Texture *GetTexture() const { return texture.get(); }
	// 0 when there is no texture or it failed to load.
	uint32_t GetTextureId() const;
	Shader *GetShader() const { return shader; }
	uint16_t GetKey() const { return key; }
	uint16_t GetShaderHash() const { return shaderHash; }
	uint16_t GetTextureHash() const { return textureHash; }
	const glm::vec3 &GetColor() const { return color; }
	const glm::vec2 &GetUVOffset() const { return uvOffset; }
	const glm::vec2 &GetUVScale() const { return uvScale; }

private:
	static const Handle &Build(uint16_t cacheKey, const char *textureName, const char *shaderName);

	uint16_t key = 0;
	uint16_t shaderHash = 0;
	uint16_t textureHash = 0;
	glm::vec3 color = glm::vec3(1.0f);
	glm::vec2 uvOffset = glm::vec2(0.0f);
	glm::vec2 uvScale = glm::vec2(1.0f);
	Shader *shader = nullptr;
	// Shared rather than owned outright because clones draw with their
	// source's texture: whichever material goes last frees it.
	std::shared_ptr<Texture> texture;
};
