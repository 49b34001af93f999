#include "engine/render/Shader.h"

#include <glad/gl.h>
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/FileAccess.h"
#include "support/GLTestContext.h"

namespace {

// GLSL snippets for the test files; the multipass reader adds the version line.
const char *const kVert = "layout(location = 0) in vec3 p; uniform mat4 MVP;"
                          " void main() { gl_Position = MVP * vec4(p, 1.0); }\n";
const char *const kFrag = "uniform vec3 COLOR; out vec4 c; void main() { c = vec4(COLOR, 1.0); }\n";
const char *const kBroken = "void main() { this is not glsl }\n";
// Compiles, but cannot link with kVert: "MVP" has another type there.
const char *const kFragClash = "uniform vec3 MVP; out vec4 c; void main() { c = vec4(MVP, 1.0); }\n";
// Only a fragment stage has gl_FragCoord.
const char *const kFragCoord = "out vec4 c; void main() { c = gl_FragCoord; }\n";
const std::string kVersion = "#version 330 core\n";

std::string Pass(const char *attributes, const char *vert, const char *frag, const char *name = "pass")
{
	std::string text = std::string("<") + name + attributes + ">";
	if (vert != nullptr)
		text += std::string("<vert><![CDATA[") + vert + "]]></vert>";
	if (frag != nullptr)
		text += std::string("<frag><![CDATA[") + frag + "]]></frag>";
	return text + "</" + name + ">\n";
}

std::string ManyPasses(size_t count)
{
	std::string text;
	for (size_t i = 0; i < count; i++)
		text += Pass("", kVert, kFrag);
	return text;
}

std::string MakeTempFolder()
{
	char pattern[] = "/tmp/talvex-shader-XXXXXX";
	return mkdtemp(pattern) != nullptr ? pattern : "";
}

std::string WriteFile(const std::string &path, const std::string &text)
{
	std::ofstream(path, std::ios::binary) << text;
	return path;
}

// Every "%s" of a logged line stands for the path.
void ExpectLogged(const std::string &log, const std::vector<std::string> &lines, const std::string &path)
{
	for (std::string line : lines) {
		if (size_t at = line.find("%s"); at != std::string::npos)
			line.replace(at, 2, path);
		EXPECT_NE(log.find(line), std::string::npos) << "missing \"" << line << "\" in: " << log;
	}
	if (lines.empty()) {
		EXPECT_EQ(log, "");
	}
}

// A fresh folder per test, so that every file name (and so every shader
// table key) is new to the process.
class ShaderFiles : public GLTestContext {
protected:
	void SetUp() override
	{
		GLTestContext::SetUp();
		if (!IsSkipped())
			folder = MakeTempFolder();
	}
	void TearDown() override
	{
		if (!folder.empty())
			std::filesystem::remove_all(folder);
		GLTestContext::TearDown();
	}
	std::string Write(const std::string &name, const std::string &text) { return WriteFile(folder + "/" + name, text); }

	std::string folder;
};

}

TEST(ShaderSource, VersionLineThenIncludeThenOwnText)
{
	std::string folder = MakeTempFolder();
	std::string shared = WriteFile(folder + "/shared.glsl", "float F();");
	std::string empty = WriteFile(folder + "/empty.glsl", "");
	struct Row {
		std::string element, expected;
	};
	const Row rows[] = {
		{"<vert>main</vert>", kVersion + "main"},
		{"<vert include=\"" + shared + "\">main</vert>", kVersion + "float F();\n\nmain"},
		{"<vert include=\"" + shared + "\"/>", kVersion + "float F();\n\n"},
		{"<vert include=\"" + empty + "\">main</vert>", kVersion + "main"},
		{"<vert include=\"" + folder + "/missing.glsl\">main</vert>", kVersion + "main"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.element);
		tinyxml2::XMLDocument doc;
		ASSERT_EQ(doc.Parse(row.element.c_str()), tinyxml2::XML_SUCCESS);
		testing::internal::CaptureStdout(); // the missing file's own log line
		EXPECT_EQ(PreprocessShaderSource(doc.FirstChildElement()), row.expected);
		testing::internal::GetCapturedStdout();
	}
	std::filesystem::remove_all(folder);
}

// Good and broken multipass files: how many passes the shader keeps, which
// of them linked, their render modes, and what was logged.
TEST_F(ShaderFiles, MultipassFiles)
{
	struct Row {
		const char *what;
		std::string text; // empty = no file
		std::vector<bool> linked; // one per pass kept
		std::vector<uint8_t> modes;
		std::vector<std::string> logged;
	};
	const Row rows[] = {
		{"one pass", Pass("", kVert, kFrag), {true}, {0}, {}},
		{"modes by attribute presence",
		 Pass("", kVert, kFrag) + Pass(" wireframe=\"1\"", kVert, kFrag) + Pass(" depthless=\"0\"", kVert, kFrag) +
			 Pass(" wireframe=\"\" depthless=\"\"", kVert, kFrag) + Pass(" nodepthwrite=\"0\"", kVert, kFrag) +
			 Pass(" nodepthwrite=\"\" wireframe=\"\"", kVert, kFrag),
		 {true, true, true, true, true, true}, {0, 1, 2, 2, 3, 1}, {}},
		{"another name when no pass", Pass("", kVert, kFrag, "shader"), {true}, {0}, {}},
		{"before the first pass skipped, all after it read",
		 Pass("", kBroken, kFrag, "note") + Pass("", kVert, kFrag) + Pass("", kVert, kFrag, "x"), {true, true}, {0, 0}, {}},
		{"not XML", "<pass><vert>", {}, {}, {"Couldn't load multipass shader %s: invalid DSHXML\n"}},
		{"no element", "<!-- -->", {}, {}, {"No passes on shader %s\n"}},
		{"missing file", "", {}, {}, {"File cannot be read: %s\n", "No passes on shader %s\n"}},
		{"no frag", Pass("", kVert, nullptr), {false}, {0}, {"Couldn't load pass 0 frag %s\n"}},
		{"no vert in pass 1", Pass("", kVert, kFrag) + Pass("", nullptr, kFrag), {false, false}, {0, 0},
		 {"Couldn't load pass 1 vert %s\n"}},
		{"vert error", Pass("", kBroken, kFrag), {false}, {0}, {"Shader error: ", "Failed to load vert shader pass 0 on %s\n"}},
		{"frag error in pass 1", Pass("", kVert, kFrag) + Pass(" wireframe=\"\"", kVert, kBroken), {false, false}, {0, 1},
		 {"Shader error: ", "Failed to load frag shader pass 1 on %s\n"}},
		{"pass 0 fails to link, pass 1 links", Pass("", kVert, kFragClash) + Pass("", kVert, kFrag), {false, true}, {0, 0},
		 {"Shader program load error", "Failed to link shader %s\n"}},
		{"the vertex stage's text as the frag", Pass("", kVert, kVert), {false}, {0},
		 {"Shader error: ", "Failed to load frag shader pass 0 on %s\n"}},
		{"more passes than a byte counts", ManyPasses(Shader::kMaxPassCount + 1),
		 std::vector<bool>(Shader::kMaxPassCount, false), std::vector<uint8_t>(Shader::kMaxPassCount, 0),
		 {"Too many passes on shader %s\n"}},
		{"as many passes as a byte counts", ManyPasses(Shader::kMaxPassCount),
		 std::vector<bool>(Shader::kMaxPassCount, true), std::vector<uint8_t>(Shader::kMaxPassCount, 0), {}},
		{"pass 0's vertex text as pass 1's frag", Pass("", kVert, kFrag) + Pass("", kFrag, kVert), {false, false}, {0, 0},
		 {"Shader error: ", "Failed to load frag shader pass 1 on %s\n"}},
	};
	int number = 0;
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		std::string path = folder + "/case" + std::to_string(number++) + ".dsh";
		if (!row.text.empty())
			WriteFile(path, row.text);
		testing::internal::CaptureStdout();
		Shader *shader = Shader::Get(path.c_str());
		ExpectLogged(testing::internal::GetCapturedStdout(), row.logged, path);
		ASSERT_EQ(shader->GetPassCount(), row.linked.size());
		for (uint8_t i = 0; i < shader->GetPassCount(); i++) {
			EXPECT_EQ(shader->GetProgram(i) != 0, row.linked[i]) << "pass " << (int)i;
			EXPECT_EQ(shader->GetPass(i)->renderMode, row.modes[i]) << "pass " << (int)i;
		}
	}
}

// One text compiled first as one stage, then as another it is not valid for,
// must fail the second time. (Mesa skips compiling a text it has compiled
// before and reports success, whatever the stage; the link that then compiles
// it for real crashed.)
TEST_F(ShaderFiles, OneTextIsCompiledForEachStage)
{
	struct Row {
		const char *what;
		std::string text;
		uint32_t first, second;
	};
	const Row rows[] = {
		{"vertex text as fragment", kVersion + kVert, GL_VERTEX_SHADER, GL_FRAGMENT_SHADER},
		{"fragment text as vertex", kVersion + kFragCoord, GL_FRAGMENT_SHADER, GL_VERTEX_SHADER},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		const uint32_t compiled = CompileShaderSource(row.text.c_str(), row.first);
		ASSERT_NE(compiled, 0u);
		testing::internal::CaptureStdout();
		const uint32_t wrong = CompileShaderSource(row.text.c_str(), row.second);
		const std::string log = testing::internal::GetCapturedStdout();
		EXPECT_EQ(wrong, 0u);
		EXPECT_NE(log.find("Shader error: "), std::string::npos) << log;
		// The driver's line numbers are still the text's own: line 2 holds
		// the first word it refuses.
		EXPECT_NE(log.find("0:2("), std::string::npos) << log;
		glDeleteShader(compiled);
		if (wrong != 0)
			glDeleteShader(wrong);
	}
}

// A build that fails gives back every shader and program it made: of the GL
// names handed out while it ran, only the programs of passes that linked
// still name an object.
TEST_F(ShaderFiles, FailedBuildsGiveBackWhatTheyMade)
{
	struct Row {
		const char *what;
		const char *name;
		std::vector<std::pair<const char *, std::string>> files; // ending, text
	};
	const Row rows[] = {
		{"frag error in pass 1", "a.dsh", {{"", Pass("", kVert, kFrag) + Pass("", kVert, kBroken)}}},
		{"vert error in pass 1", "b.dsh", {{"", Pass("", kVert, kFrag) + Pass("", kBroken, kFrag)}}},
		{"no vert in pass 1", "c.dsh", {{"", Pass("", kVert, kFrag) + Pass("", nullptr, kFrag)}}},
		{"pass 0 fails to link", "d.dsh", {{"", Pass("", kVert, kFragClash) + Pass("", kVert, kFrag)}}},
		{"vertex text as frag", "e.dsh", {{"", Pass("", kVert, kVert)}}},
		{"pair without its frag", "f", {{".vert", kVersion + kVert}}},
		{"pair that fails to link", "g", {{".vert", kVersion + kVert}, {".frag", kVersion + kFragClash}}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		const std::string path = folder + "/" + row.name;
		for (const auto &[ending, text] : row.files)
			Write(row.name + std::string(ending), text);
		const GLuint before = glCreateShader(GL_VERTEX_SHADER);
		testing::internal::CaptureStdout();
		Shader *shader = Shader::Get(path.c_str());
		EXPECT_NE(testing::internal::GetCapturedStdout(), "");
		const GLuint after = glCreateShader(GL_VERTEX_SHADER);
		ASSERT_GT(after, before + 1) << "the build made no GL name to look at";
		for (GLuint name = before + 1; name < after; name++) {
			bool kept = false;
			for (uint8_t i = 0; i < shader->GetPassCount(); i++)
				kept = kept || shader->GetProgram(i) == name;
			EXPECT_EQ(glIsShader(name), GL_FALSE) << "shader " << name;
			EXPECT_EQ(glIsProgram(name) == GL_TRUE, kept) << "program " << name;
		}
		for (uint8_t i = 0; i < shader->GetPassCount(); i++) {
			EXPECT_EQ(shader->GetPass(i)->vertexShader, 0u) << "pass " << (int)i;
			EXPECT_EQ(shader->GetPass(i)->fragmentShader, 0u) << "pass " << (int)i;
		}
		glDeleteShader(before);
		glDeleteShader(after);
	}
}

// A name without the "dsh" extension is a GLSL pair, compiled as written.
TEST_F(ShaderFiles, GlslPairs)
{
	struct Row {
		const char *base;
		std::string vert, frag; // empty = no file
		size_t passes;
		std::vector<std::string> logged;
	};
	const Row rows[] = {
		{"both", kVersion + kVert, kVersion + kFrag, 1, {}},
		{"nofrag", kVersion + kVert, "", 0, {"Shader load failed: %s.frag\n", "Failed to load fragment shader\n"}},
		{"novert", "", kVersion + kFrag, 0, {"Shader load failed: %s.vert\n", "Failed to load vertex shader\n"}},
		// Nothing adds a version line, and a core context refuses the old default.
		{"noversion", kVert, kVersion + kFrag, 0, {"Shader error: ", "Failed to load vertex shader\n"}},
		{"nolink", kVersion + kVert, kVersion + kFragClash, 1, {"Failed to link shader\n"}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.base);
		std::string base = folder + "/" + row.base;
		if (!row.vert.empty())
			WriteFile(base + ".vert", row.vert);
		if (!row.frag.empty())
			WriteFile(base + ".frag", row.frag);
		testing::internal::CaptureStdout();
		Shader *shader = Shader::Get(base.c_str());
		ExpectLogged(testing::internal::GetCapturedStdout(), row.logged, base);
		ASSERT_EQ(shader->GetPassCount(), row.passes);
		EXPECT_EQ(shader->GetProgram(0) != 0, row.logged.empty());
	}
}

// The table builds each name hash once: asking again reads nothing and logs
// nothing, even when the first build failed.
TEST_F(ShaderFiles, TableBuildsEachNameOnce)
{
	std::string good = Write("good.dsh", Pass("", kVert, kFrag));
	std::string bad = folder + "/bad.dsh";
	Shader *first = Shader::Get(good.c_str());
	testing::internal::CaptureStdout();
	Shader *failed = Shader::Get(bad.c_str());
	testing::internal::GetCapturedStdout();
	uint32_t program = first->GetProgram(0);
	Write("good.dsh", Pass("", kVert, kFrag) + Pass("", kVert, kFrag)); // a rebuild would give two passes

	struct Row {
		std::string name;
		Shader *expected;
	};
	const Row rows[] = {{good, first}, {folder + "/GOOD.DSH", first}, {bad, failed}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		testing::internal::CaptureStdout();
		EXPECT_EQ(Shader::Get(row.name.c_str()), row.expected);
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
	}
	EXPECT_EQ(first->GetPassCount(), 1);
	EXPECT_EQ(first->GetProgram(0), program);
	EXPECT_EQ(failed->GetPassCount(), 0);
}

// Absent uniforms are -1, never 0 (a real location), in every lookup.
TEST_F(ShaderFiles, UniformLookups)
{
	Shader *shader = Shader::Get(Write("u.dsh", Pass("", kVert, kFrag)).c_str());
	const ShaderPass *pass = shader->GetPass(0);
	ASSERT_NE(pass->program, 0u);
	const bool declared[kUniformCount] = {false, true, false, true, false, false, false}; // MVP and COLOR
	bool sawZero = false;
	for (int i = 0; i < kUniformCount; i++) {
		SCOPED_TRACE(kShaderUniformNames[i]);
		int32_t location = pass->GetUniform((ShaderUniform)i);
		EXPECT_EQ(location >= 0, declared[i]);
		EXPECT_EQ(location, glGetUniformLocation(pass->program, kShaderUniformNames[i]));
		EXPECT_EQ(shader->GetUniformLocation(kShaderUniformNames[i]), location);
		sawZero = sawZero || location == 0;
	}
	EXPECT_TRUE(sawZero) << "one declared uniform should sit at location 0";
	EXPECT_EQ(shader->GetUniformLocation("UNDECLARED"), -1);
	EXPECT_EQ(shader->GetPass(1), nullptr);
	EXPECT_EQ(shader->GetProgram(255), 0u);

	Shader empty;
	EXPECT_EQ(empty.GetUniformLocation("MVP"), -1);
	testing::internal::CaptureStdout();
	Shader *unlinked = Shader::Get(Write("x.dsh", Pass("", kVert, kFragClash)).c_str());
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(unlinked->GetUniformLocation("MVP"), -1);
	for (int i = 0; i < kUniformCount; i++)
		EXPECT_EQ(unlinked->GetPass(0)->GetUniform((ShaderUniform)i), -1) << kShaderUniformNames[i];
}

// What the built-in shaders and the data tree's shaders draw. Meshes without
// vertex colours read black on attribute 3 and must still show.
TEST_F(ShaderFiles, ShadersDraw)
{
	ASSERT_TRUE(LoadDefaultShaders());
	const float red[18] = {1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0};
	const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
	struct Row {
		const char *what;
		const char *file; // null: the built-in shader
		Shader *builtIn;
		uint8_t texel[4];
		const float *colors;
		float color[3]; // "COLOR"
		uint8_t expected[4];
	};
	const Row rows[] = {
		{"built-in solid", nullptr, DefaultShaderSolid(), {0, 0, 0, 0}, nullptr, {}, {255, 0, 255, 255}},
		{"built-in textured", nullptr, DefaultShaderTextured(), {0, 128, 128, 64}, nullptr, {}, {0, 128, 128, 255}},
		{"standard, no vertex colours", "shaders/standard.dsh", nullptr, {255, 255, 0, 255}, nullptr, {1, 1, 1}, {255, 255, 0, 255}},
		{"standard, material colour", "shaders/standard.dsh", nullptr, {255, 255, 255, 255}, nullptr, {0, 0, 1}, {0, 0, 255, 255}},
		{"standard, red vertices", "shaders/standard.dsh", nullptr, {255, 255, 255, 255}, red, {1, 1, 1}, {255, 0, 0, 255}},
		{"solid colour, no vertex colours", "mats/color.dsh", nullptr, {}, nullptr, {0, 1, 0}, {0, 255, 0, 255}},
		{"solid colour, red vertices", "mats/color.dsh", nullptr, {}, red, {1, 1, 0}, {255, 0, 0, 255}},
	};
	const float positions[] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0};
	const float uvs[] = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};
	GLuint vertexArray = 0, buffers[3] = {}, texture = 0;
	glGenVertexArrays(1, &vertexArray);
	glBindVertexArray(vertexArray);
	glGenBuffers(3, buffers);
	glGenTextures(1, &texture);
	glBindTexture(GL_TEXTURE_2D, texture);
	const float *attributes[3] = {positions, uvs, red};
	for (GLuint a = 0; a < 3; a++) {
		glBindBuffer(GL_ARRAY_BUFFER, buffers[a]);
		glBufferData(GL_ARRAY_BUFFER, a == 1 ? sizeof(uvs) : sizeof(positions), attributes[a], GL_STATIC_DRAW);
		glVertexAttribPointer(a == 2 ? 3 : a, a == 1 ? 2 : 3, GL_FLOAT, GL_FALSE, 0, nullptr);
	}
	glEnableVertexAttribArray(0);
	glEnableVertexAttribArray(1);

	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Shader *shader = row.builtIn;
		if (row.file != nullptr) {
			// A copy of its own gives the file a new table key; its include
			// still comes from the data tree.
			std::string copy = folder + "/" + std::filesystem::path(row.file).filename().string();
			std::filesystem::copy_file(ResolvePath(row.file), copy, std::filesystem::copy_options::overwrite_existing);
			shader = Shader::Get(copy.c_str());
		}
		ASSERT_EQ(shader->GetPassCount(), 1);
		const ShaderPass *pass = shader->GetPass(0);
		ASSERT_NE(pass->program, 0u);
		glUseProgram(pass->program);
		glUniformMatrix4fv(pass->GetUniform(kUniformMVP), 1, GL_FALSE, identity);
		glUniform3fv(pass->GetUniform(kUniformColor), 1, row.color);
		glUniform2f(pass->GetUniform(kUniformUVScale), 1, 1);
		glUniform1i(pass->GetUniform(kUniformSampler), 0);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, row.texel);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
		if (row.colors != nullptr)
			glEnableVertexAttribArray(3);
		else
			glDisableVertexAttribArray(3);
		glClearColor(0, 0, 0, 0);
		glClear(GL_COLOR_BUFFER_BIT);
		glDrawArrays(GL_TRIANGLES, 0, 6);
		uint8_t pixel[4] = {};
		ReadPixel(kWidth / 2, kHeight / 2, pixel);
		for (int c = 0; c < 4; c++)
			EXPECT_NEAR(pixel[c], row.expected[c], 1) << "channel " << c;
	}
	glDeleteTextures(1, &texture);
	glDeleteBuffers(3, buffers);
	glDeleteVertexArrays(1, &vertexArray);
}

// Without a GL context nothing can be compiled: the request must not crash,
// and the name must stay unbuilt so that the first request made once a
// context exists really builds it.
class ShaderWithoutContext : public GLTestContext {
protected:
	void SetUp() override {}
};

TEST_F(ShaderWithoutContext, RequestsWaitForAContext)
{
	ASSERT_EQ(SDL_GL_GetCurrentContext(), nullptr);
	Shader *early = Shader::Get("shaders/standard.dsh");
	ASSERT_NE(early, nullptr);
	EXPECT_EQ(early->GetPass(0), nullptr);

	GLTestContext::SetUp();
	if (IsSkipped())
		return;
	Shader *built = Shader::Get("shaders/standard.dsh");
	ASSERT_NE(built, early);
	ASSERT_NE(built->GetPass(0), nullptr);
	EXPECT_NE(built->GetProgram(0), 0u);
}
