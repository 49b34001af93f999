#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

class Mesh;
class MeshRenderer;

// The model draws of one stretch of the world, kept and then drawn together
// so that draws of one shader and texture follow each other. On a software
// rasteriser a change of program, texture or depth state between two draws
// costs far more than drawing a few hundred triangles, and a crowd drawn
// person by person (shadow, body, held item, next person) changes state at
// every draw.
//
// While the batch is open, Queue keeps a draw (its renderer, mesh, matrix and
// tint) instead of drawing it. Flush draws what was kept: first every draw
// whose passes all write depth, grouped by shader and texture and in the
// order they came within a group, then the blended decals (passes that test
// depth but write none: shadows, flames) in the order they came, over what
// they lie on. Draws of any other kind (depthless, wireframe, mixed passes)
// are not queued but drawn at once. Every draw that does not go through the
// batch flushes it first, as does a change of draw buffer, so sprites, text,
// particles and the tile map keep their place among the models. The meshes
// must not change between Queue and Flush: models pose in their update, not
// while drawing.
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
	bool Queue(MeshRenderer &renderer, const Mesh *mesh, const glm::mat4 &model);
	// Draws and forgets what was kept. The storage stays for the next frame.
	void Flush();
	// A draw about to happen outside the batch: what was kept goes first.
	void FlushBeforeOtherDraw()
	{
		if (!entries.empty() && !flushing)
			Flush();
	}
	size_t GetQueuedCount() const { return entries.size(); }

private:
	struct Entry {
		MeshRenderer *renderer;
		const Mesh *mesh;
		glm::mat4 model;
		glm::vec3 tint;
		const void *shader; // grouping key, with the texture
		uint32_t texture;
		uint32_t order;     // arrival, so equal keys keep their order
		bool decal;         // drawn after the rest, in arrival order
	};

	std::vector<Entry> entries;
	bool open = false;
	bool flushing = false;
};
