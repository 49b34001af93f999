#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

class Material;
class Mesh;
class MeshRenderer;

// The model draws of one stretch of the world, kept and then drawn together
// so that draws of one shader and material follow each other. On a software
// rasteriser a change of program, texture or depth state between two draws
// costs far more than drawing a few hundred triangles, and a crowd drawn
// person by person (shadow, body, held item, next person) changes state at
// every draw.
//
// While the batch is open, Queue keeps a draw (its renderer, mesh, matrix and
// tint) instead of drawing it. Flush draws what was kept in three runs: the
// blended decals that lie under other models (shadow blobs, each drawn just
// before its owner) in the order they came; then every draw whose passes all
// write depth, grouped by shader and then by material and in the order they
// came within a group; then the other blended decals (flames) in the order they
// came, over what is behind them. Blended decals test depth but write none. Draws of any other kind (depthless, wireframe, mixed passes)
// are not queued but drawn at once. Every draw that does not go through the
// batch flushes it first, as does a change of draw buffer, so sprites, text,
// particles and the tile map keep their place among the models. The meshes
// must not change between Queue and Flush: models pose in their update, not
// while drawing.
//
// A run of draws that share everything but their meshes and matrices (the
// material, the tint, the projection, which vertex arrays they carry) is
// drawn as one: their vertices are moved into world space and gathered in a
// mesh of the batch's own. The shaders light in model space from the normals
// alone, so the normals are copied unchanged and the picture is the same.
//
// The renderer owns the one batch; the scene opens it round the world's draw
// layers. Main thread only.
class DrawBatch {
public:
	void Open() { open = true; }
	// Flushes, then draws come straight through again.
	void Close();
	bool IsOpen() const { return open; }

	// True when the draw was kept for the next Flush; false when the batch is
	// closed, flushing, or the draw's material cannot wait, and the caller
	// draws it now.
	// underlay marks a decal that lies under other models.
	bool Queue(MeshRenderer &renderer, const Mesh *mesh, const glm::mat4 &model, bool underlay = false);
	// Draws and forgets what was kept. The storage stays for the next frame.
	void Flush();
	// A draw about to happen outside the batch: what was kept goes first.
	void FlushBeforeOtherDraw()
	{
		if (!entries.empty() && !flushing)
			Flush();
	}
	size_t GetQueuedCount() const { return entries.size(); }

	DrawBatch();
	~DrawBatch();
	DrawBatch(const DrawBatch &) = delete;
	DrawBatch &operator=(const DrawBatch &) = delete;

private:
	struct Entry {
		MeshRenderer *renderer;
		const Mesh *mesh;
		glm::mat4 model;
		glm::vec3 tint;
		const Material *material; // the mesh's own or the renderer's default
		uint32_t order;           // arrival, so equal keys keep their order
		uint8_t run;        // kUnderlays, kSolids or kOverlays
	};
	static constexpr uint8_t kUnderlays = 0;
	static constexpr uint8_t kSolids = 1;
	static constexpr uint8_t kOverlays = 2;
	// A mesh that gathers one run of draws, and the renderer that mirrors it.
	struct Gathered;

	// True when the two draws may share one gathered mesh.
	static bool CanShare(const Entry &a, const Entry &b);
	// Draws entries [first, last), all able to share, as one mesh per
	// kMaxEntries vertices and indices.
	void DrawShared(size_t first, size_t last);
	void DrawGathered(size_t first, size_t last);

	std::vector<Entry> entries;
	std::vector<std::unique_ptr<Gathered>> gathered; // reused frame after frame
	size_t gatheredUsed = 0;
	bool open = false;
	bool flushing = false;
};
