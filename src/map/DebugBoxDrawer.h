#pragma once

#include "engine/core/MathUtil.h"
#include "engine/render/Material.h"
#include "engine/render/Mesh.h"
#include "engine/render/MeshRenderer.h"

class Collider;
class Scene;
class TileMap;
struct MapObjectDef;

// A development aid that outlines boxes over the 3D scene: the collision box
// of every active entity of a scene with a small marker in front of it where
// it faces, or the rectangle of a map object, so that collision and trigger
// areas can be seen while working on maps. No screen of the game uses it in
// play. It owns its mesh, mesh renderer and material, and draws only between
// the renderer's frame begin and end.
class DebugBoxDrawer {
public:
	static constexpr const char *kShaderName = "shaders/standard.dsh";
	// Full size of the facing marker's box, world units.
	static constexpr float kMarkerSize = 0.2f;
	// How high above an entity's position its facing marker floats.
	static constexpr float kMarkerHeight = 1.0f;
	// Height of a map object's outline, world units.
	static constexpr float kMapObjectHeight = 2.0f;
	// Width of the strips that draw a box's edges, world units.
	static constexpr float kEdgeWidth = 0.04f;

	DebugBoxDrawer();

	DebugBoxDrawer(const DebugBoxDrawer &) = delete;
	DebugBoxDrawer &operator=(const DebugBoxDrawer &) = delete;

	// Outlines the axis-aligned box of full extents size centred on centre,
	// in wireframe mode; the renderer's render mode is put back afterwards.
	void DrawBox(const Vec3 &centre, const Vec3 &size);
	// Rebuilds the collider's box from its owner and outlines it.
	void DrawCollider(Collider &collider);
	// Outlines the tile rectangle of a map object, kMapObjectHeight high.
	void DrawMapObject(const TileMap &tileMap, const MapObjectDef &object);
	// Outlines the colliders of the scene's active entities, each with its
	// facing marker.
	void DrawScene(const Scene &scene);

	// The geometry of the latest box, for inspection.
	const Mesh &GetMesh() const { return mesh; }

private:
	// Puts the outline of the box into the mesh: each of its twelve edges as
	// two crossed strips, so it reads as lines from any side whether the
	// shader's pass fills triangles or draws their edges.
	void BuildOutline(const Vec3 &centre, const Vec3 &size);

	Mesh mesh;
	MeshRenderer renderer;
	Material material;
};
