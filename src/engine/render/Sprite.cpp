#include "engine/render/Sprite.h"

#include <memory>

#include <glm/gtc/matrix_transform.hpp>

#include "engine/core/MathUtil.h"
#include "engine/render/Mesh.h"
#include "engine/render/MeshRenderer.h"
#include "engine/render/Texture.h"

namespace {

constexpr const char *kSpriteShader = "shaders/sprite.dsh";

// The unit quad every sprite draws and the renderer that draws it, made by
// the first sprite drawn and kept until the process ends.
struct SharedQuad {
	MeshRenderer renderer;
	Mesh mesh;

	SharedQuad()
	{
		mesh.AddQuad(glm::vec3(0.0f), glm::vec3(1.0f, 1.0f, 0.0f), glm::vec2(0.0f), glm::vec2(1.0f), glm::vec3(1.0f));
	}
};

SharedQuad &GetSharedQuad()
{
	static std::unique_ptr<SharedQuad> shared = std::make_unique<SharedQuad>();
	return *shared;
}

// A cell count of 0 stands for a sheet of one.
uint8_t AtLeastOne(uint8_t count)
{
	return count == 0 ? 1 : count;
}

}

Sprite::Sprite()
{
	drawLayer = kInterfaceLayer;
}

Sprite::~Sprite()
{
	Material::Release(material);
}

void Sprite::SetTexture(const char *name)
{
	Material::Release(material);
	material = Material::Get(name, kSpriteShader);
	ResetFrame();
}

void Sprite::SetMaterial(const Material::Handle &handle)
{
	Material::Release(material);
	material = Material::Share(handle);
	ResetFrame();
}

void Sprite::SetUVRect(float top, float right, float bottom, float left)
{
	uvTop = top;
	uvRight = right;
	uvBottom = bottom;
	uvLeft = left;
	changed = true;
}

void Sprite::SetFrame(uint8_t column, uint8_t row, uint8_t columns, uint8_t rows)
{
	float across = (float)AtLeastOne(columns);
	float down = (float)AtLeastOne(rows);
	SetUVRect((float)row / down, (float)(column + 1) / across, (float)(row + 1) / down, (float)column / across);
}

void Sprite::SetFrameIndex(uint8_t index, uint8_t columns, uint8_t rows)
{
	uint8_t across = AtLeastOne(columns);
	SetFrame((uint8_t)(index % across), (uint8_t)(index / across), across, AtLeastOne(rows));
}

void Sprite::SetPivot(const glm::vec2 &value)
{
	pivot = glm::vec2(Clamp01(value.x), Clamp01(value.y));
}

void Sprite::SetColor(const glm::vec3 &value)
{
	color = value;
	changed = true;
}

glm::vec2 Sprite::GetTextureSize() const
{
	const Texture *texture = material.IsValid() ? material.Get()->GetTexture() : nullptr;
	if (texture == nullptr)
		return glm::vec2(0.0f);
	return glm::vec2((float)texture->GetWidth(), (float)texture->GetHeight());
}

glm::mat4 Sprite::GetModelMatrix() const
{
	glm::mat4 matrix = transform.GetMatrix();
	matrix = glm::translate(matrix, glm::vec3(-pivot.x * size.x, -pivot.y * size.y, 0.0f));
	return glm::scale(matrix, glm::vec3(size.x, size.y, 1.0f));
}

void Sprite::Render()
{
	SharedQuad &shared = GetSharedQuad();
	shared.renderer.SetMode(drawMode);
	Material *object = material.Get();
	// The material may be shared with other sprites: these values hold only
	// until the next holder writes its own, which is why they go in now.
	if (object != nullptr) {
		object->SetUVOffset(uvLeft, uvTop);
		object->SetUVScale(uvRight - uvLeft, uvBottom - uvTop);
		object->SetColor(color);
	}
	shared.mesh.SetMaterialDirect(object);
	shared.renderer.Draw(&shared.mesh, GetModelMatrix());
}
