#include "engine/render/IqmReader.h"

#include <bit>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include <SDL.h>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/render/IqmFormat.h"
#include "engine/render/Mesh.h"

namespace {

constexpr uint32_t kIqmMaxFileSize = 16777216;	   // bytes (16 MiB) a file may declare

// Animation frames are numbered in 16 bits.
constexpr uint32_t kMaxFrames = 65535;
// Frame matrices made at load time (48 bytes each): far beyond any real model,
// but a file of few bytes cannot make the reader take gigabytes.
constexpr uint64_t kMaxFrameMatrices = 1u << 21;
// The reader shows this many frames per unit of the caller's clock.
constexpr float kFramesPerClockUnit = 30.0f;

using enum IqmField;

// Little-endian values at any alignment: copied out byte for byte, then put
// in host order.
uint32_t ReadU32(const uint8_t *p)
{
	uint32_t value;
	std::memcpy(&value, p, sizeof value);
	if constexpr (std::endian::native == std::endian::big)
		value = __builtin_bswap32(value);
	return value;
}

uint16_t ReadU16(const uint8_t *p)
{
	uint16_t value;
	std::memcpy(&value, p, sizeof value);
	if constexpr (std::endian::native == std::endian::big)
		value = __builtin_bswap16(value);
	return value;
}

int32_t ReadI32(const uint8_t *p)
{
	return std::bit_cast<int32_t>(ReadU32(p));
}

float ReadF32(const uint8_t *p)
{
	return std::bit_cast<float>(ReadU32(p));
}

glm::vec3 ReadVec3(const uint8_t *p)
{
	return glm::vec3(ReadF32(p), ReadF32(p + 4), ReadF32(p + 8));
}

glm::vec4 ReadVec4(const uint8_t *p)
{
	return glm::vec4(ReadF32(p), ReadF32(p + 4), ReadF32(p + 8), ReadF32(p + 12));
}

// IQM space is Z up with the model facing -Y; the engine's is Y up.
glm::vec3 ToEnginePosition(const glm::vec3 &p, float scale)
{
	return glm::vec3(p.x * scale, p.z * scale, -p.y * scale);
}

glm::vec3 ToEngineNormal(const glm::vec3 &n)
{
	return glm::vec3(n.x, n.z, -n.y);
}

// Logs why a file is refused, naming it.
void LogRefusal(const char *path, const char *fmt, ...) TALVEX_PRINTF_FORMAT(2, 3);
void LogRefusal(const char *path, const char *fmt, ...)
{
	constexpr size_t kReasonLength = 160; // characters of a refusal reason
	char reason[kReasonLength];
	va_list args;
	va_start(args, fmt);
	vsnprintf(reason, sizeof reason, fmt, args);
	va_end(args);
	Log("Refused IQM file %s: %s\n", path, reason);
}

}

// ---------------------------------------------------------------------------
// Reading and checking a file

// A whole file in memory: its header fields and a buffer of the declared file
// size, so that file offsets index it directly. The header's own bytes are
// not copied into the buffer (they read as zeros there).
struct IqmReader::FileImage {
	const char *path = nullptr;
	uint32_t header[kIqmHeaderFieldCount] = {};
	std::shared_ptr<std::vector<uint8_t>> data;

	uint32_t Field(IqmField field) const { return header[static_cast<uint32_t>(field)]; }
	// True when count records of recordSize bytes from offset lie inside the
	// buffer. 64-bit sums: no 32-bit field can wrap around.
	bool Holds(uint64_t offset, uint64_t count, uint64_t recordSize) const
	{
		return offset <= data->size() && count * recordSize <= data->size() - offset;
	}
	const uint8_t *At(uint64_t offset) const { return data->data() + offset; }

	// Copies at most maxLength characters of the name at nameOffset in the
	// text block, stopping at its terminator or at the end of the block, and
	// terminates the copy (out holds maxLength + 1 characters). A file without
	// a text block gives empty names. False when the name lies outside the
	// block.
	bool ReadName(uint32_t nameOffset, char *out, uint32_t maxLength) const
	{
		out[0] = '\0';
		uint32_t textCount = Field(kTextCount);
		if (textCount == 0)
			return true;
		if (nameOffset >= textCount)
			return false;
		const char *text = reinterpret_cast<const char *>(At(Field(kTextOffset)));
		uint32_t length = 0;
		while (length < maxLength && nameOffset + length < textCount && text[nameOffset + length] != '\0') {
			out[length] = text[nameOffset + length];
			length++;
		}
		out[length] = '\0';
		return true;
	}
};

bool IqmReader::ReadFile(const char *path, bool animationsOnly, FileImage *file)
{
	file->path = path;
	SDL_RWops *stream = OpenFile(path, "rb");
	if (stream == nullptr) {
		if (animationsOnly)
			Log("Could not open IQM animations file %s: %s\n", path, SDL_GetError());
		else
			Log("Could not open IQM file %s\n", path);
		return false;
	}

	// Every path below ends here, so the stream is closed exactly once.
	auto fail = [stream]() {
		CloseFile(stream);
		return false;
	};

	uint8_t headerBytes[kIqmHeaderSize];
	if (ReadFileData(stream, headerBytes, kIqmHeaderSize, 1) != 1) {
		Log("Could not read IQM header for %s\n", path);
		return fail();
	}
	char magic[kIqmMagicLength + 1];
	std::memcpy(magic, headerBytes, kIqmMagicLength);
	magic[kIqmMagicLength] = '\0';
	if (!NameEquals(magic, kIqmMagic)) {
		Log("Invalid IQM header string %s\n", path);
		return fail();
	}
	for (uint32_t i = 0; i < kIqmHeaderFieldCount; i++)
		file->header[i] = ReadU32(headerBytes + kIqmMagicLength + 4 * i);

	if (file->Field(kVersion) != kIqmVersion) {
		Log("IQM version %d not supported for %s\n", (int)file->Field(kVersion), path);
		return fail();
	}
	uint32_t fileSize = file->Field(kFileSize);
	if (fileSize > kIqmMaxFileSize) {
		if (animationsOnly)
			Log("IQM animations file is too big (>16MB) for %s", path);
		else
			Log("IQM file is too big (>16MB) for %s\n", path);
		return fail();
	}
	if (fileSize < kIqmHeaderSize) {
		LogRefusal(path, "declared size %u is smaller than the header", fileSize);
		return fail();
	}

	file->data = std::make_shared<std::vector<uint8_t>>(fileSize, 0);
	size_t rest = fileSize - kIqmHeaderSize;
	// A file shorter than its declared size fails here: the read comes short.
	if (rest > 0 && ReadFileData(stream, file->data->data() + kIqmHeaderSize, rest, 1) != 1) {
		Log("Could not buffer data from IQM %s", path);
		return fail();
	}
	CloseFile(stream);
	return true;
}

bool IqmReader::CheckMesh(const FileImage &file, ModelPart *part)
{
	const char *path = file.path;
	part->data = file.data;
	part->meshCount = file.Field(kMeshCount);
	part->vertexCount = file.Field(kVertexCount);
	part->triangleCount = file.Field(kTriangleCount);
	part->jointCount = file.Field(kJointCount);
	const uint32_t vertexCount = part->vertexCount;

	if (vertexCount > kIqmMaxVertices) {
		LogRefusal(path, "%u vertices, more than %u", vertexCount, kIqmMaxVertices);
		return false;
	}
	if (part->triangleCount > kIqmMaxTriangles) {
		LogRefusal(path, "%u triangles, more than %u", part->triangleCount, kIqmMaxTriangles);
		return false;
	}

	// Vertex arrays.
	uint32_t arrayCount = file.Field(kVertexArrayCount);
	uint32_t arrayOffset = file.Field(kVertexArrayOffset);
	if (!file.Holds(arrayOffset, arrayCount, kIqmVertexArraySize)) {
		LogRefusal(path, "vertex array table outside the file");
		return false;
	}
	const uint8_t **arrays[kIqmArrayTypeCount] = {&part->positions, &part->texCoords, &part->normals, &part->tangents,
		&part->blendIndexes, &part->blendWeights, &part->colours};
	for (uint32_t i = 0; i < arrayCount; i++) {
		const uint8_t *record = file.At(arrayOffset + (uint64_t)i * kIqmVertexArraySize);
		uint32_t type = ReadU32(record + offsetof(IqmVertexArrayRecord, type));
		uint32_t format = ReadU32(record + offsetof(IqmVertexArrayRecord, format));
		uint32_t size = ReadU32(record + offsetof(IqmVertexArrayRecord, size));
		uint32_t offset = ReadU32(record + offsetof(IqmVertexArrayRecord, offset));
		if (type >= kIqmArrayTypeCount)
			continue;
		const IqmArrayLayout &layout = kIqmArrayLayouts[type];
		if (format != layout.format || size != layout.size) {
			LogRefusal(path, "vertex array %u of type %u has format %u and size %u", i, type, format, size);
			return false;
		}
		uint32_t componentBytes = format == kIqmFormatFloat ? 4 : 1;
		if (!file.Holds(offset, vertexCount, (uint64_t)size * componentBytes)) {
			LogRefusal(path, "vertex array %u outside the file", i);
			return false;
		}
		*arrays[type] = file.At(offset);
	}
	if (vertexCount > 0 && (part->positions == nullptr || part->normals == nullptr || part->texCoords == nullptr)) {
		LogRefusal(path, "positions, normals or texture coordinates missing");
		return false;
	}

	// Triangles.
	uint32_t triangleOffset = file.Field(kTriangleOffset);
	if (!file.Holds(triangleOffset, part->triangleCount, kIqmTriangleSize)) {
		LogRefusal(path, "triangles outside the file");
		return false;
	}
	part->triangles = file.At(triangleOffset);
	for (uint32_t i = 0; i < part->triangleCount * 3; i++) {
		uint32_t index = ReadU32(part->triangles + (uint64_t)i * 4);
		if (index >= vertexCount) {
			LogRefusal(path, "triangle %u names vertex %u of %u", i / 3, index, vertexCount);
			return false;
		}
	}

	// Joints and the bind pose. Parents come before their children, so one
	// pass composes every joint with its finished parent.
	uint32_t jointOffset = file.Field(kJointOffset);
	if (!file.Holds(jointOffset, part->jointCount, kIqmJointSize)) {
		LogRefusal(path, "joints outside the file");
		return false;
	}
	part->jointParents.resize(part->jointCount);
	part->jointTranslates.resize(part->jointCount);
	part->bindPose.resize(part->jointCount);
	part->inverseBindPose.resize(part->jointCount);
	for (uint32_t i = 0; i < part->jointCount; i++) {
		const uint8_t *record = file.At(jointOffset + (uint64_t)i * kIqmJointSize);
		int32_t parent = ReadI32(record + offsetof(IqmJointRecord, parent));
		if (parent >= (int32_t)i) {
			LogRefusal(path, "joint %u has parent %d, not an earlier joint", i, parent);
			return false;
		}
		parent = parent < 0 ? -1 : parent;
		glm::vec3 translate = ReadVec3(record + offsetof(IqmJointRecord, translate));
		Matrix3x4 local = Matrix3x4::FromParts(translate, ReadVec4(record + offsetof(IqmJointRecord, rotate)),
			ReadVec3(record + offsetof(IqmJointRecord, scale)));
		Matrix3x4 inverse;
		if (!local.Invert(&inverse)) {
			LogRefusal(path, "joint %u has a bind pose that cannot be inverted", i);
			return false;
		}
		part->jointParents[i] = parent;
		part->jointTranslates[i] = translate;
		if (parent >= 0) {
			part->bindPose[i] = part->bindPose[parent] * local;
			part->inverseBindPose[i] = inverse * part->inverseBindPose[parent];
		} else {
			part->bindPose[i] = local;
			part->inverseBindPose[i] = inverse;
		}
	}

	// Blend indexes name joints; the skinning reads the first one always and
	// each further one up to the first weight of 0.
	if (part->jointCount > 0 && part->blendIndexes != nullptr && part->blendWeights != nullptr) {
		for (uint32_t v = 0; v < vertexCount; v++) {
			const uint8_t *indexes = part->blendIndexes + (uint64_t)v * kIqmBlendInfluences;
			const uint8_t *weights = part->blendWeights + (uint64_t)v * kIqmBlendInfluences;
			for (uint32_t k = 0; k < kIqmBlendInfluences; k++) {
				if (k > 0 && weights[k] == 0)
					break;
				if (indexes[k] >= part->jointCount) {
					LogRefusal(path, "vertex %u is bound to joint %u of %u", v, indexes[k], part->jointCount);
					return false;
				}
			}
		}
	}
	return true;
}

bool IqmReader::CheckAnimations(const FileImage &file, const ModelPart &model, AnimationPart *part)
{
	const char *path = file.path;
	const uint32_t poseCount = file.Field(kPoseCount);
	const uint32_t frames = file.Field(kFrameCount);
	const uint32_t channelCount = file.Field(kFrameChannelCount);
	const uint32_t animationCount = file.Field(kAnimationCount);
	const uint32_t fileJointCount = file.Field(kJointCount);

	if (poseCount != model.jointCount) {
		LogRefusal(path, "%u poses for a model of %u joints", poseCount, model.jointCount);
		return false;
	}
	if (model.jointCount == 0) {
		LogRefusal(path, "the model has no joints to animate");
		return false;
	}
	if (model.vertexCount > 0 && (model.blendIndexes == nullptr || model.blendWeights == nullptr)) {
		LogRefusal(path, "the model has no blend indexes or weights");
		return false;
	}
	if (frames > kMaxFrames || (uint64_t)frames * poseCount > kMaxFrameMatrices) {
		LogRefusal(path, "%u frames of %u poses are too many", frames, poseCount);
		return false;
	}
	if (!file.Holds(file.Field(kTextOffset), file.Field(kTextCount), 1)) {
		LogRefusal(path, "text outside the file");
		return false;
	}

	// Poses: parents and the channels each one stores per frame.
	uint32_t poseOffset = file.Field(kPoseOffset);
	if (!file.Holds(poseOffset, poseCount, kIqmPoseSize)) {
		LogRefusal(path, "poses outside the file");
		return false;
	}
	uint64_t maskedChannels = 0;
	for (uint32_t j = 0; j < poseCount; j++) {
		const uint8_t *record = file.At(poseOffset + (uint64_t)j * kIqmPoseSize);
		int32_t parent = ReadI32(record + offsetof(IqmPoseRecord, parent));
		if (parent >= (int32_t)j) {
			LogRefusal(path, "pose %u has parent %d, not an earlier pose", j, parent);
			return false;
		}
		maskedChannels += (uint32_t)std::popcount(ReadU32(record + offsetof(IqmPoseRecord, mask)) & kIqmChannelMask);
	}
	if (maskedChannels != channelCount) {
		LogRefusal(path, "poses store %llu channels per frame, the header %u", (unsigned long long)maskedChannels,
			channelCount);
		return false;
	}
	uint32_t frameOffset = file.Field(kFrameOffset);
	if (!file.Holds(frameOffset, (uint64_t)frames * channelCount, kIqmFrameValueSize)) {
		LogRefusal(path, "frame data shorter than %u frames of %u channels", frames, channelCount);
		return false;
	}

	// This file's joint table gives the joint names.
	uint32_t jointOffset = file.Field(kJointOffset);
	if (fileJointCount < poseCount || !file.Holds(jointOffset, fileJointCount, kIqmJointSize)) {
		LogRefusal(path, "joint table of %u joints missing or outside the file", fileJointCount);
		return false;
	}
	part->joints.resize(fileJointCount);
	for (uint32_t i = 0; i < fileJointCount; i++) {
		char name[kModelJointNameLength + 1];
		const uint8_t *record = file.At(jointOffset + (uint64_t)i * kIqmJointSize);
		if (!file.ReadName(ReadU32(record + offsetof(IqmJointRecord, name)), name, kModelJointNameLength)) {
			LogRefusal(path, "joint %u has its name outside the text", i);
			return false;
		}
		std::memcpy(part->joints[i].name, name, kModelJointNameLength);
	}

	// Animations: each a run of one or more frames inside the frame sequence.
	uint32_t animationOffset = file.Field(kAnimationOffset);
	if (!file.Holds(animationOffset, animationCount, kIqmAnimationSize)) {
		LogRefusal(path, "animations outside the file");
		return false;
	}
	part->animations.resize(animationCount);
	for (uint32_t i = 0; i < animationCount; i++) {
		const uint8_t *record = file.At(animationOffset + (uint64_t)i * kIqmAnimationSize);
		uint32_t first = ReadU32(record + offsetof(IqmAnimationRecord, firstFrame));
		uint32_t count = ReadU32(record + offsetof(IqmAnimationRecord, frameCount));
		if (count == 0 || (uint64_t)first + count > frames) {
			LogRefusal(path, "animation %u has frames %u to %u of %u", i, first, first + count, frames);
			return false;
		}
		ModelAnimation &animation = part->animations[i];
		if (!file.ReadName(ReadU32(record + offsetof(IqmAnimationRecord, name)), animation.name, kModelAnimationNameLength)) {
			LogRefusal(path, "animation %u has its name outside the text", i);
			return false;
		}
		animation.firstFrame = (uint16_t)first;
		animation.frameCount = (uint16_t)count;
	}

	// The frame matrices: each pose's local transform, decoded from its
	// channels, taken into the model's bind space so that a joint's matrix
	// moves bind-pose vertices straight to the animated pose.
	part->data = file.data;
	part->frameCount = frames;
	part->animationCount = animationCount;
	part->frameMatrices.resize((size_t)frames * poseCount);
	const uint8_t *stream = file.At(frameOffset);
	for (uint32_t f = 0; f < frames; f++) {
		for (uint32_t j = 0; j < poseCount; j++) {
			const uint8_t *record = file.At(poseOffset + (uint64_t)j * kIqmPoseSize);
			int32_t parent = ReadI32(record + offsetof(IqmPoseRecord, parent));
			uint32_t mask = ReadU32(record + offsetof(IqmPoseRecord, mask));
			float channels[kIqmChannels];
			for (uint32_t k = 0; k < kIqmChannels; k++) {
				channels[k] = ReadF32(record + offsetof(IqmPoseRecord, channelOffset) + 4 * k);
				if (mask & (1u << k)) {
					channels[k] += ReadU16(stream) * ReadF32(record + offsetof(IqmPoseRecord, channelScale) + 4 * k);
					stream += kIqmFrameValueSize;
				}
			}
			Matrix3x4 local = Matrix3x4::FromParts(glm::vec3(channels[0], channels[1], channels[2]),
				glm::vec4(channels[3], channels[4], channels[5], channels[6]),
				glm::vec3(channels[7], channels[8], channels[9]));
			Matrix3x4 &out = part->frameMatrices[(size_t)f * poseCount + j];
			if (parent >= 0)
				out = model.bindPose[parent] * local * model.inverseBindPose[j];
			else
				out = local * model.inverseBindPose[j];
		}
	}
	return true;
}

// ---------------------------------------------------------------------------
// Loading

bool IqmReader::Load(const char *path)
{
	FileImage file;
	if (!ReadFile(path, false, &file))
		return false;

	ModelPart fresh;
	bool readMesh = file.Field(kMeshCount) != 0;
	if (readMesh && (model.data != nullptr || !CheckMesh(file, &fresh))) {
		Log("Could load IQM mesh for %s", path);
		return false;
	}
	const ModelPart &target = readMesh ? fresh : model;
	AnimationPart animationPart;
	bool readAnimations = file.Field(kAnimationCount) != 0;
	if (readAnimations && !CheckAnimations(file, target, &animationPart)) {
		Log("Could load IQM animation for %s", path);
		return false;
	}

	// Everything checked: only now does the reader change.
	if (readMesh) {
		model = std::move(fresh);
		pose.Reset(model.jointCount);
		poseBoundsMeasured = false;
	}
	if (readAnimations)
		TakeAnimations(animationPart);
	return true;
}

bool IqmReader::LoadAnimations(const char *path)
{
	FileImage file;
	if (!ReadFile(path, true, &file))
		return false;
	if (file.Field(kAnimationCount) == 0)
		return true;
	AnimationPart animationPart;
	if (!CheckAnimations(file, model, &animationPart)) {
		Log("Could load IQM animation for %s", path);
		return false;
	}
	TakeAnimations(animationPart);
	return true;
}

void IqmReader::TakeAnimations(AnimationPart &part)
{
	animationData = std::move(part.data);
	poseBoundsMeasured = false;
	frameCount = part.frameCount;
	animationCount = part.animationCount;
	frameMatrices = std::move(part.frameMatrices);

	// Records listed before keep their place and their loop flags, so the
	// game's settings survive a new animation file.
	size_t kept = animations.size();
	animations.resize(part.animations.size());
	for (size_t i = 0; i < animations.size(); i++) {
		ModelAnimation &animation = animations[i];
		animation.firstFrame = part.animations[i].firstFrame;
		animation.frameCount = part.animations[i].frameCount;
		std::memcpy(animation.name, part.animations[i].name, sizeof animation.name);
		if (i >= kept)
			animation.loop = 0;
	}
	joints.resize(part.joints.size());
	for (size_t i = 0; i < joints.size(); i++)
		std::memcpy(joints[i].name, part.joints[i].name, kModelJointNameLength);
}

// ---------------------------------------------------------------------------
// Posing

bool IqmReader::PrepareMesh(Mesh *mesh) const
{
	if (mesh == nullptr)
		return false;
	uint32_t vertexCount = model.vertexCount;
	// The bind pose, indexes and UVs go in only when the mesh is not this
	// model's yet; every later call rewrites positions and normals alone.
	if (mesh->GetPositions().size() != vertexCount || mesh->GetNormals().size() != vertexCount ||
		mesh->GetUVs().size() != vertexCount || mesh->GetIndices().size() != (size_t)model.triangleCount * 3)
		CopyBindPose(mesh);
	return frameCount != 0 && !frameMatrices.empty();
}

float IqmReader::FrameTime(const float *time)
{
	float clock = time != nullptr ? *time : 0.0f;
	float t = clock * kFramesPerClockUnit;
	return std::isfinite(t) ? t : 0.0f;
}

void IqmReader::BuildMesh(Mesh *mesh, const float *time, const ModelAnimation *current,
	const ModelAnimation *previous, float blend)
{
	if (!PrepareMesh(mesh))
		return;
	PoseJoints(time, current, previous, blend);
	SkinVertices(mesh, pose);
}

void IqmReader::BuildMeshKeepingJoints(Mesh *mesh, const float *time, const ModelAnimation *current,
	const ModelAnimation *previous, float blend)
{
	if (!PrepareMesh(mesh) || model.jointCount == 0)
		return;
	skinOnlyPose.Animate(FrameTime(time), OwnsAnimation(current) ? current : nullptr,
		OwnsAnimation(previous) ? previous : nullptr, blend, frameMatrices, frameCount, model.jointParents);
	SkinVertices(mesh, skinOnlyPose);
}

void IqmReader::PoseJoints(const float *time, const ModelAnimation *current, const ModelAnimation *previous,
	float blend)
{
	if (frameCount == 0 || frameMatrices.empty())
		return;
	AnimateJoints(FrameTime(time), OwnsAnimation(current) ? current : nullptr,
		OwnsAnimation(previous) ? previous : nullptr, blend);
}

void IqmReader::CopyBindPose(Mesh *mesh) const
{
	uint32_t vertexCount = model.vertexCount;
	// A mesh of this vertex count would keep its stale arrays: empty it first.
	if (mesh->GetPositions().size() == vertexCount)
		mesh->SetVertexCount(0);
	mesh->SetVertexCount((uint16_t)vertexCount);
	mesh->SetIndexCount((uint16_t)(model.triangleCount * 3));

	uint32_t *indices = mesh->EditIndices();
	for (uint32_t i = 0; i < model.triangleCount * 3; i++)
		indices[i] = ReadU32(model.triangles + (uint64_t)i * 4);
	if (vertexCount == 0)
		return;
	glm::vec3 *outPositions = mesh->EditPositions();
	glm::vec3 *outNormals = mesh->EditNormals();
	glm::vec2 *outUVs = mesh->EditUVs();
	for (uint32_t v = 0; v < vertexCount; v++) {
		outPositions[v] = ToEnginePosition(ReadVec3(model.positions + (uint64_t)v * 12), scale);
		outNormals[v] = ToEngineNormal(ReadVec3(model.normals + (uint64_t)v * 12));
		const uint8_t *uv = model.texCoords + (uint64_t)v * 8;
		outUVs[v] = glm::vec2(ReadF32(uv), ReadF32(uv + 4));
	}
}

void IqmReader::AnimateJoints(float t, const ModelAnimation *current, const ModelAnimation *previous, float blend)
{
	if (frameCount == 0 || model.jointCount == 0)
		return;
	pose.Animate(t, current, previous, blend, frameMatrices, frameCount, model.jointParents);
	for (uint32_t i = 0; i < model.jointCount; i++)
		UpdateJointRecord(i);
}

void IqmReader::UpdateJointRecord(uint32_t joint)
{
	if (joint >= joints.size())
		return;
	int32_t parent = model.jointParents[joint];
	glm::vec3 origin = model.jointTranslates[joint];
	if (parent >= 0)
		origin = model.bindPose[parent].TransformPoint(origin);
	glm::vec3 moved = pose.Joint(joint).TransformPoint(origin);
	glm::vec4 q = pose.Joint(joint).ToQuaternion();

	Transform &transform = joints[joint].transform;
	transform.position = ToEnginePosition(moved, scale);
	// The same axis change as for positions: IQM y becomes engine -z.
	transform.rotation = glm::quat(q.w, q.x, q.z, -q.y);
}

template <bool kNormals, typename Emit>
void IqmReader::SkinEach(const SkeletalPose &skeleton, Emit &&emit) const
{
	// Vertices come a face at a time, and a face's corners mostly share one
	// binding: its blended matrix and normal rows are kept while they do.
	Matrix3x4 w;
	glm::vec3 normalRows[3];
	const uint8_t *boundIndexes = nullptr; // the binding w was blended for
	const uint8_t *boundWeights = nullptr;
	for (uint32_t v = 0; v < model.vertexCount; v++) {
		const uint8_t *indexes = model.blendIndexes + (uint64_t)v * kIqmBlendInfluences;
		const uint8_t *weights = model.blendWeights + (uint64_t)v * kIqmBlendInfluences;
		if (boundIndexes == nullptr || std::memcmp(indexes, boundIndexes, kIqmBlendInfluences) != 0 ||
			std::memcmp(weights, boundWeights, kIqmBlendInfluences) != 0) {
			w = skeleton.SkinMatrix(indexes, weights);
			if constexpr (kNormals)
				w.CofactorRows(normalRows);
			boundIndexes = indexes;
			boundWeights = weights;
		}
		glm::vec3 position = ToEnginePosition(w.TransformPoint(ReadVec3(model.positions + (uint64_t)v * 12)), scale);
		if constexpr (kNormals)
			emit(v, position, ToEngineNormal(Matrix3x4::ApplyRows(normalRows, ReadVec3(model.normals + (uint64_t)v * 12))));
		else
			emit(v, position);
	}
}

void IqmReader::SkinVertices(Mesh *mesh, const SkeletalPose &skeleton) const
{
	if (model.vertexCount == 0)
		return;
	glm::vec3 *outPositions = mesh->EditPositions();
	glm::vec3 *outNormals = mesh->EditNormals();
	SkinEach<true>(skeleton, [outPositions, outNormals](uint32_t v, const glm::vec3 &position, const glm::vec3 &normal) {
		outPositions[v] = position;
		outNormals[v] = normal;
	});
}

// ---------------------------------------------------------------------------
// Bounds

bool IqmReader::GetPoseBounds(glm::vec3 &low, glm::vec3 &high)
{
	if (!poseBoundsMeasured)
		MeasurePoseBounds();
	if (poseLow.x > poseHigh.x)
		return false;
	low = poseLow;
	high = poseHigh;
	return true;
}

void IqmReader::MeasurePoseBounds()
{
	poseBoundsMeasured = true;
	poseLow = glm::vec3(0.0f);
	poseHigh = glm::vec3(-1.0f);
	if (model.vertexCount == 0 || model.positions == nullptr)
		return;
	// Positions alone, straight into the box: the same sums as the posed
	// meshes' positions, without their normals or a mesh to hold them.
	auto take = [this](uint32_t, const glm::vec3 &p) {
		poseLow = glm::min(poseLow, p);
		poseHigh = glm::max(poseHigh, p);
	};
	poseLow = poseHigh = ToEnginePosition(ReadVec3(model.positions), scale);
	for (uint32_t v = 0; v < model.vertexCount; v++)
		take(v, ToEnginePosition(ReadVec3(model.positions + (uint64_t)v * 12), scale));
	if (frameCount == 0 || frameMatrices.empty() || model.jointCount == 0)
		return;
	// Each frame posed on a skeleton of its own, so the joints that held
	// items read stay as the last update left them.
	SkeletalPose framePose;
	for (uint32_t f = 0; f < frameCount; f++) {
		framePose.Animate((float)f, nullptr, nullptr, 0.0f, frameMatrices, frameCount, model.jointParents);
		SkinEach<false>(framePose, take);
	}
}
