#pragma once
// A small writer of IQM version 2 files for tests that need model and
// animation files of their own, with the byte offsets of every section, so
// that a test can corrupt exactly the field it means to. Sections are packed
// without padding after a text block of odd length, so every array after it
// sits at an odd offset: a reader that loads values through misaligned
// pointers trips the sanitizers.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/render/IqmFormat.h"

#include <glm/glm.hpp>

namespace iqmtest {

constexpr float kQuantSteps = 65535.0f;

// Header fields in file order, after the 16-byte magic: the reader's own list.
using Field = IqmField;
using enum IqmField;

inline size_t FieldAt(Field field)
{
	return IqmFieldOffset(field);
}

// A joint's place relative to its parent; rotate is a quaternion x, y, z, w.
struct Pose {
	glm::vec3 translate = glm::vec3(0.0f);
	glm::vec4 rotate = glm::vec4(0, 0, 0, 1);
	glm::vec3 scale = glm::vec3(1.0f);
};

struct Joint {
	std::string name;
	int32_t parent = -1;
	Pose bind;
};

struct Vertex {
	glm::vec3 position = glm::vec3(0.0f);
	glm::vec2 uv = glm::vec2(0.0f);
	glm::vec3 normal = glm::vec3(0, 0, 1);
	std::array<uint8_t, 4> indexes = {0, 0, 0, 0};
	std::array<uint8_t, 4> weights = {255, 0, 0, 0};
};

struct Animation {
	std::string name;
	uint32_t first = 0;
	uint32_t count = 0;
};

// A whole file. Without vertices it carries only a skeleton and animations.
struct Model {
	std::vector<Vertex> vertices;
	std::vector<std::array<uint32_t, 3>> triangles;
	bool withBlendArrays = true;
	std::vector<Joint> joints;
	std::vector<Animation> animations;
	uint32_t frameCount = 0;
	std::vector<Pose> frames; // frameCount x joints, frame by frame
};

// Where each section of a written file starts.
struct Layout {
	uint32_t text = 0;
	uint32_t vertexArrays = 0; // 20-byte records: type, flags, format, size, offset
	uint32_t triangles = 0;
	uint32_t blendIndexes = 0;
	uint32_t joints = 0;	 // 48-byte records
	uint32_t poses = 0;		 // 88-byte records
	uint32_t animations = 0; // 20-byte records
	uint32_t frames = 0;
};

inline void PutU32(std::vector<uint8_t> &bytes, size_t at, uint32_t value)
{
	for (int i = 0; i < 4; i++)
		bytes[at + i] = (uint8_t)(value >> (8 * i));
}

inline uint32_t GetU32(const std::vector<uint8_t> &bytes, size_t at)
{
	uint32_t value = 0;
	for (int i = 0; i < 4; i++)
		value |= (uint32_t)bytes[at + i] << (8 * i);
	return value;
}

inline void PutF32(std::vector<uint8_t> &bytes, size_t at, float value)
{
	uint32_t bits;
	std::memcpy(&bits, &value, 4);
	PutU32(bytes, at, bits);
}

class Writer {
public:
	void U8(uint8_t v) { bytes.push_back(v); }
	void U16(uint16_t v)
	{
		U8((uint8_t)v);
		U8((uint8_t)(v >> 8));
	}
	void U32(uint32_t v)
	{
		for (int i = 0; i < 4; i++)
			U8((uint8_t)(v >> (8 * i)));
	}
	void F32(float v)
	{
		uint32_t bits;
		std::memcpy(&bits, &v, 4);
		U32(bits);
	}
	uint32_t Size() const { return (uint32_t)bytes.size(); }
	std::vector<uint8_t> bytes;
};

inline float Channel(const Pose &pose, uint32_t k)
{
	if (k < 3)
		return pose.translate[(int)k];
	if (k < 7)
		return pose.rotate[(int)(k - 3)];
	return pose.scale[(int)(k - 7)];
}

// The file's bytes; the layout of its sections in *layout when given.
inline std::vector<uint8_t> Write(const Model &model, Layout *layout = nullptr)
{
	Layout at;
	Writer w;
	w.bytes.resize(kIqmHeaderSize, 0);

	// Text: a leading empty name, then every name; one spare byte keeps the
	// block's length odd.
	at.text = w.Size();
	w.U8(0);
	auto addName = [&w](const std::string &name) {
		uint32_t offset = w.Size();
		for (char c : name)
			w.U8((uint8_t)c);
		w.U8(0);
		return offset;
	};
	std::vector<uint32_t> jointNames, animationNames;
	for (const Joint &joint : model.joints)
		jointNames.push_back(addName(joint.name) - at.text);
	for (const Animation &animation : model.animations)
		animationNames.push_back(addName(animation.name) - at.text);
	if ((w.Size() - at.text) % 2 == 0)
		w.U8(0);
	uint32_t textCount = w.Size() - at.text;

	const uint32_t vertexCount = (uint32_t)model.vertices.size();
	const bool withMesh = vertexCount > 0;
	uint32_t meshOffset = 0, arrayCount = 0;
	if (withMesh) {
		meshOffset = w.Size();
		w.U32(0); // name
		w.U32(0); // material
		w.U32(0);
		w.U32(vertexCount);
		w.U32(0);
		w.U32((uint32_t)model.triangles.size());

		// The record of each array (type, flags, format, size, offset); the
		// data follows the table.
		std::vector<uint32_t> types = {kIqmPosition, kIqmTexCoord, kIqmNormal};
		if (model.withBlendArrays) {
			types.push_back(kIqmBlendIndexes);
			types.push_back(kIqmBlendWeights);
		}
		arrayCount = (uint32_t)types.size();
		at.vertexArrays = w.Size();
		w.bytes.resize(w.Size() + kIqmVertexArraySize * arrayCount, 0);
		for (uint32_t i = 0; i < arrayCount; i++) {
			const uint32_t type = types[i];
			size_t record = at.vertexArrays + kIqmVertexArraySize * i;
			PutU32(w.bytes, record + offsetof(IqmVertexArrayRecord, type), type);
			PutU32(w.bytes, record + offsetof(IqmVertexArrayRecord, format), kIqmArrayLayouts[type].format);
			PutU32(w.bytes, record + offsetof(IqmVertexArrayRecord, size), kIqmArrayLayouts[type].size);
			PutU32(w.bytes, record + offsetof(IqmVertexArrayRecord, offset), w.Size());
			for (const Vertex &v : model.vertices) {
				switch (type) {
				case kIqmPosition:
					for (int c = 0; c < 3; c++)
						w.F32(v.position[c]);
					break;
				case kIqmTexCoord:
					w.F32(v.uv.x);
					w.F32(v.uv.y);
					break;
				case kIqmNormal:
					for (int c = 0; c < 3; c++)
						w.F32(v.normal[c]);
					break;
				case kIqmBlendIndexes:
					for (uint8_t b : v.indexes)
						w.U8(b);
					break;
				case kIqmBlendWeights:
					for (uint8_t b : v.weights)
						w.U8(b);
					break;
				}
			}
			if (type == kIqmBlendIndexes)
				at.blendIndexes = GetU32(w.bytes, record + offsetof(IqmVertexArrayRecord, offset));
		}
		at.triangles = w.Size();
		for (const auto &triangle : model.triangles)
			for (uint32_t index : triangle)
				w.U32(index);
	}

	at.joints = w.Size();
	for (size_t i = 0; i < model.joints.size(); i++) {
		const Joint &joint = model.joints[i];
		w.U32(jointNames[i]);
		w.U32((uint32_t)joint.parent);
		for (uint32_t k = 0; k < kIqmChannels; k++)
			w.F32(Channel(joint.bind, k));
	}

	// Poses: a channel that changes over the frames is stored per frame as
	// a 16-bit step between its smallest and largest value.
	const uint32_t jointCount = (uint32_t)model.joints.size();
	uint32_t channelCount = 0;
	std::vector<std::array<float, kIqmChannels>> offsets(jointCount), scales(jointCount);
	std::vector<uint32_t> masks(jointCount, 0);
	bool animated = !model.animations.empty();
	if (animated) {
		at.poses = w.Size();
		for (uint32_t j = 0; j < jointCount; j++) {
			for (uint32_t k = 0; k < kIqmChannels; k++) {
				float lo = Channel(model.frames[j], k), hi = lo;
				for (uint32_t f = 0; f < model.frameCount; f++) {
					float value = Channel(model.frames[f * jointCount + j], k);
					lo = std::min(lo, value);
					hi = std::max(hi, value);
				}
				offsets[j][k] = lo;
				scales[j][k] = hi > lo ? (hi - lo) / kQuantSteps : 0.0f;
				if (hi > lo) {
					masks[j] |= 1u << k;
					channelCount++;
				}
			}
			w.U32((uint32_t)model.joints[j].parent);
			w.U32(masks[j]);
			for (uint32_t k = 0; k < kIqmChannels; k++)
				w.F32(offsets[j][k]);
			for (uint32_t k = 0; k < kIqmChannels; k++)
				w.F32(scales[j][k]);
		}
		at.animations = w.Size();
		for (size_t i = 0; i < model.animations.size(); i++) {
			const Animation &animation = model.animations[i];
			w.U32(animationNames[i]);
			w.U32(animation.first);
			w.U32(animation.count);
			w.F32(30.0f);
			w.U32(0);
		}
		at.frames = w.Size();
		for (uint32_t f = 0; f < model.frameCount; f++)
			for (uint32_t j = 0; j < jointCount; j++)
				for (uint32_t k = 0; k < kIqmChannels; k++)
					if (masks[j] & (1u << k)) {
						float value = Channel(model.frames[f * jointCount + j], k);
						w.U16((uint16_t)std::lround((value - offsets[j][k]) / scales[j][k]));
					}
	}

	std::vector<uint8_t> &b = w.bytes;
	std::memcpy(b.data(), kIqmMagic, kIqmMagicLength);
	PutU32(b, FieldAt(kVersion), kIqmVersion);
	PutU32(b, FieldAt(kFileSize), (uint32_t)b.size());
	PutU32(b, FieldAt(kTextCount), textCount);
	PutU32(b, FieldAt(kTextOffset), at.text);
	PutU32(b, FieldAt(kMeshCount), withMesh ? 1 : 0);
	PutU32(b, FieldAt(kMeshOffset), meshOffset);
	PutU32(b, FieldAt(kVertexArrayCount), arrayCount);
	PutU32(b, FieldAt(kVertexCount), vertexCount);
	PutU32(b, FieldAt(kVertexArrayOffset), at.vertexArrays);
	PutU32(b, FieldAt(kTriangleCount), (uint32_t)model.triangles.size());
	PutU32(b, FieldAt(kTriangleOffset), at.triangles);
	PutU32(b, FieldAt(kJointCount), jointCount);
	PutU32(b, FieldAt(kJointOffset), at.joints);
	PutU32(b, FieldAt(kPoseCount), animated ? jointCount : 0);
	PutU32(b, FieldAt(kPoseOffset), at.poses);
	PutU32(b, FieldAt(kAnimationCount), (uint32_t)model.animations.size());
	PutU32(b, FieldAt(kAnimationOffset), at.animations);
	PutU32(b, FieldAt(kFrameCount), animated ? model.frameCount : 0);
	PutU32(b, FieldAt(kFrameChannelCount), channelCount);
	PutU32(b, FieldAt(kFrameOffset), at.frames);
	if (layout != nullptr)
		*layout = at;
	return b;
}

// A quaternion (x, y, z, w) turning by degrees about an axis.
inline glm::vec4 AxisAngle(const glm::vec3 &axis, float degrees)
{
	float half = glm::radians(degrees) * 0.5f;
	glm::vec3 n = glm::normalize(axis) * std::sin(half);
	return glm::vec4(n, std::cos(half));
}

// The tests' skinned model, in IQM space (Z up):
//  joints: 0 "Root" at the origin; 1 "B_Hand.L" one unit up from it; 2, a
//  name of 19 characters, one unit along +X from the hand.
//  vertices: 0 on the root; 1 on the hand; 2 shared half and half between
//  root and hand; 3 on the hand, with a zero second weight before a non-zero
//  third one that must be ignored.
//  frames: 0 bind; 1 root moved +1 along X; 2 bind; 3 hand turned 90 degrees
//  about Z; 4 root moved +4 along Y.
//  animations: "Idle" = frames 0-1, "Wave" = frames 2-4.
inline Model SkinnedModel()
{
	Model m;
	m.joints = {
		{"Root", -1, Pose{}},
		{"B_Hand.L", 0, Pose{glm::vec3(0, 0, 1)}},
		{"Tip_Of_The_Long_Arm", 1, Pose{glm::vec3(1, 0, 0)}},
	};
	auto vertex = [](glm::vec3 p, glm::vec2 uv, glm::vec3 n, std::array<uint8_t, 4> idx, std::array<uint8_t, 4> wt) {
		Vertex v;
		v.position = p;
		v.uv = uv;
		v.normal = n;
		v.indexes = idx;
		v.weights = wt;
		return v;
	};
	m.vertices = {
		vertex({1, 0.5f, 0.25f}, {0, 0}, {0, 0, 1}, {0, 0, 0, 0}, {255, 0, 0, 0}),
		vertex({0, 2, 1}, {1, 0}, {0, 1, 0}, {1, 0, 0, 0}, {255, 0, 0, 0}),
		vertex({0, 0, 2}, {0, 1}, {1, 0, 0}, {0, 1, 0, 0}, {128, 127, 0, 0}),
		vertex({0, 1, 1}, {1, 1}, {0, 0, 1}, {1, 2, 0, 0}, {255, 0, 200, 0}),
	};
	m.triangles = {{0, 1, 2}, {0, 2, 3}};
	m.animations = {{"Idle", 0, 2}, {"Wave", 2, 3}};
	m.frameCount = 5;
	Pose root, hand = m.joints[1].bind, tip = m.joints[2].bind;
	Pose rootX = root, rootY = root, handTurned = hand;
	rootX.translate = glm::vec3(1, 0, 0);
	rootY.translate = glm::vec3(0, 4, 0);
	handTurned.rotate = AxisAngle(glm::vec3(0, 0, 1), 90.0f);
	m.frames = {
		root, hand, tip, // 0
		rootX, hand, tip, // 1
		root, hand, tip, // 2
		root, handTurned, tip, // 3
		rootY, hand, tip, // 4
	};
	return m;
}

}
