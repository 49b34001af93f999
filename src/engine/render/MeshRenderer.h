#pragma once

#include <cstdint>

#include <SDL.h>
#include <glm/glm.hpp>

#include "engine/render/Mesh.h"

// The GL mirror of one mesh array.
struct GLBufferRecord {
	uint32_t name = 0;	   // GL buffer name; 0 = none yet
	uint64_t size = 0;	   // bytes last handed to the buffer; 0 = unknown
	uint32_t target = 0;   // GL_ARRAY_BUFFER or GL_ELEMENT_ARRAY_BUFFER
	uint32_t checksum = 0; // sampled checksum of the bytes last uploaded; 0 = none
	uint64_t version = 0;  // the mesh array's change stamp at the last upload
};

// Hands the data to the record's buffer unless the buffer already holds it:
// it uploads when the byte size, the change stamp or a sampled checksum of a
// few bytes differs from what the record saw last. The buffer is refilled in
// place while the size stays and reallocated when it changes. Nothing is made
// or uploaded for an empty array; its size is then forgotten. Returns true
// when bytes were handed to GL.
bool UploadBuffer(GLBufferRecord &record, uint32_t target, uint64_t byteSize, const void *data, uint64_t version);
// Deletes the record's buffer when it has one; name, size, checksum and stamp
// become 0. Needs the context the buffer was made in.
void ReleaseBuffer(GLBufferRecord &record);
// The sampled checksum: about seven bytes spread over the data, each shifted
// by its position within a 32-bit word.
uint32_t SampledChecksum(const void *data, uint64_t byteSize);

// Draws a Mesh with its material (the renderer's default material when it has
// none), a model matrix and a colour tint. It owns the GL buffers that mirror
// the mesh's arrays, and re-uploads an array only when it changed, so text,
// sprites, posed models and the tile map may rebuild their meshes freely.
// Every drawing object holds one. The mesh is not owned; drawing a different
// mesh deletes the buffers of the previous one. Attribute locations: 0
// position, 1 texture coordinate, 2 normal, 3 colour. An array shorter than
// the positions is left disabled, so the shader reads GL's constant (0, 0, 0,
// 1) for it instead of reading past the buffer, and a mesh whose indices point
// past its vertices is not drawn. Main thread, between the renderer's frame
// begin and end.
class MeshRenderer {
public:
	MeshRenderer();
	// Deletes the buffers when the context they were made in is current;
	// otherwise they went, or will go, with that context.
	virtual ~MeshRenderer();
	MeshRenderer(const MeshRenderer &) = delete;
	MeshRenderer &operator=(const MeshRenderer &) = delete;

	// 1 projects with the renderer's interface matrix (the 600 x 360
	// logical screen), anything else with the world camera's.
	void SetMode(uint32_t value) { mode = value; }
	uint32_t GetMode() const { return mode; }
	// Multiplied component by component into the material colour.
	void SetTint(const glm::vec3 &value) { tint = value; }
	const glm::vec3 &GetTint() const { return tint; }
	const glm::mat4 &GetModel() const { return model; }

	// Keeps the model matrix and the mesh, then draws it.
	void Draw(const Mesh *mesh, const glm::mat4 &modelMatrix);
	// A different mesh from the stored one forgets the buffer sizes.
	void SetMesh(const Mesh *value);
	// Forgets the buffer sizes, so the next draw hands every non-empty array
	// to GL again; the buffers stay.
	void Release();
	// Draws the stored mesh with the stored matrix, once per shader pass.
	void DrawMesh();

	// The clock, in milliseconds, that the "TIME" uniform is read from; null
	// gives back SDL's tick counter. Tests hold it still to compare two
	// pictures of moving flames.
	using TickFunction = uint32_t (*)();
	static void SetClock(TickFunction ticks);

	const Mesh *GetMesh() const { return mesh; }
	const GLBufferRecord &GetBuffer(MeshArray array) const { return buffers[array < kMeshArrayCount ? array : 0]; }

private:
	void ReleaseAll();
	// Re-uploads what changed; false when the mesh must not be drawn.
	bool Upload(uint32_t vertexCount, uint32_t indexCount);
	void BindAttributes(uint32_t vertexCount) const;

	uint32_t mode = 0;
	glm::vec3 tint = glm::vec3(1.0f);
	glm::mat4 model = glm::mat4(1.0f);
	const Mesh *mesh = nullptr;
	GLBufferRecord buffers[kMeshArrayCount];
	const Mesh *uploadedMesh = nullptr;
	// The largest index the index buffer holds, scanned when it is uploaded.
	uint32_t largestIndex = 0;
	bool reportedBadIndex = false; // logged once until the mesh draws again
	// The context the buffers live in; names from another are meaningless.
	SDL_GLContext bufferContext = nullptr;
};
