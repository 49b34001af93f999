#pragma once
// The layout of an IQM version 2 file (the published Inter-Quake Model
// layout), the engine's only model format. The reader checks files against
// it, the model tool writes the data tree's models by it, and the tests build
// and take apart files with it, so every size, number and field order is
// written down here once. All values are little-endian.
//
// The file's own space is Z up; a model faces -Y and its left side is +X.
#include <cstddef>
#include <cstdint>

constexpr char kIqmMagic[16] = "INTERQUAKEMODEL"; // 15 letters and the NUL
constexpr uint32_t kIqmMagicLength = 16;         // bytes of the magic at the start of the header
constexpr uint32_t kIqmVersion = 2;
constexpr uint32_t kIqmHeaderSize = 124;         // bytes: the magic and 27 u32 fields
constexpr uint32_t kIqmHeaderFieldCount = 27;

// Record sizes, in bytes.
constexpr uint32_t kIqmMeshSize = 24;        // name, material, first vertex, vertex count, first and count of triangles
constexpr uint32_t kIqmVertexArraySize = 20; // type, flags, format, size (components), offset
constexpr uint32_t kIqmTriangleSize = 12;    // three u32 vertex indexes
constexpr uint32_t kIqmJointSize = 48;       // name, parent, translate xyz, rotate xyzw, scale xyz
constexpr uint32_t kIqmPoseSize = 88;        // parent, channel mask, 10 channel offsets, 10 channel scales
constexpr uint32_t kIqmAnimationSize = 20;   // name, first frame, frame count, frame rate, flags
constexpr uint32_t kIqmFrameValueSize = 2;   // one u16 per stored channel per frame

constexpr uint32_t kIqmChannels = 10;        // translate xyz, rotate xyzw, scale xyz
constexpr uint32_t kIqmChannelMask = 0x3FF;  // the pose mask bits of those channels
constexpr uint32_t kIqmBlendInfluences = 4;  // joints that may move one vertex
constexpr uint32_t kIqmWholeWeight = 255;    // a vertex's blend weight bytes add up to this
constexpr uint32_t kIqmAnimLoop = 1;         // animation flag: the animation repeats

// Vertex array types and component formats as the format numbers them.
enum IqmArrayType : uint32_t {
	kIqmPosition = 0,
	kIqmTexCoord = 1,
	kIqmNormal = 2,
	kIqmTangent = 3,
	kIqmBlendIndexes = 4,
	kIqmBlendWeights = 5,
	kIqmColour = 6,
	kIqmArrayTypeCount
};
constexpr uint32_t kIqmFormatUByte = 1;
constexpr uint32_t kIqmFormatFloat = 7;

// The component format and count each vertex array type must have.
struct IqmArrayLayout {
	uint32_t format;
	uint32_t size;
};
constexpr IqmArrayLayout kIqmArrayLayouts[kIqmArrayTypeCount] = {
	{kIqmFormatFloat, 3}, // position
	{kIqmFormatFloat, 2}, // texture coordinate
	{kIqmFormatFloat, 3}, // normal
	{kIqmFormatFloat, 4}, // tangent
	{kIqmFormatUByte, 4}, // blend indexes
	{kIqmFormatUByte, 4}, // blend weights
	{kIqmFormatUByte, 4}, // colour
};

// The game keeps a model in one mesh with 16-bit counts (three indexes per
// triangle): the reader refuses more, and the writer never makes more.
constexpr uint32_t kIqmMaxVertices = 65535;
constexpr uint32_t kIqmMaxTriangles = 21845;

// The records of the file's tables, field for field; readers take each
// field's place from these (offsetof), writers put the fields in this order.
struct IqmMeshRecord {
	uint32_t name, material; // offsets into the text block
	uint32_t firstVertex, vertexCount;
	uint32_t firstTriangle, triangleCount;
};
struct IqmVertexArrayRecord {
	uint32_t type, flags, format, size; // size: components per vertex
	uint32_t offset;
};
struct IqmJointRecord {
	uint32_t name;
	int32_t parent; // an earlier joint, or -1
	float translate[3], rotate[4], scale[3]; // rotate: quaternion x, y, z, w
};
struct IqmPoseRecord {
	int32_t parent;
	uint32_t mask; // the channels stored per frame
	float channelOffset[kIqmChannels], channelScale[kIqmChannels]; // value = offset + u16 x scale
};
struct IqmAnimationRecord {
	uint32_t name;
	uint32_t firstFrame, frameCount;
	float frameRate;
	uint32_t flags;
};
static_assert(sizeof(IqmMeshRecord) == kIqmMeshSize);
static_assert(sizeof(IqmVertexArrayRecord) == kIqmVertexArraySize);
static_assert(sizeof(IqmJointRecord) == kIqmJointSize);
static_assert(sizeof(IqmPoseRecord) == kIqmPoseSize);
static_assert(sizeof(IqmAnimationRecord) == kIqmAnimationSize);

// The header's u32 fields after the magic, in file order.
enum class IqmField : uint32_t {
	kVersion,
	kFileSize,
	kFlags,
	kTextCount,
	kTextOffset,
	kMeshCount,
	kMeshOffset,
	kVertexArrayCount,
	kVertexCount,
	kVertexArrayOffset,
	kTriangleCount,
	kTriangleOffset,
	kAdjacencyOffset,
	kJointCount,
	kJointOffset,
	kPoseCount,
	kPoseOffset,
	kAnimationCount,
	kAnimationOffset,
	kFrameCount,
	kFrameChannelCount,
	kFrameOffset,
	kBoundsOffset,
	kCommentCount,
	kCommentOffset,
	kExtensionCount,
	kExtensionOffset,
};

// The byte offset of a header field in the file.
constexpr size_t IqmFieldOffset(IqmField field)
{
	return kIqmMagicLength + 4 * static_cast<size_t>(field);
}

// The header, field for field, as it sits at the start of every file.
struct IqmHeader {
	char magic[kIqmMagicLength];
	uint32_t version;
	uint32_t fileSize;
	uint32_t flags;
	uint32_t textCount, textOffset;
	uint32_t meshCount, meshOffset;
	uint32_t vertexArrayCount, vertexCount, vertexArrayOffset;
	uint32_t triangleCount, triangleOffset, adjacencyOffset;
	uint32_t jointCount, jointOffset;
	uint32_t poseCount, poseOffset;
	uint32_t animationCount, animationOffset;
	uint32_t frameCount, frameChannelCount, frameOffset, boundsOffset;
	uint32_t commentCount, commentOffset;
	uint32_t extensionCount, extensionOffset;
};
static_assert(sizeof(IqmHeader) == kIqmHeaderSize, "the header has no padding");
static_assert(IqmFieldOffset(IqmField::kExtensionOffset) + 4 == kIqmHeaderSize, "27 fields follow the magic");
static_assert(offsetof(IqmHeader, version) == IqmFieldOffset(IqmField::kVersion));
static_assert(offsetof(IqmHeader, fileSize) == IqmFieldOffset(IqmField::kFileSize));
static_assert(offsetof(IqmHeader, flags) == IqmFieldOffset(IqmField::kFlags));
static_assert(offsetof(IqmHeader, textCount) == IqmFieldOffset(IqmField::kTextCount));
static_assert(offsetof(IqmHeader, textOffset) == IqmFieldOffset(IqmField::kTextOffset));
static_assert(offsetof(IqmHeader, meshCount) == IqmFieldOffset(IqmField::kMeshCount));
static_assert(offsetof(IqmHeader, meshOffset) == IqmFieldOffset(IqmField::kMeshOffset));
static_assert(offsetof(IqmHeader, vertexArrayCount) == IqmFieldOffset(IqmField::kVertexArrayCount));
static_assert(offsetof(IqmHeader, vertexCount) == IqmFieldOffset(IqmField::kVertexCount));
static_assert(offsetof(IqmHeader, vertexArrayOffset) == IqmFieldOffset(IqmField::kVertexArrayOffset));
static_assert(offsetof(IqmHeader, triangleCount) == IqmFieldOffset(IqmField::kTriangleCount));
static_assert(offsetof(IqmHeader, triangleOffset) == IqmFieldOffset(IqmField::kTriangleOffset));
static_assert(offsetof(IqmHeader, adjacencyOffset) == IqmFieldOffset(IqmField::kAdjacencyOffset));
static_assert(offsetof(IqmHeader, jointCount) == IqmFieldOffset(IqmField::kJointCount));
static_assert(offsetof(IqmHeader, jointOffset) == IqmFieldOffset(IqmField::kJointOffset));
static_assert(offsetof(IqmHeader, poseCount) == IqmFieldOffset(IqmField::kPoseCount));
static_assert(offsetof(IqmHeader, poseOffset) == IqmFieldOffset(IqmField::kPoseOffset));
static_assert(offsetof(IqmHeader, animationCount) == IqmFieldOffset(IqmField::kAnimationCount));
static_assert(offsetof(IqmHeader, animationOffset) == IqmFieldOffset(IqmField::kAnimationOffset));
static_assert(offsetof(IqmHeader, frameCount) == IqmFieldOffset(IqmField::kFrameCount));
static_assert(offsetof(IqmHeader, frameChannelCount) == IqmFieldOffset(IqmField::kFrameChannelCount));
static_assert(offsetof(IqmHeader, frameOffset) == IqmFieldOffset(IqmField::kFrameOffset));
static_assert(offsetof(IqmHeader, boundsOffset) == IqmFieldOffset(IqmField::kBoundsOffset));
static_assert(offsetof(IqmHeader, commentCount) == IqmFieldOffset(IqmField::kCommentCount));
static_assert(offsetof(IqmHeader, commentOffset) == IqmFieldOffset(IqmField::kCommentOffset));
static_assert(offsetof(IqmHeader, extensionCount) == IqmFieldOffset(IqmField::kExtensionCount));
static_assert(offsetof(IqmHeader, extensionOffset) == IqmFieldOffset(IqmField::kExtensionOffset));
