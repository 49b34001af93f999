#include "modelgen/IqmWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/render/IqmReader.h"
#include "engine/render/Mesh.h"
#include "support/ExpectVec.h"
#include "support/TempFolder.h"
#include "tools/IqmFileView.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr uint32_t kTinyFrames = 3;

IqmTransform Turned(float angleX, float x)
{
	IqmTransform t;
	t.translate = {x, 0, 0};
	t.rotate = {std::sin(angleX / 2), 0, 0, std::cos(angleX / 2)};
	return t;
}

IqmVertex Vertex(float x, float y, float z, uint8_t joint)
{
	IqmVertex v;
	v.position = {x, y, z};
	v.texCoord = {x * 0.5f, z * 0.25f};
	v.normal = {0, -1, 0};
	v.blendIndexes = {joint, 0, 0, 0};
	return v;
}

// Two joints stacked along Z and a quad bound to them; "Bend" slides the
// root along X (0, 0.5, 1) while the tip turns about X by 0, 45 and 90
// degrees.
IqmModel TinyModel()
{
	IqmModel m;
	m.joints.push_back({"root", -1, {}});
	IqmJoint tip{"tip", 0, {}};
	tip.bind.translate = {0, 0, 1};
	m.joints.push_back(tip);
	m.vertices = {Vertex(0, 0, 0, 0), Vertex(0, 0, 2, 1), Vertex(1, 0, 1, 0), Vertex(0, 1, 1, 1)};
	m.vertices[2].blendIndexes = {0, 1, 0, 0};
	m.vertices[2].blendWeights = {128, 127, 0, 0};
	m.triangles = {{0, 1, 2}, {0, 2, 3}};
	m.meshes.push_back({"body", "body", 0, 4, 0, 2});
	m.animations.push_back({"Bend", 0, kTinyFrames, 30.0f, false});
	m.frameCount = kTinyFrames;
	for (uint32_t f = 0; f < kTinyFrames; f++) {
		m.frames.push_back(Turned(0, 0.5f * f));
		IqmTransform t = Turned(f * kPi / 4, 0);
		t.translate = {0, 0, 1};
		m.frames.push_back(t);
	}
	return m;
}

std::vector<uint8_t> Write(const IqmModel &model)
{
	std::string error;
	std::vector<uint8_t> bytes = WriteIqm(model, &error);
	EXPECT_FALSE(bytes.empty()) << error;
	return bytes;
}

// Every section the header declares lies inside the file on a 4-byte
// boundary, and so does the data of every vertex array.
void ExpectSectionsInside(const IqmFileView &file)
{
	const IqmHeader &h = file.Header();
	struct Section {
		const char *name;
		uint32_t offset;
		uint64_t length;
	};
	const Section sections[] = {
		{"text", h.textOffset, h.textCount},
		{"meshes", h.meshOffset, (uint64_t)h.meshCount * kIqmMeshSize},
		{"vertex arrays", h.vertexArrayOffset, (uint64_t)h.vertexArrayCount * kIqmVertexArraySize},
		{"triangles", h.triangleOffset, (uint64_t)h.triangleCount * 12},
		{"joints", h.jointOffset, (uint64_t)h.jointCount * kIqmJointSize},
		{"poses", h.poseOffset, (uint64_t)h.poseCount * kIqmPoseSize},
		{"animations", h.animationOffset, (uint64_t)h.animationCount * kIqmAnimationSize},
		{"frames", h.frameOffset, (uint64_t)h.frameCount * h.frameChannelCount * 2},
	};
	for (const Section &s : sections) {
		SCOPED_TRACE(s.name);
		if (s.length == 0)
			continue;
		EXPECT_GE(s.offset, kIqmHeaderSize);
		EXPECT_EQ(s.offset % 4, 0u);
		EXPECT_TRUE(file.Inside(s.offset, s.length));
	}
	for (const IqmFileView::VertexArray &array : file.VertexArrays()) {
		SCOPED_TRACE("vertex array " + std::to_string(array.type));
		EXPECT_EQ(array.offset % 4, 0u);
		const uint32_t componentSize = array.format == kIqmFormatFloat ? 4 : 1;
		EXPECT_TRUE(file.Inside(array.offset, (uint64_t)h.vertexCount * array.size * componentSize));
	}
}

TEST(IqmWriter, HeaderDescribesTheWholeFile)
{
	const IqmModel model = TinyModel();
	IqmFileView file(Write(model));
	ASSERT_TRUE(file.HasHeader());
	const IqmHeader &h = file.Header();
	EXPECT_EQ(std::memcmp(h.magic, "INTERQUAKEMODEL\0", 16), 0);
	EXPECT_EQ(h.version, 2u);
	EXPECT_EQ(h.fileSize, file.Bytes().size());
	EXPECT_EQ(h.meshCount, 1u);
	EXPECT_EQ(h.vertexCount, 4u);
	EXPECT_EQ(h.triangleCount, 2u);
	EXPECT_EQ(h.jointCount, 2u);
	EXPECT_EQ(h.poseCount, 2u);
	EXPECT_EQ(h.animationCount, 1u);
	EXPECT_EQ(h.frameCount, kTinyFrames);
	// The root moves along X, the tip turns about X (its x and w change):
	// three channels vary, everything else is constant.
	EXPECT_EQ(h.frameChannelCount, 3u);
	EXPECT_EQ(h.frameChannelCount, file.FrameChannelsInMasks());
	ExpectSectionsInside(file);

	struct Expected {
		uint32_t type, format, size;
	};
	const Expected arrays[] = {{kIqmPosition, kIqmFormatFloat, 3}, {kIqmTexCoord, kIqmFormatFloat, 2},
		{kIqmNormal, kIqmFormatFloat, 3}, {kIqmBlendIndexes, kIqmFormatUByte, 4},
		{kIqmBlendWeights, kIqmFormatUByte, 4}};
	const std::vector<IqmFileView::VertexArray> written = file.VertexArrays();
	ASSERT_EQ(written.size(), std::size(arrays));
	for (size_t i = 0; i < written.size(); i++) {
		SCOPED_TRACE("array " + std::to_string(i));
		EXPECT_EQ(written[i].type, arrays[i].type);
		EXPECT_EQ(written[i].format, arrays[i].format);
		EXPECT_EQ(written[i].size, arrays[i].size);
	}
}

TEST(IqmWriter, RecordsCarryTheDescription)
{
	const IqmModel model = TinyModel();
	IqmFileView file(Write(model));
	ASSERT_TRUE(file.HasHeader());

	// Names come back through the text block; a name used twice is stored
	// once, and offset 0 is the empty name.
	EXPECT_EQ(file.Text(0), "");
	const std::vector<IqmFileView::Mesh> meshes = file.Meshes();
	ASSERT_EQ(meshes.size(), 1u);
	EXPECT_EQ(meshes[0].name, "body");
	EXPECT_EQ(meshes[0].material, "body");
	EXPECT_EQ(file.U32(file.Header().meshOffset), file.U32(file.Header().meshOffset + 4));
	EXPECT_EQ(meshes[0].vertexCount, 4u);
	EXPECT_EQ(meshes[0].triangleCount, 2u);

	const std::vector<IqmFileView::Joint> joints = file.Joints();
	ASSERT_EQ(joints.size(), 2u);
	EXPECT_EQ(joints[0].name, "root");
	EXPECT_EQ(joints[0].parent, -1);
	EXPECT_EQ(joints[1].name, "tip");
	EXPECT_EQ(joints[1].parent, 0);
	EXPECT_FLOAT_EQ(joints[1].transform[2], 1.0f); // translate z
	EXPECT_FLOAT_EQ(joints[1].transform[6], 1.0f); // rotate w
	EXPECT_FLOAT_EQ(joints[1].transform[9], 1.0f); // scale z

	const std::vector<IqmFileView::Animation> animations = file.Animations();
	ASSERT_EQ(animations.size(), 1u);
	EXPECT_EQ(animations[0].name, "Bend");
	EXPECT_EQ(animations[0].firstFrame, 0u);
	EXPECT_EQ(animations[0].frameCount, kTinyFrames);
	EXPECT_EQ(animations[0].flags, 0u);

	// Vertex data in file order: the shared vertex keeps both weights.
	const uint32_t positions = file.ArrayOffset(kIqmPosition);
	EXPECT_FLOAT_EQ(file.F32(positions + 1 * 12 + 8), 2.0f);
	const uint32_t weights = file.ArrayOffset(kIqmBlendWeights);
	const uint32_t indexes = file.ArrayOffset(kIqmBlendIndexes);
	EXPECT_EQ(file.U8(weights + 2 * 4), 128);
	EXPECT_EQ(file.U8(weights + 2 * 4 + 1), 127);
	EXPECT_EQ(file.U8(indexes + 2 * 4 + 1), 1);
	const uint32_t triangles = file.Header().triangleOffset;
	EXPECT_EQ(file.U32(triangles + 3 * 4 + 2 * 4), 3u); // second triangle, last corner
}

TEST(IqmWriter, FramesComeBackWithinOneQuantisationStep)
{
	IqmModel model = TinyModel();
	// A wide range on one channel, to show the step scales with the range.
	model.frames[2 * 2].translate[0] = 40.0f;
	IqmFileView file(Write(model));
	ASSERT_TRUE(file.HasHeader());
	const std::vector<IqmFileView::Pose> poses = file.Poses();
	ASSERT_EQ(poses.size(), 2u);
	EXPECT_EQ(poses[0].parent, -1);
	EXPECT_EQ(poses[1].parent, 0);
	EXPECT_EQ(poses[0].mask, 1u << 0); // root: translate x only
	EXPECT_EQ(poses[1].mask, (1u << 3) | (1u << 6)); // tip: rotate x and w
	for (uint32_t f = 0; f < kTinyFrames; f++) {
		for (uint32_t j = 0; j < 2; j++) {
			const IqmTransform &in = model.frames[f * 2 + j];
			const float expected[kIqmChannels] = {in.translate[0], in.translate[1], in.translate[2], in.rotate[0],
				in.rotate[1], in.rotate[2], in.rotate[3], in.scale[0], in.scale[1], in.scale[2]};
			const std::array<float, kIqmChannels> out = file.Channels(f, j);
			for (uint32_t k = 0; k < kIqmChannels; k++) {
				SCOPED_TRACE("frame " + std::to_string(f) + " joint " + std::to_string(j) + " channel " +
					std::to_string(k));
				EXPECT_NEAR(out[k], expected[k], poses[j].scale[k] * 0.5f + 1e-6f);
			}
		}
	}
	EXPECT_NEAR(poses[0].scale[0], 40.0f / 65535.0f, 1e-9f);
}

TEST(IqmWriter, RefusesDescriptionsItCannotWriteFaithfully)
{
	struct Case {
		const char *name;
		std::function<void(IqmModel &)> spoil;
	};
	const Case cases[] = {
		{"parent after the joint", [](IqmModel &m) { m.joints[0].parent = 1; }},
		{"joint its own parent", [](IqmModel &m) { m.joints[1].parent = 1; }},
		{"parent below -1", [](IqmModel &m) { m.joints[1].parent = -2; }},
		{"weights adding up to 254", [](IqmModel &m) { m.vertices[2].blendWeights = {127, 127, 0, 0}; }},
		{"weights adding up past 255", [](IqmModel &m) { m.vertices[2].blendWeights = {200, 100, 0, 0}; }},
		{"blend index past the joints", [](IqmModel &m) { m.vertices[1].blendIndexes[0] = 2; }},
		{"triangle past the vertices", [](IqmModel &m) { m.triangles[1][2] = 4; }},
		{"mesh past the triangles", [](IqmModel &m) { m.meshes[0].triangleCount = 3; }},
		{"one pose too few", [](IqmModel &m) { m.frames.pop_back(); }},
		{"animation past the last frame", [](IqmModel &m) { m.animations[0].firstFrame = 1; }},
		{"animation without frames", [](IqmModel &m) { m.animations.push_back({"Empty", 0, 0, 30.0f, false}); }},
		{"animation without a name", [](IqmModel &m) { m.animations[0].name.clear(); }},
		{"animations without joints",
			[](IqmModel &m) {
				m.joints.clear();
				m.frames.clear();
				for (IqmVertex &v : m.vertices)
					v.blendWeights = {255, 0, 0, 0};
			}},
		{"name with a NUL inside", [](IqmModel &m) { m.joints[1].name = std::string("ti\0p", 4); }},
		{"position not finite", [](IqmModel &m) { m.vertices[0].position[1] = NAN; }},
		{"frame not finite", [](IqmModel &m) { m.frames[3].rotate[0] = INFINITY; }},
		{"more vertices than the game draws",
			[](IqmModel &m) { m.vertices.resize(kIqmMaxVertices + 1, m.vertices[0]); }},
		{"more triangles than the game draws",
			[](IqmModel &m) { m.triangles.resize(kIqmMaxTriangles + 1, m.triangles[0]); }},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		IqmModel model = TinyModel();
		c.spoil(model);
		std::string error;
		EXPECT_TRUE(WriteIqm(model, &error).empty());
		EXPECT_FALSE(error.empty());
	}
	std::string error;
	EXPECT_FALSE(WriteIqm(TinyModel(), &error).empty()) << error;
}

TEST(IqmWriter, WritesOnlyTheSectionsAFileCarries)
{
	struct Case {
		const char *name;
		std::function<void(IqmModel &)> shape;
		uint32_t arrays, joints, poses, animations;
		bool colours;
	};
	const Case cases[] = {
		{"mesh and skeleton, no animations",
			[](IqmModel &m) {
				m.animations.clear();
				m.frames.clear();
				m.frameCount = 0;
			},
			5, 2, 0, 0, false},
		{"animations only",
			[](IqmModel &m) {
				m.vertices.clear();
				m.triangles.clear();
				m.meshes.clear();
			},
			0, 2, 2, 1, false},
		{"static mesh: no joints, no blend arrays",
			[](IqmModel &m) {
				m.joints.clear();
				m.animations.clear();
				m.frames.clear();
				m.frameCount = 0;
			},
			3, 0, 0, 0, false},
		{"with vertex colours", [](IqmModel &m) { m.withColours = true; }, 6, 2, 2, 1, true},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE(c.name);
		IqmModel model = TinyModel();
		c.shape(model);
		IqmFileView file(Write(model));
		ASSERT_TRUE(file.HasHeader());
		const IqmHeader &h = file.Header();
		EXPECT_EQ(h.fileSize, file.Bytes().size());
		EXPECT_EQ(h.vertexArrayCount, c.arrays);
		EXPECT_EQ(h.jointCount, c.joints);
		EXPECT_EQ(h.poseCount, c.poses);
		EXPECT_EQ(h.animationCount, c.animations);
		if (c.animations == 0) {
			EXPECT_EQ(h.frameCount, 0u);
			EXPECT_EQ(h.frameOffset, 0u);
		}
		if (c.arrays == 0) {
			EXPECT_EQ(h.vertexCount, 0u);
			EXPECT_EQ(h.triangleCount, 0u);
		}
		ExpectSectionsInside(file);
		const uint32_t colours = file.ArrayOffset(kIqmColour);
		EXPECT_EQ(colours != 0, c.colours);
		if (c.colours) {
			model.vertices[3].colour = {1, 2, 3, 4};
			IqmFileView recoloured(Write(model));
			const uint32_t at = recoloured.ArrayOffset(kIqmColour) + 3 * 4;
			EXPECT_EQ(recoloured.U8(at), 1);
			EXPECT_EQ(recoloured.U8(at + 3), 4);
		}
	}
}

TEST(IqmWriter, SaveReplacesTheFileOnlyWithACompleteOne)
{
	TempFolder folder;
	const std::string path = folder.Path("tiny.iqm");
	std::string error;
	ASSERT_TRUE(SaveIqm(TinyModel(), path, &error)) << error;
	const std::vector<uint8_t> saved = TempFolder::ReadBytes(path);
	EXPECT_EQ(saved, Write(TinyModel()));
	EXPECT_FALSE(TempFolder::Exists(path + ".part"));

	IqmModel broken = TinyModel();
	broken.joints[0].parent = 1;
	EXPECT_FALSE(SaveIqm(broken, path, &error));
	EXPECT_EQ(TempFolder::ReadBytes(path), saved);

	EXPECT_FALSE(SaveIqm(TinyModel(), folder.Path("missing/tiny.iqm"), &error));
	EXPECT_FALSE(error.empty());
}

TEST(IqmWriter, GameReaderPosesTheWrittenFile)
{
	TempFolder folder;
	const std::string path = folder.Path("tiny.iqm");
	std::string error;
	ASSERT_TRUE(SaveIqm(TinyModel(), path, &error)) << error;

	IqmReader reader;
	ASSERT_TRUE(reader.Load(path.c_str()));
	ModelAnimation *bend = reader.FindAnimation("Bend");
	ASSERT_NE(bend, nullptr);
	EXPECT_EQ(bend->frameCount, kTinyFrames);
	ASSERT_NE(reader.FindJoint("tip"), nullptr);

	// The file's (x, y, z) is the engine's (x, z, -y). The vertex at the
	// tip's end stands 2 up in the bind pose; at frame 2 the root has slid 1
	// along X and the tip has turned a quarter about X, so the vertex points
	// from the tip's origin along the file's -Y.
	struct Case {
		float frame;
		glm::vec3 tipEnd;
	};
	const Case cases[] = {
		{0.0f, {0, 2, 0}},
		{2.0f, {1, 1, 1}},
		{1.0f, {0.5f, 1 + std::cos(kPi / 4), std::sin(kPi / 4)}},
	};
	for (const Case &c : cases) {
		SCOPED_TRACE("frame " + std::to_string(c.frame));
		Mesh mesh;
		const float time = c.frame / 30.0f;
		reader.BuildMesh(&mesh, &time, bend, nullptr, 0.0f);
		ASSERT_EQ(mesh.GetPositions().size(), 4u);
		ExpectVecNear(c.tipEnd, mesh.GetPositions()[1], 1e-3f);
	}
}

} // namespace
