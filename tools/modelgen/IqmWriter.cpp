#include "IqmWriter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

// A channel whose values over all frames stay within this much of each other
// is stored once in the pose instead of in every frame.
constexpr float kConstantChannelTolerance = 1e-5f;
constexpr float kMaxQuantised = 65535.0f; // largest 16-bit frame value
constexpr uint32_t kMaxBlendJoints = 256; // blend indexes are bytes

// Little-endian output whatever the host: every value is put byte by byte.
class ByteSink {
public:
	uint32_t Size() const { return (uint32_t)bytes.size(); }
	void PutU8(uint8_t v) { bytes.push_back(v); }
	void PutU16(uint16_t v)
	{
		PutU8((uint8_t)(v & 0xff));
		PutU8((uint8_t)(v >> 8));
	}
	void PutU32(uint32_t v)
	{
		for (int shift = 0; shift < 32; shift += 8)
			PutU8((uint8_t)((v >> shift) & 0xff));
	}
	void PutI32(int32_t v) { PutU32((uint32_t)v); }
	void PutF32(float v)
	{
		uint32_t bits;
		std::memcpy(&bits, &v, sizeof bits);
		PutU32(bits);
	}
	void PutBytes(const void *data, size_t count)
	{
		const auto *p = static_cast<const uint8_t *>(data);
		bytes.insert(bytes.end(), p, p + count);
	}
	void Align4()
	{
		while (bytes.size() % 4 != 0)
			PutU8(0);
	}
	void PatchU32(uint32_t at, uint32_t v)
	{
		for (int i = 0; i < 4; i++)
			bytes[at + i] = (uint8_t)((v >> (8 * i)) & 0xff);
	}
	std::vector<uint8_t> Take() { return std::move(bytes); }

private:
	std::vector<uint8_t> bytes;
};

// The text block: NUL-terminated names, each stored once, with offset 0 the
// empty name so that an unnamed record points at it.
class TextTable {
public:
	TextTable() { text.push_back('\0'); }
	uint32_t Add(const std::string &name)
	{
		if (name.empty())
			return 0;
		auto found = offsets.find(name);
		if (found != offsets.end())
			return found->second;
		uint32_t at = (uint32_t)text.size();
		text.insert(text.end(), name.begin(), name.end());
		text.push_back('\0');
		offsets[name] = at;
		return at;
	}
	const std::vector<char> &Bytes() const { return text; }

private:
	std::vector<char> text;
	std::map<std::string, uint32_t> offsets;
};

static bool Fail(std::string *error, const std::string &why)
{
	if (error != nullptr)
		*error = why;
	return false;
}

static bool NameIsClean(const std::string &name)
{
	return name.find('\0') == std::string::npos;
}

static bool TransformIsFinite(const IqmTransform &t)
{
	for (float v : t.translate)
		if (!std::isfinite(v))
			return false;
	for (float v : t.rotate)
		if (!std::isfinite(v))
			return false;
	for (float v : t.scale)
		if (!std::isfinite(v))
			return false;
	return true;
}

static bool CheckModel(const IqmModel &model, std::string *error)
{
	const size_t vertexCount = model.vertices.size();
	const size_t jointCount = model.joints.size();
	if (vertexCount > kIqmMaxVertices)
		return Fail(error, "too many vertices: " + std::to_string(vertexCount));
	if (model.triangles.size() > kIqmMaxTriangles)
		return Fail(error, "too many triangles: " + std::to_string(model.triangles.size()));
	if (jointCount > kMaxBlendJoints)
		return Fail(error, "too many joints for byte blend indexes: " + std::to_string(jointCount));
	for (size_t i = 0; i < model.triangles.size(); i++)
		for (uint32_t index : model.triangles[i])
			if (index >= vertexCount)
				return Fail(error, "triangle " + std::to_string(i) + " names vertex " + std::to_string(index));
	for (size_t i = 0; i < model.meshes.size(); i++) {
		const IqmMesh &mesh = model.meshes[i];
		if (!NameIsClean(mesh.name) || !NameIsClean(mesh.material))
			return Fail(error, "mesh " + std::to_string(i) + " has a NUL in its name");
		if ((uint64_t)mesh.firstVertex + mesh.vertexCount > vertexCount ||
			(uint64_t)mesh.firstTriangle + mesh.triangleCount > model.triangles.size())
			return Fail(error, "mesh " + std::to_string(i) + " reaches past the vertices or triangles");
	}
	for (size_t i = 0; i < vertexCount; i++) {
		const IqmVertex &v = model.vertices[i];
		for (float c : v.position)
			if (!std::isfinite(c))
				return Fail(error, "vertex " + std::to_string(i) + " has a position that is not finite");
		if (jointCount == 0)
			continue;
		int total = 0;
		for (uint32_t k = 0; k < kIqmBlendInfluences; k++) {
			total += v.blendWeights[k];
			if (v.blendWeights[k] != 0 && v.blendIndexes[k] >= jointCount)
				return Fail(error, "vertex " + std::to_string(i) + " is bound to joint " +
					std::to_string(v.blendIndexes[k]));
		}
		if (total != (int)kIqmWholeWeight)
			return Fail(error, "vertex " + std::to_string(i) + " has blend weights adding up to " +
				std::to_string(total));
	}
	for (size_t i = 0; i < jointCount; i++) {
		const IqmJoint &joint = model.joints[i];
		if (!NameIsClean(joint.name))
			return Fail(error, "joint " + std::to_string(i) + " has a NUL in its name");
		if (joint.parent < -1 || joint.parent >= (int32_t)i)
			return Fail(error, "joint " + joint.name + " has a parent that does not come before it");
		if (!TransformIsFinite(joint.bind))
			return Fail(error, "joint " + joint.name + " has a bind pose that is not finite");
	}
	if (!model.animations.empty() && jointCount == 0)
		return Fail(error, "animations without joints");
	if (model.frames.size() != (size_t)model.frameCount * jointCount)
		return Fail(error, "frame poses: " + std::to_string(model.frames.size()) + " for " +
			std::to_string(model.frameCount) + " frames of " + std::to_string(jointCount) + " joints");
	for (const IqmTransform &t : model.frames)
		if (!TransformIsFinite(t))
			return Fail(error, "a frame pose is not finite");
	for (const IqmAnimation &anim : model.animations) {
		if (!NameIsClean(anim.name) || anim.name.empty())
			return Fail(error, "an animation needs a name without NUL");
		if (anim.frameCount == 0)
			return Fail(error, "animation " + anim.name + " has no frames");
		if ((uint64_t)anim.firstFrame + anim.frameCount > model.frameCount)
			return Fail(error, "animation " + anim.name + " reaches past the last frame");
	}
	return true;
}

// One pose record of the file: which channels vary, and how a 16-bit frame
// value maps back to a float (offset + value × scale).
struct PoseChannels {
	uint32_t mask = 0;
	float offset[kIqmChannels] = {};
	float scale[kIqmChannels] = {};
};

static float ChannelValue(const IqmTransform &t, uint32_t channel)
{
	if (channel < 3)
		return t.translate[channel];
	if (channel < 7)
		return t.rotate[channel - 3];
	return t.scale[channel - 7];
}

static PoseChannels MeasurePose(const IqmModel &model, size_t joint)
{
	PoseChannels pose;
	const size_t jointCount = model.joints.size();
	for (uint32_t k = 0; k < kIqmChannels; k++) {
		float low = ChannelValue(model.frames[joint], k), high = low;
		for (uint32_t f = 1; f < model.frameCount; f++) {
			float v = ChannelValue(model.frames[f * jointCount + joint], k);
			low = std::min(low, v);
			high = std::max(high, v);
		}
		pose.offset[k] = low;
		if (high - low > kConstantChannelTolerance) {
			pose.mask |= 1u << k;
			pose.scale[k] = (high - low) / kMaxQuantised;
		}
	}
	return pose;
}

static uint16_t Quantise(float v, float offset, float scale)
{
	float q = std::round((v - offset) / scale);
	return (uint16_t)std::clamp(q, 0.0f, kMaxQuantised);
}

std::vector<uint8_t> WriteIqm(const IqmModel &model, std::string *error)
{
	if (!CheckModel(model, error))
		return {};

	IqmHeader header{};
	std::memcpy(header.magic, kIqmMagic, sizeof header.magic);
	header.version = kIqmVersion;

	TextTable text;
	std::vector<uint32_t> meshNames, meshMaterials, jointNames, animNames;
	for (const IqmMesh &mesh : model.meshes) {
		meshNames.push_back(text.Add(mesh.name));
		meshMaterials.push_back(text.Add(mesh.material));
	}
	for (const IqmJoint &joint : model.joints)
		jointNames.push_back(text.Add(joint.name));
	for (const IqmAnimation &anim : model.animations)
		animNames.push_back(text.Add(anim.name));

	ByteSink out;
	for (uint32_t i = 0; i < kIqmHeaderSize; i++)
		out.PutU8(0); // patched at the end

	header.textCount = (uint32_t)text.Bytes().size();
	header.textOffset = out.Size();
	out.PutBytes(text.Bytes().data(), text.Bytes().size());
	out.Align4();

	if (!model.meshes.empty()) {
		header.meshCount = (uint32_t)model.meshes.size();
		header.meshOffset = out.Size();
		for (size_t i = 0; i < model.meshes.size(); i++) {
			const IqmMesh &mesh = model.meshes[i];
			out.PutU32(meshNames[i]);
			out.PutU32(meshMaterials[i]);
			out.PutU32(mesh.firstVertex);
			out.PutU32(mesh.vertexCount);
			out.PutU32(mesh.firstTriangle);
			out.PutU32(mesh.triangleCount);
		}
	}

	if (!model.vertices.empty()) {
		std::vector<uint32_t> plan = {kIqmPosition, kIqmTexCoord, kIqmNormal};
		if (!model.joints.empty()) {
			plan.push_back(kIqmBlendIndexes);
			plan.push_back(kIqmBlendWeights);
		}
		if (model.withColours)
			plan.push_back(kIqmColour);

		header.vertexCount = (uint32_t)model.vertices.size();
		header.vertexArrayCount = (uint32_t)plan.size();
		header.vertexArrayOffset = out.Size();
		std::vector<uint32_t> arrayOffsetAt;
		for (uint32_t type : plan) {
			out.PutU32(type);
			out.PutU32(0); // flags
			out.PutU32(kIqmArrayLayouts[type].format);
			out.PutU32(kIqmArrayLayouts[type].size);
			arrayOffsetAt.push_back(out.Size());
			out.PutU32(0); // offset, patched below
		}
		for (size_t a = 0; a < plan.size(); a++) {
			out.Align4();
			out.PatchU32(arrayOffsetAt[a], out.Size());
			for (const IqmVertex &v : model.vertices) {
				switch (plan[a]) {
				case kIqmPosition:
					for (float c : v.position)
						out.PutF32(c);
					break;
				case kIqmTexCoord:
					for (float c : v.texCoord)
						out.PutF32(c);
					break;
				case kIqmNormal:
					for (float c : v.normal)
						out.PutF32(c);
					break;
				case kIqmBlendIndexes:
					out.PutBytes(v.blendIndexes.data(), kIqmBlendInfluences);
					break;
				case kIqmBlendWeights:
					out.PutBytes(v.blendWeights.data(), kIqmBlendInfluences);
					break;
				case kIqmColour:
					out.PutBytes(v.colour.data(), 4);
					break;
				}
			}
		}
		out.Align4();
	}

	if (!model.triangles.empty()) {
		header.triangleCount = (uint32_t)model.triangles.size();
		header.triangleOffset = out.Size();
		for (const auto &tri : model.triangles)
			for (uint32_t index : tri)
				out.PutU32(index);
	}

	if (!model.joints.empty()) {
		header.jointCount = (uint32_t)model.joints.size();
		header.jointOffset = out.Size();
		for (size_t i = 0; i < model.joints.size(); i++) {
			const IqmJoint &joint = model.joints[i];
			out.PutU32(jointNames[i]);
			out.PutI32(joint.parent);
			for (float c : joint.bind.translate)
				out.PutF32(c);
			for (float c : joint.bind.rotate)
				out.PutF32(c);
			for (float c : joint.bind.scale)
				out.PutF32(c);
		}
	}

	if (!model.animations.empty()) {
		std::vector<PoseChannels> poses;
		for (size_t j = 0; j < model.joints.size(); j++)
			poses.push_back(MeasurePose(model, j));

		header.poseCount = (uint32_t)poses.size();
		header.poseOffset = out.Size();
		for (size_t j = 0; j < poses.size(); j++) {
			out.PutI32(model.joints[j].parent);
			out.PutU32(poses[j].mask);
			for (float v : poses[j].offset)
				out.PutF32(v);
			for (float v : poses[j].scale)
				out.PutF32(v);
			header.frameChannelCount += (uint32_t)std::popcount(poses[j].mask);
		}

		header.animationCount = (uint32_t)model.animations.size();
		header.animationOffset = out.Size();
		for (size_t i = 0; i < model.animations.size(); i++) {
			const IqmAnimation &anim = model.animations[i];
			out.PutU32(animNames[i]);
			out.PutU32(anim.firstFrame);
			out.PutU32(anim.frameCount);
			out.PutF32(anim.frameRate);
			out.PutU32(anim.loop ? kIqmAnimLoop : 0);
		}

		header.frameCount = model.frameCount;
		header.frameOffset = out.Size();
		const size_t jointCount = model.joints.size();
		for (uint32_t f = 0; f < model.frameCount; f++) {
			for (size_t j = 0; j < jointCount; j++) {
				const IqmTransform &t = model.frames[f * jointCount + j];
				for (uint32_t k = 0; k < kIqmChannels; k++)
					if (poses[j].mask & (1u << k))
						out.PutU16(Quantise(ChannelValue(t, k), poses[j].offset[k], poses[j].scale[k]));
			}
		}
		out.Align4();
	}

	header.fileSize = out.Size();
	std::vector<uint8_t> bytes = out.Take();
	std::memcpy(bytes.data(), header.magic, sizeof header.magic);
	const auto *fields = reinterpret_cast<const uint8_t *>(&header) + sizeof header.magic;
	for (uint32_t i = 0; i < kIqmHeaderFieldCount; i++) {
		uint32_t v;
		std::memcpy(&v, fields + i * sizeof v, sizeof v);
		for (int b = 0; b < 4; b++)
			bytes[sizeof header.magic + i * 4 + b] = (uint8_t)((v >> (8 * b)) & 0xff);
	}
	return bytes;
}

bool SaveIqm(const IqmModel &model, const std::string &path, std::string *error)
{
	std::vector<uint8_t> bytes = WriteIqm(model, error);
	if (bytes.empty())
		return false;
	const std::string temp = path + ".part";
	{
		std::ofstream file(temp, std::ios::binary | std::ios::trunc);
		if (!file)
			return Fail(error, "cannot create " + temp);
		file.write(reinterpret_cast<const char *>(bytes.data()), (std::streamsize)bytes.size());
		file.flush();
		if (!file) {
			file.close();
			std::remove(temp.c_str());
			return Fail(error, "cannot write " + temp);
		}
	}
	std::error_code failure;
	std::filesystem::rename(temp, path, failure);
	if (failure) {
		std::remove(temp.c_str());
		return Fail(error, "cannot replace " + path + ": " + failure.message());
	}
	return true;
}

bool DecodeIqmHeader(const std::vector<uint8_t> &bytes, IqmHeader *header)
{
	if (bytes.size() < kIqmHeaderSize)
		return false;
	std::memcpy(header->magic, bytes.data(), sizeof header->magic);
	auto *fields = reinterpret_cast<uint8_t *>(header) + sizeof header->magic;
	for (uint32_t i = 0; i < kIqmHeaderFieldCount; i++) {
		const uint8_t *p = bytes.data() + sizeof header->magic + i * 4;
		uint32_t v = (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
		std::memcpy(fields + i * sizeof v, &v, sizeof v);
	}
	return true;
}
