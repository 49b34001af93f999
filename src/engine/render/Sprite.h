#pragma once

#include <cstdint>

#include <glm/glm.hpp>

#include "engine/core/Entity.h"
#include "engine/render/Material.h"

// An entity that draws one textured rectangle: a whole texture or one cell of
// a sprite sheet, tinted, sized and placed by its transform around a pivot.
// Screens, menus and the HUD use sprites for pictures, icons, frames and
// animated cells. All sprites share one unit-square mesh and one mesh
// renderer; a sprite writes its texture rectangle and tint into its material
// right before it draws, so sprites sharing a material each show their own
// cell. The sprite holds one counted use of its material.
class Sprite : public Entity {
public:
	static constexpr uint32_t kDrawModeInterface = 1; // anything else draws in the world

	Sprite();
	// Gives the material back.
	~Sprite() override;

	// Draws on the "shaders/sprite.dsh" material of the texture file, showing
	// the whole texture.
	void SetTexture(const char *name);
	// Takes one more use of a cached material, showing the whole texture.
	void SetMaterial(const Material::Handle &handle);
	const Material::Handle &GetMaterial() const { return material; }

	// Texture coordinates 0..1 of the shown rectangle's edges.
	void SetUVRect(float top, float right, float bottom, float left);
	void ResetFrame() { SetUVRect(0.0f, 1.0f, 1.0f, 0.0f); }
	// One cell of a sheet of columns x rows cells; 0 counts as 1.
	void SetFrame(uint8_t column, uint8_t row, uint8_t columns, uint8_t rows);
	// Cell index counted row by row from the top-left cell.
	void SetFrameIndex(uint8_t index, uint8_t columns, uint8_t rows);

	// The drawn width and height in the units of the transform.
	void SetSize(float width, float height) { size = glm::vec2(width, height); }
	// The point of the rectangle that sits at the transform's position, each
	// component clamped to 0..1: (0, 0) the top-left corner, (0.5, 0.5) the
	// centre.
	void SetPivot(const glm::vec2 &value);
	void SetColor(const glm::vec3 &value);
	// 1 (the default) draws on the interface's logical screen, anything else
	// with the world camera.
	void SetDrawMode(uint32_t value) { drawMode = value; }

	// The material's texture in pixels; (0, 0) without one.
	glm::vec2 GetTextureSize() const;
	// Top, right, bottom, left.
	glm::vec4 GetUVRect() const { return glm::vec4(uvTop, uvRight, uvBottom, uvLeft); }
	const glm::vec2 &GetSize() const { return size; }
	const glm::vec2 &GetPivot() const { return pivot; }
	const glm::vec3 &GetColor() const { return color; }
	// Set by the texture-rectangle and colour setters.
	bool IsChanged() const { return changed; }

	// The matrix the unit quad is drawn with: the transform's, moved by the
	// pivot and scaled to the size.
	glm::mat4 GetModelMatrix() const;

	void Render() override;

private:
	Material::Handle material;
	uint32_t drawMode = kDrawModeInterface;
	bool changed = false;
	float uvTop = 0.0f;
	float uvRight = 1.0f;
	float uvBottom = 1.0f;
	float uvLeft = 0.0f;
	glm::vec2 size = glm::vec2(1.0f);
	glm::vec2 pivot = glm::vec2(0.0f);
	glm::vec3 color = glm::vec3(1.0f);
};
