#include "engine/render/MeshRenderer.h"

#include <glad/gl.h>
#include <glm/gtc/type_ptr.hpp>

#include "engine/core/Log.h"
#include "engine/render/Renderer.h"
#include "engine/render/ShaderPass.h"

namespace {

constexpr uint8_t kMaxPasses = 255;			// pass numbers 0..254
constexpr uint64_t kChecksumSamples = 7;		// bytes sampled across a large array
constexpr uint64_t kChecksumWholeBytes = 8;	// arrays up to this size are sampled byte by byte
constexpr GLuint kAttributeLocationsUsed = 5; // locations 0..4 are disabled after each pass
constexpr float kMillisecondsPerSecond = 1000.0f;

// Where each vertex array goes in the vertex shader.
struct AttributeLayout {
	MeshArray array;
	GLuint location;
	GLint components; // floats per vertex
};
const AttributeLayout kAttributes[] = {
	{kMeshPositions, 0, 3},
	{kMeshUVs, 1, 2},
	{kMeshNormals, 2, 3},
	{kMeshColors, 3, 3},
};

// What a disabled attribute reads: GL's own initial constant, set again in
// case some other code changed it. The shaders take a black colour and a zero
// normal as "the mesh has none".
const glm::vec4 kAbsentAttribute(0.0f, 0.0f, 0.0f, 1.0f);

uint32_t SdlTicks()
{
	return SDL_GetTicks();
}
MeshRenderer::TickFunction g_shaderClock = &SdlTicks;

template <typename T>
uint64_t ByteSize(uint32_t count)
{
	return (uint64_t)count * sizeof(T);
}

}

uint32_t SampledChecksum(const void *data, uint64_t byteSize)
{
	if (data == nullptr)
		return 0;
	const uint8_t *bytes = (const uint8_t *)data;
	uint64_t step = byteSize > kChecksumWholeBytes ? byteSize / kChecksumSamples : 1;
	uint32_t h = 0;
	for (uint64_t i = 0; i < byteSize; i += step)
		h ^= (uint32_t)bytes[i] << (8 * (i % 4));
	return h;
}

bool UploadBuffer(GLBufferRecord &record, uint32_t target, uint64_t byteSize, const void *data, uint64_t version)
{
	record.target = target;
	// An empty array hands nothing over; forgetting the size makes sure its
	// next contents are uploaded whatever their checksum.
	if (byteSize == 0 || data == nullptr) {
		record.size = 0;
		return false;
	}
	bool changed = byteSize != record.size;
	bool created = false;
	if (record.name == 0) {
		glGenBuffers(1, &record.name);
		changed = created = true;
	}
	// The stamp catches every change made through the mesh; the sampled
	// checksum stays as a cheap guard for writes it cannot see.
	if (version != record.version)
		changed = true;
	uint32_t checksum = SampledChecksum(data, byteSize);
	if (checksum != record.checksum)
		changed = true;
	if (!changed)
		return false;

	glBindBuffer(target, record.name);
	if (!created && byteSize == record.size)
		glBufferSubData(target, 0, (GLsizeiptr)byteSize, data);
	else
		glBufferData(target, (GLsizeiptr)byteSize, data, GL_DYNAMIC_DRAW);
	record.size = byteSize;
	record.checksum = checksum;
	record.version = version;
	return true;
}

void ReleaseBuffer(GLBufferRecord &record)
{
	if (record.name != 0)
		glDeleteBuffers(1, &record.name);
	record.name = 0;
	record.size = 0;
	record.checksum = 0;
	record.version = 0;
}

void MeshRenderer::SetClock(TickFunction ticks)
{
	g_shaderClock = ticks != nullptr ? ticks : &SdlTicks;
}

MeshRenderer::MeshRenderer() = default;

MeshRenderer::~MeshRenderer()
{
	if (bufferContext != nullptr && SDL_GL_GetCurrentContext() == bufferContext)
		ReleaseAll();
}

void MeshRenderer::Draw(const Mesh *value, const glm::mat4 &modelMatrix)
{
	model = modelMatrix;
	SetMesh(value);
	DrawMesh();
}

void MeshRenderer::SetMesh(const Mesh *value)
{
	if (value == mesh)
		return;
	Release();
	mesh = value;
}

void MeshRenderer::Release()
{
	for (GLBufferRecord &record : buffers)
		record.size = 0;
}

void MeshRenderer::ReleaseAll()
{
	for (GLBufferRecord &record : buffers)
		ReleaseBuffer(record);
	largestIndex = 0;
}

bool MeshRenderer::Upload(uint32_t vertexCount, uint32_t indexCount)
{
	UploadBuffer(buffers[kMeshPositions], GL_ARRAY_BUFFER, ByteSize<glm::vec3>(vertexCount),
		mesh->GetPositions().data(), mesh->GetVersion(kMeshPositions));
	const uint32_t *indices = mesh->GetIndices().data();
	if (UploadBuffer(buffers[kMeshIndices], GL_ELEMENT_ARRAY_BUFFER, ByteSize<uint32_t>(indexCount), indices,
			mesh->GetVersion(kMeshIndices))) {
		// Scanned as handed over, so the value always describes the bytes
		// that GL would read.
		largestIndex = 0;
		for (uint32_t i = 0; i < indexCount; i++)
			largestIndex = indices[i] > largestIndex ? indices[i] : largestIndex;
	}
	UploadBuffer(buffers[kMeshUVs], GL_ARRAY_BUFFER, ByteSize<glm::vec2>(mesh->GetCount(kMeshUVs)),
		mesh->GetUVs().data(), mesh->GetVersion(kMeshUVs));
	UploadBuffer(buffers[kMeshNormals], GL_ARRAY_BUFFER, ByteSize<glm::vec3>(mesh->GetCount(kMeshNormals)),
		mesh->GetNormals().data(), mesh->GetVersion(kMeshNormals));
	UploadBuffer(buffers[kMeshColors], GL_ARRAY_BUFFER, ByteSize<glm::vec3>(mesh->GetCount(kMeshColors)),
		mesh->GetColors().data(), mesh->GetVersion(kMeshColors));

	// An index past the vertices would make GL read outside the position
	// buffer; such a mesh is not drawn at all.
	if (indexCount > 0 && largestIndex >= vertexCount) {
		if (!reportedBadIndex)
			Log("Mesh index %u points past its %u vertices\n", largestIndex, vertexCount);
		reportedBadIndex = true;
		return false;
	}
	reportedBadIndex = false;
	return true;
}

void MeshRenderer::BindAttributes(uint32_t vertexCount) const
{
	for (const AttributeLayout &attribute : kAttributes) {
		const GLBufferRecord &record = buffers[attribute.array];
		uint64_t needed = (uint64_t)vertexCount * (uint64_t)attribute.components * sizeof(float);
		// A buffer shorter than the positions would be read past its end;
		// the shader gets the constant instead.
		if (record.name != 0 && record.size >= needed) {
			glBindBuffer(GL_ARRAY_BUFFER, record.name);
			glEnableVertexAttribArray(attribute.location);
			glVertexAttribPointer(attribute.location, attribute.components, GL_FLOAT, GL_FALSE, 0, nullptr);
		} else {
			glDisableVertexAttribArray(attribute.location);
			glVertexAttrib4f(attribute.location, kAbsentAttribute.x, kAbsentAttribute.y, kAbsentAttribute.z,
				kAbsentAttribute.w);
		}
	}
	const GLBufferRecord &indexRecord = buffers[kMeshIndices];
	if (indexRecord.name != 0)
		glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexRecord.name);
}

void MeshRenderer::DrawMesh()
{
	if (mesh == nullptr)
		return;
	Renderer *renderer = GetRenderer();
	SDL_GLContext current = SDL_GL_GetCurrentContext();
	if (current == nullptr)
		return;
	// Buffer names mean nothing in another context: start over there, and
	// leave the old ones to the context that owns them.
	if (current != bufferContext) {
		for (GLBufferRecord &record : buffers)
			record = GLBufferRecord();
		bufferContext = current;
		uploadedMesh = nullptr;
	}
	if (mesh != uploadedMesh) {
		uploadedMesh = mesh;
		ReleaseAll();
	}

	Material *material = mesh->GetMaterial().Get();
	if (material == nullptr && renderer != nullptr)
		material = renderer->GetDefaultMaterial();
	glm::mat4 mvp = renderer != nullptr ? renderer->GetMatrix(mode) * model : model;
	glm::vec2 resolution(0.0f);
	if (renderer != nullptr)
		resolution = glm::vec2((float)renderer->GetWindowWidth(), (float)renderer->GetWindowHeight());

	uint32_t vertexCount = mesh->GetVertexCount();
	if (vertexCount == 0)
		return;
	uint32_t indexCount = mesh->GetIndexCount();
	if (!Upload(vertexCount, indexCount) || material == nullptr)
		return;

	glm::vec3 color = material->GetColor() * tint;
	for (uint8_t p = 0; p < kMaxPasses; p++) {
		ShaderPass *pass = material->Bind(p);
		if (pass == nullptr)
			break;
		if (pass->program == 0)
			continue;
		if (renderer != nullptr && pass->renderMode != renderer->GetRenderMode())
			renderer->SetRenderMode(pass->renderMode);

		// Material::Bind has already put the texture on unit 0 for "SAMPLER".
		if (pass->GetUniform(kUniformMVP) >= 0)
			glUniformMatrix4fv(pass->GetUniform(kUniformMVP), 1, GL_FALSE, glm::value_ptr(mvp));
		if (pass->GetUniform(kUniformTime) >= 0)
			glUniform1f(pass->GetUniform(kUniformTime), (float)g_shaderClock() / kMillisecondsPerSecond);
		if (pass->GetUniform(kUniformColor) >= 0)
			glUniform3f(pass->GetUniform(kUniformColor), color.r, color.g, color.b);
		if (pass->GetUniform(kUniformResolution) >= 0)
			glUniform2f(pass->GetUniform(kUniformResolution), resolution.x, resolution.y);
		if (pass->GetUniform(kUniformUVOffset) >= 0)
			glUniform2fv(pass->GetUniform(kUniformUVOffset), 1, glm::value_ptr(material->GetUVOffset()));
		if (pass->GetUniform(kUniformUVScale) >= 0)
			glUniform2fv(pass->GetUniform(kUniformUVScale), 1, glm::value_ptr(material->GetUVScale()));

		BindAttributes(vertexCount);
		if (indexCount > 0)
			glDrawElements(GL_TRIANGLES, (GLsizei)indexCount, GL_UNSIGNED_INT, nullptr);
		else
			glDrawArrays(GL_TRIANGLES, 0, (GLsizei)vertexCount);
		for (GLuint location = 0; location < kAttributeLocationsUsed; location++)
			glDisableVertexAttribArray(location);
	}
}
