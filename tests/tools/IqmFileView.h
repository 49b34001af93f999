#pragma once
// A read-only look into the bytes of an IQM file, for tests that check what
// the model tool wrote: the header, the records of each section and the
// decoded frame channels. Every read is bounds-checked and reads zero outside
// the file, so a broken file fails the test's expectations instead of
// crashing it.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "modelgen/IqmWriter.h"

class IqmFileView {
public:
	struct VertexArray {
		uint32_t type, flags, format, size, offset;
	};
	struct Joint {
		std::string name;
		int32_t parent;
		std::array<float, kIqmChannels> transform; // translate, rotate, scale
	};
	struct Pose {
		int32_t parent;
		uint32_t mask;
		std::array<float, kIqmChannels> offset, scale;
	};
	struct Animation {
		std::string name;
		uint32_t firstFrame, frameCount;
		float frameRate;
		uint32_t flags;
	};
	struct Mesh {
		std::string name, material;
		uint32_t firstVertex, vertexCount, firstTriangle, triangleCount;
	};

	explicit IqmFileView(std::vector<uint8_t> fileBytes) : bytes(std::move(fileBytes))
	{
		hasHeader = DecodeIqmHeader(bytes, &header);
	}

	bool HasHeader() const { return hasHeader; }
	const IqmHeader &Header() const { return header; }
	const std::vector<uint8_t> &Bytes() const { return bytes; }

	// True when [offset, offset + length) lies inside the file.
	bool Inside(uint64_t offset, uint64_t length) const { return offset + length <= bytes.size(); }

	uint32_t U32(uint64_t at) const
	{
		uint32_t v = 0;
		if (Inside(at, 4))
			v = (uint32_t)bytes[at] | (uint32_t)bytes[at + 1] << 8 | (uint32_t)bytes[at + 2] << 16 |
				(uint32_t)bytes[at + 3] << 24;
		return v;
	}
	uint16_t U16(uint64_t at) const
	{
		return Inside(at, 2) ? (uint16_t)(bytes[at] | bytes[at + 1] << 8) : 0;
	}
	float F32(uint64_t at) const { return std::bit_cast<float>(U32(at)); }
	uint8_t U8(uint64_t at) const { return Inside(at, 1) ? bytes[at] : 0; }

	// The name at an offset of the text block, stopping at its NUL or at
	// the end of the block.
	std::string Text(uint32_t offset) const
	{
		std::string name;
		for (uint64_t i = (uint64_t)header.textOffset + offset;
			i < (uint64_t)header.textOffset + header.textCount && i < bytes.size() && bytes[i] != 0; i++)
			name += (char)bytes[i];
		return name;
	}

	std::vector<VertexArray> VertexArrays() const
	{
		std::vector<VertexArray> arrays;
		for (uint32_t i = 0; i < header.vertexArrayCount; i++) {
			uint64_t at = header.vertexArrayOffset + (uint64_t)i * kIqmVertexArraySize;
			arrays.push_back({U32(at + offsetof(IqmVertexArrayRecord, type)), U32(at + offsetof(IqmVertexArrayRecord, flags)),
				U32(at + offsetof(IqmVertexArrayRecord, format)), U32(at + offsetof(IqmVertexArrayRecord, size)),
				U32(at + offsetof(IqmVertexArrayRecord, offset))});
		}
		return arrays;
	}
	// The offset of the vertex array of a type; 0 when the file has none.
	uint32_t ArrayOffset(uint32_t type) const
	{
		for (const VertexArray &array : VertexArrays())
			if (array.type == type)
				return array.offset;
		return 0;
	}

	std::vector<Mesh> Meshes() const
	{
		std::vector<Mesh> meshes;
		for (uint32_t i = 0; i < header.meshCount; i++) {
			uint64_t at = header.meshOffset + (uint64_t)i * kIqmMeshSize;
			meshes.push_back({Text(U32(at + offsetof(IqmMeshRecord, name))), Text(U32(at + offsetof(IqmMeshRecord, material))),
				U32(at + offsetof(IqmMeshRecord, firstVertex)), U32(at + offsetof(IqmMeshRecord, vertexCount)),
				U32(at + offsetof(IqmMeshRecord, firstTriangle)), U32(at + offsetof(IqmMeshRecord, triangleCount))});
		}
		return meshes;
	}

	std::vector<Joint> Joints() const
	{
		std::vector<Joint> joints;
		for (uint32_t i = 0; i < header.jointCount; i++) {
			uint64_t at = header.jointOffset + (uint64_t)i * kIqmJointSize;
			Joint joint{Text(U32(at + offsetof(IqmJointRecord, name))), (int32_t)U32(at + offsetof(IqmJointRecord, parent)), {}};
			for (uint32_t k = 0; k < kIqmChannels; k++)
				joint.transform[k] = F32(at + offsetof(IqmJointRecord, translate) + 4 * k);
			joints.push_back(joint);
		}
		return joints;
	}

	std::vector<Pose> Poses() const
	{
		std::vector<Pose> poses;
		for (uint32_t i = 0; i < header.poseCount; i++) {
			uint64_t at = header.poseOffset + (uint64_t)i * kIqmPoseSize;
			Pose pose{(int32_t)U32(at + offsetof(IqmPoseRecord, parent)), U32(at + offsetof(IqmPoseRecord, mask)), {}, {}};
			for (uint32_t k = 0; k < kIqmChannels; k++) {
				pose.offset[k] = F32(at + offsetof(IqmPoseRecord, channelOffset) + 4 * k);
				pose.scale[k] = F32(at + offsetof(IqmPoseRecord, channelScale) + 4 * k);
			}
			poses.push_back(pose);
		}
		return poses;
	}

	std::vector<Animation> Animations() const
	{
		std::vector<Animation> animations;
		for (uint32_t i = 0; i < header.animationCount; i++) {
			uint64_t at = header.animationOffset + (uint64_t)i * kIqmAnimationSize;
			animations.push_back({Text(U32(at + offsetof(IqmAnimationRecord, name))),
				U32(at + offsetof(IqmAnimationRecord, firstFrame)), U32(at + offsetof(IqmAnimationRecord, frameCount)),
				F32(at + offsetof(IqmAnimationRecord, frameRate)), U32(at + offsetof(IqmAnimationRecord, flags))});
		}
		return animations;
	}

	// The ten channel values of one pose in one frame, as a reader gets them
	// back from the 16-bit frame stream.
	std::array<float, kIqmChannels> Channels(uint32_t frame, uint32_t pose) const
	{
		const std::vector<Pose> poses = Poses();
		uint64_t at = header.frameOffset + (uint64_t)frame * header.frameChannelCount * 2;
		for (uint32_t j = 0; j < pose; j++)
			at += 2 * (uint64_t)std::popcount(poses[j].mask);
		std::array<float, kIqmChannels> values{};
		for (uint32_t k = 0; k < kIqmChannels; k++) {
			values[k] = poses[pose].offset[k];
			if (poses[pose].mask & (1u << k)) {
				values[k] += U16(at) * poses[pose].scale[k];
				at += 2;
			}
		}
		return values;
	}

	uint32_t FrameChannelsInMasks() const
	{
		uint32_t total = 0;
		for (const Pose &pose : Poses())
			total += (uint32_t)std::popcount(pose.mask);
		return total;
	}

private:
	std::vector<uint8_t> bytes;
	IqmHeader header{};
	bool hasHeader = false;
};
