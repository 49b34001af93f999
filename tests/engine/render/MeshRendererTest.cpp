#include "engine/render/MeshRenderer.h"

#include <glad/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/render/Material.h"
#include "engine/render/Shader.h"
#include "support/GLDrawContext.h"
#include "support/TempFolder.h"

namespace {

constexpr int kColorTolerance = 3; // 8-bit steps of rounding the GPU may add
constexpr uint8_t kPoison = 0xAB;	 // bytes a test writes into a buffer behind the renderer's back

// A vertex stage that ignores MVP, so the tests draw in clip space whatever
// renderer the process may hold, and hands every attribute on.
const char *const kVertex = R"(<vert><![CDATA[
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inUV;
layout(location = 3) in vec4 inColor;
out vec2 uv;
out vec4 color;
void main() { uv = inUV; color = inColor; gl_Position = vec4(inPosition, 1.0); }
]]></vert>)";

std::string Pass(const std::string &fragmentBody)
{
	return std::string("<pass>") + kVertex + "<frag><![CDATA[\nin vec2 uv;\nin vec4 color;\n" +
		"uniform vec3 COLOR;\nuniform vec2 UV_OFFSET;\nuniform vec2 UV_SCALE;\nout vec4 fragColor;\n" +
		"void main() { " + fragmentBody + " }\n]]></frag></pass>\n";
}

// A quad over the whole clip space, in one colour.
void AddScreenQuad(Mesh &mesh, const glm::vec3 &color)
{
	mesh.AddQuad(glm::vec3(-1, -1, 0), glm::vec3(1, 1, 0), glm::vec2(0), glm::vec2(1), color);
}

template <typename T>
std::vector<uint8_t> Bytes(const std::vector<T> &array)
{
	std::vector<uint8_t> bytes(array.size() * sizeof(T));
	if (!bytes.empty())
		memcpy(bytes.data(), array.data(), bytes.size());
	return bytes;
}

class MeshRendererGL : public GLDrawContext {
protected:
	// A shader of the test's own: a name no other test has asked the
	// process-wide shader table for, so it is built in this context.
	Material *MakeMaterial(const std::string &passes)
	{
		std::string path = folder.Path("shader" + std::to_string(materials.size()) + ".dsh");
		std::ofstream(path) << passes;
		materials.push_back(std::make_unique<Material>());
		materials.back()->SetShader(path.c_str());
		return materials.back().get();
	}

	static std::vector<uint8_t> BufferBytes(const GLBufferRecord &record)
	{
		std::vector<uint8_t> bytes((size_t)record.size);
		if (record.name == 0 || bytes.empty())
			return bytes;
		glBindBuffer(GL_COPY_READ_BUFFER, record.name);
		glGetBufferSubData(GL_COPY_READ_BUFFER, 0, (GLsizeiptr)bytes.size(), bytes.data());
		return bytes;
	}
	static GLint BufferSize(const GLBufferRecord &record)
	{
		GLint size = 0;
		glBindBuffer(GL_COPY_READ_BUFFER, record.name);
		glGetBufferParameteriv(GL_COPY_READ_BUFFER, GL_BUFFER_SIZE, &size);
		return size;
	}
	static void Poison(const GLBufferRecord &record)
	{
		std::vector<uint8_t> bytes((size_t)record.size, kPoison);
		glBindBuffer(GL_COPY_WRITE_BUFFER, record.name);
		glBufferSubData(GL_COPY_WRITE_BUFFER, 0, (GLsizeiptr)bytes.size(), bytes.data());
	}
	static bool IsPoisoned(const GLBufferRecord &record)
	{
		std::vector<uint8_t> bytes = BufferBytes(record);
		return !bytes.empty() && bytes == std::vector<uint8_t>(bytes.size(), kPoison);
	}

	// The pixel at the centre of the window, drawn over a cleared window.
	static glm::ivec4 CentrePixel() { return Pixel(kWidth / 2, kHeight / 2); }
	// Red, green and blue: the window may have no alpha channel to read.
	static void ExpectPixel(const glm::ivec4 &actual, const glm::ivec3 &expected)
	{
		for (int c = 0; c < 3; c++)
			EXPECT_NEAR(actual[c], expected[c], kColorTolerance) << "channel " << c;
	}
	static void Clear()
	{
		glClear(GL_COLOR_BUFFER_BIT);
	}

	TempFolder folder;
	std::vector<std::unique_ptr<Material>> materials;
};

}

// Each row changes the mesh (or the renderer) and draws again; before it,
// the test overwrites the GL buffers behind the renderer's back, so a buffer
// that still holds those bytes afterwards was not uploaded to.
TEST_F(MeshRendererGL, ArraysReachGLExactlyWhenTheyChange)
{
	Material *material = MakeMaterial(""); // no passes: uploads only
	Mesh mesh;
	mesh.SetMaterialDirect(material);
	mesh.AddQuad(glm::vec3(0), glm::vec3(1, 1, 0), glm::vec2(0), glm::vec2(1), glm::vec3(1));
	MeshRenderer renderer;
	// Writes that bypass the mesh's operations, as a careless caller might.
	auto behind = [&mesh] { return (uint8_t *)const_cast<glm::vec3 *>(mesh.GetPositions().data()); };
	renderer.Draw(&mesh, glm::mat4(1.0f));
	ASSERT_NE(renderer.GetBuffer(kMeshPositions).name, 0u);
	ASSERT_EQ(BufferBytes(renderer.GetBuffer(kMeshPositions)), Bytes(mesh.GetPositions()));

	// A quad's 48 position bytes are sampled at every sixth byte. Its corner
	// values 1 and 4 differ only in bytes that are never sampled.
	auto rebuild = [](Mesh &m, float far) {
		m.Clear();
		m.AddQuad(glm::vec3(0), glm::vec3(far, far, 0), glm::vec2(0), glm::vec2(1), glm::vec3(1));
	};
	{
		Mesh one, four;
		rebuild(one, 1.0f);
		rebuild(four, 4.0f);
		ASSERT_NE(Bytes(one.GetPositions()), Bytes(four.GetPositions()));
		ASSERT_EQ(SampledChecksum(one.GetPositions().data(), 48), SampledChecksum(four.GetPositions().data(), 48));
	}

	struct Row {
		const char *name;
		std::function<void()> change;
		bool positionsUploaded;
		bool indicesUploaded;
	};
	const Row rows[] = {
		{"nothing changed", [] {}, false, false},
		{"rebuilt with values the checksum cannot tell apart", [&] { rebuild(mesh, 4.0f); }, true, true},
		{"unsampled byte changed through the mesh", [&] { ((uint8_t *)mesh.EditPositions())[7] ^= 1; }, true, false},
		{"sampled byte changed behind the mesh's back", [&] { behind()[6] ^= 1; }, true, false},
		{"unsampled byte changed behind the mesh's back", [&] { behind()[7] ^= 1; }, false, false},
		{"indices edited", [&] { mesh.EditIndices()[0] = 2; }, false, true},
		{"renderer released", [&] { renderer.Release(); }, true, true},
		{"one more quad", [&] { rebuild(mesh, 1.0f); mesh.AddQuad(glm::vec3(0), glm::vec3(1), glm::vec2(0), glm::vec2(1), glm::vec3(1)); }, true, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		GLuint positionsName = renderer.GetBuffer(kMeshPositions).name;
		Poison(renderer.GetBuffer(kMeshPositions));
		Poison(renderer.GetBuffer(kMeshIndices));
		row.change();
		renderer.Draw(&mesh, glm::mat4(1.0f));
		const GLBufferRecord &positions = renderer.GetBuffer(kMeshPositions);
		EXPECT_EQ(positions.name, positionsName);
		EXPECT_EQ(!IsPoisoned(positions), row.positionsUploaded);
		EXPECT_EQ(!IsPoisoned(renderer.GetBuffer(kMeshIndices)), row.indicesUploaded);
		if (row.positionsUploaded) {
			EXPECT_EQ(BufferBytes(positions), Bytes(mesh.GetPositions()));
			EXPECT_EQ(BufferSize(positions), (GLint)(mesh.GetPositions().size() * sizeof(glm::vec3)));
		}
	}
}

TEST_F(MeshRendererGL, DrawHandsOverOnlyWhatTheMeshHolds)
{
	struct Row {
		const char *name;
		std::function<void(Mesh &)> build;
		uint64_t sizes[kMeshArrayCount]; // bytes per record; 0 = no buffer made
	};
	const Row rows[] = {
		{"quad", [](Mesh &m) { AddScreenQuad(m, glm::vec3(1)); }, {48, 32, 48, 48, 24}},
		{"bare polygon", [](Mesh &m) { m.AddPolygonPositions(std::vector<glm::vec3>(5, glm::vec3(0.5f))); }, {60, 0, 0, 0, 36}},
		{"indices without positions", [](Mesh &m) { m.AppendIndices(std::vector<uint32_t>{0, 1, 2}); }, {0, 0, 0, 0, 0}},
		// 16383 quads hold 98298 indices; only the first 65535 are drawn.
		{"more indices than are drawn", [](Mesh &m) { for (int i = 0; i < 16383; i++) AddScreenQuad(m, glm::vec3(1)); },
			{16383 * 48, 16383 * 32, 16383 * 48, 16383 * 48, 65535 * 4}},
	};
	Material *material = MakeMaterial("");
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Mesh mesh;
		mesh.SetMaterialDirect(material);
		row.build(mesh);
		MeshRenderer renderer;
		renderer.Draw(&mesh, glm::mat4(1.0f));
		for (uint8_t a = 0; a < kMeshArrayCount; a++) {
			const GLBufferRecord &record = renderer.GetBuffer((MeshArray)a);
			EXPECT_EQ(record.size, row.sizes[a]) << "array " << (int)a;
			EXPECT_EQ(record.name != 0, row.sizes[a] != 0) << "array " << (int)a;
			if (record.name != 0) {
				EXPECT_EQ(BufferSize(record), (GLint)row.sizes[a]) << "array " << (int)a;
			}
		}
	}
}

TEST_F(MeshRendererGL, AnotherMeshDeletesTheBuffersOfTheFirst)
{
	Material *material = MakeMaterial("");
	Mesh first, second;
	first.SetMaterialDirect(material);
	second.SetMaterialDirect(material);
	AddScreenQuad(first, glm::vec3(1));
	second.AddPolygonPositions(std::vector<glm::vec3>(3, glm::vec3(0.25f)));
	MeshRenderer renderer;
	renderer.Draw(&first, glm::mat4(1.0f));
	std::set<GLuint> firstNames;
	for (uint8_t a = 0; a < kMeshArrayCount; a++)
		firstNames.insert(renderer.GetBuffer((MeshArray)a).name);

	renderer.Draw(&second, glm::mat4(1.0f));
	EXPECT_EQ(renderer.GetMesh(), &second);
	EXPECT_EQ(BufferBytes(renderer.GetBuffer(kMeshPositions)), Bytes(second.GetPositions()));
	EXPECT_EQ(renderer.GetBuffer(kMeshUVs).name, 0u);
	std::set<GLuint> reused;
	for (uint8_t a = 0; a < kMeshArrayCount; a++)
		reused.insert(renderer.GetBuffer((MeshArray)a).name);
	for (GLuint name : firstNames)
		if (reused.count(name) == 0) {
			EXPECT_FALSE(glIsBuffer(name)) << "buffer " << name << " of the first mesh was kept";
		}
}

// The vertex shader reads the colour at location 3 as four components; an
// array that does not cover every vertex must leave GL's constant
// (0, 0, 0, 1) there rather than be read past its end. The pixel shows the
// colour's red, green and fourth component.
TEST_F(MeshRendererGL, AttributeArraysShorterThanThePositionsReadTheConstant)
{
	Material *material = MakeMaterial(Pass("fragColor = vec4(color.r, color.g, color.a, 1.0);"));
	const glm::vec3 red(1, 0, 0);
	const std::vector<glm::vec3> cover = {{-1, -1, 0}, {3, -1, 0}, {-1, 3, 0}};		 // the whole window
	const std::vector<glm::vec3> corner = {{-1, -1, 0}, {-0.9f, -1, 0}, {-1, -0.9f, 0}}; // away from the centre
	struct Row {
		const char *name;
		bool drawnRedBefore; // the colour buffer already holds a red quad
		std::function<void(Mesh &)> build;
		glm::ivec3 pixel;
	};
	const Row rows[] = {
		{"colour for every vertex", false, [&](Mesh &m) { AddScreenQuad(m, red); }, {255, 0, 255}},
		{"never any colours", false, [&](Mesh &m) { m.AddPolygonPositions(cover); }, {0, 0, 255}},
		{"colours gone after a rebuild", true, [&](Mesh &m) { m.AddPolygonPositions(cover); }, {0, 0, 255}},
		{"colours for a quad but not the polygon after it", true,
			[&](Mesh &m) { AddScreenQuad(m, red); m.AddPolygonPositions(corner); }, {0, 0, 255}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Mesh mesh;
		mesh.SetMaterialDirect(material);
		MeshRenderer renderer;
		if (row.drawnRedBefore) {
			AddScreenQuad(mesh, red);
			renderer.Draw(&mesh, glm::mat4(1.0f));
			ASSERT_NE(renderer.GetBuffer(kMeshColors).name, 0u);
			mesh.Clear();
		}
		Clear();
		row.build(mesh);
		renderer.Draw(&mesh, glm::mat4(1.0f));
		ExpectPixel(CentrePixel(), row.pixel);
	}
	EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(MeshRendererGL, MeshesDrawIndexedOrInOrderButNeverPastTheirVertices)
{
	Material *material = MakeMaterial(Pass("fragColor = vec4(0.0, 1.0, 0.0, 1.0);"));
	const std::vector<glm::vec3> twoTriangles = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
	struct Row {
		const char *name;
		std::function<void(Mesh &)> build;
		bool drawn;
		bool logged;
	};
	const Row rows[] = {
		{"indexed quad", [](Mesh &m) { AddScreenQuad(m, glm::vec3(1)); }, true, false},
		{"positions without indices", [&](Mesh &m) { m.AppendPositions(twoTriangles); }, true, false},
		{"no positions", [](Mesh &m) { m.AppendIndices(std::vector<uint32_t>{0, 1, 2}); }, false, false},
		{"an index past the vertices", [](Mesh &m) { AddScreenQuad(m, glm::vec3(1)); m.EditIndices()[5] = 4; }, false, true},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Clear();
		Mesh mesh;
		mesh.SetMaterialDirect(material);
		row.build(mesh);
		MeshRenderer renderer;
		testing::internal::CaptureStdout();
		renderer.Draw(&mesh, glm::mat4(1.0f));
		renderer.Draw(&mesh, glm::mat4(1.0f)); // logged once, not per frame
		std::string log = testing::internal::GetCapturedStdout();
		ExpectPixel(CentrePixel(), row.drawn ? glm::ivec3(0, 255, 0) : glm::ivec3(0));
		EXPECT_EQ(log.empty(), !row.logged) << log;
		if (row.logged) {
			EXPECT_EQ(log.find("Mesh index"), log.rfind("Mesh index")) << log;
		}
	}
}

// Two passes add half of their value each (the test turns on additive
// blending), so the pixel shows both passes drew, with the material's
// colour times the tint, UV offset and UV scale.
TEST_F(MeshRendererGL, EveryPassDrawsWithTheMaterialUniforms)
{
	const std::string half = "fragColor = vec4(COLOR.r, UV_OFFSET.y, UV_SCALE.x, 1.0) * 0.5;";
	Material *twoPasses = MakeMaterial(Pass(half) + Pass(half));
	Material *noPasses = MakeMaterial("");
	struct Row {
		const char *name;
		Material *material;
		glm::vec3 color, tint;
		glm::vec2 uvOffset, uvScale;
		glm::ivec3 pixel;
	};
	const Row rows[] = {
		{"defaults", twoPasses, glm::vec3(1), glm::vec3(1), glm::vec2(0), glm::vec2(1), {255, 0, 255}},
		{"colour times tint", twoPasses, glm::vec3(0.8f, 1, 1), glm::vec3(0.5f, 0, 0), glm::vec2(0), glm::vec2(1), {102, 0, 255}},
		{"UV window", twoPasses, glm::vec3(0), glm::vec3(1), glm::vec2(0.25f, 0.6f), glm::vec2(0.4f, 0.5f), {0, 153, 102}},
		{"no passes", noPasses, glm::vec3(1), glm::vec3(1), glm::vec2(0), glm::vec2(1), {0, 0, 0}},
	};
	glEnable(GL_BLEND);
	glBlendFunc(GL_ONE, GL_ONE);
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Clear();
		row.material->SetColor(row.color);
		row.material->SetUVOffset(row.uvOffset.x, row.uvOffset.y);
		row.material->SetUVScale(row.uvScale.x, row.uvScale.y);
		Mesh mesh;
		mesh.SetMaterialDirect(row.material);
		AddScreenQuad(mesh, glm::vec3(1));
		MeshRenderer renderer;
		renderer.SetTint(row.tint);
		renderer.Draw(&mesh, glm::mat4(1.0f));
		glm::ivec4 pixel = CentrePixel();
		for (int c = 0; c < 3; c++)
			EXPECT_NEAR(pixel[c], row.pixel[c], kColorTolerance) << "channel " << c;
		// The attributes are left disabled for whoever draws next.
		GLint enabled = 1;
		glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
		EXPECT_EQ(enabled, 0);
	}
	glDisable(GL_BLEND);
}
