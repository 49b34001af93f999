#include "engine/render/Shader.h"

#include <SDL.h>
#include <glad/gl.h>
#include <tinyxml2.h>

#include <cstdio>
#include <map>

#include "engine/core/FileAccess.h"
#include "engine/core/Log.h"
#include "engine/core/NameHash.h"
#include "engine/core/LoadClock.h"

namespace {

constexpr size_t kMaxShaderPathLength = 127; // characters of "%s.vert" kept
constexpr const char *kGlslVersionLine = "#version 330 core\n";
constexpr size_t kStageLineSize = 32; // bytes of the line that names a text's stage

void DeleteShaders(uint32_t vertexShader, uint32_t fragmentShader)
{
	if (vertexShader != 0)
		glDeleteShader(vertexShader);
	if (fragmentShader != 0)
		glDeleteShader(fragmentShader);
}

// Both built-in shaders share this stage: positions already in clip space, so
// the renderer can draw its quads without any matrix.
constexpr const char *kDefaultVertexSource =
	"#version 330 core\n"
	"layout(location = 0) in vec3 inPosition;\n"
	"layout(location = 1) in vec2 inUV;\n"
	"out vec2 uv;\n"
	"void main()\n"
	"{\n"
	"\tuv = inUV;\n"
	"\tgl_Position = vec4(inPosition, 1.0);\n"
	"}\n";

constexpr const char *kSolidFragmentSource =
	"#version 330 core\n"
	"out vec4 fragColor;\n"
	"void main()\n"
	"{\n"
	"\tfragColor = vec4(1.0, 0.0, 1.0, 1.0);\n"
	"}\n";

constexpr const char *kTexturedFragmentSource =
	"#version 330 core\n"
	"in vec2 uv;\n"
	"uniform sampler2D SAMPLER;\n"
	"out vec4 fragColor;\n"
	"void main()\n"
	"{\n"
	"\tfragColor = vec4(texture(SAMPLER, uv).rgb, 1.0);\n"
	"}\n";

// std::map keeps every Shader at one address for the whole run, which the
// pointers handed out by Shader::Get rely on.
std::map<uint16_t, Shader> &ShaderTable()
{
	static std::map<uint16_t, Shader> table;
	return table;
}

Shader gDefaultShaderSolid;
Shader gDefaultShaderTextured;

bool BuildDefaultShader(Shader *shader, const char *fragmentSource)
{
	shader->Clear();
	ShaderPass &pass = shader->AddPass();
	pass.vertexShader = CompileShaderSource(kDefaultVertexSource, GL_VERTEX_SHADER);
	pass.fragmentShader = CompileShaderSource(fragmentSource, GL_FRAGMENT_SHADER);
	return pass.Link(0);
}

// The first pass is the first top-level "pass" element; when the file has
// none, its first top-level element of any name.
const tinyxml2::XMLElement *FindFirstPass(const tinyxml2::XMLDocument &doc)
{
	const tinyxml2::XMLElement *first = doc.FirstChildElement("pass");
	return first != nullptr ? first : doc.FirstChildElement();
}

uint8_t ReadRenderMode(const tinyxml2::XMLElement *element)
{
	// Only the presence of the attribute counts: depthless="0" is depthless.
	if (element->FindAttribute("depthless") != nullptr)
		return ShaderPass::kModeDepthless;
	if (element->FindAttribute("wireframe") != nullptr)
		return ShaderPass::kModeWireframe;
	if (element->FindAttribute("nodepthwrite") != nullptr)
		return ShaderPass::kModeNoDepthWrite;
	return ShaderPass::kModeNormal;
}

}

Shader *Shader::Get(const char *name)
{
	if (name == nullptr)
		name = "";
	uint16_t key = HashName(name);
	std::map<uint16_t, Shader> &table = ShaderTable();
	auto found = table.find(key);
	if (found != table.end())
		return &found->second;
	if (SDL_GL_GetCurrentContext() == nullptr) {
		// Nothing can be compiled without a context; hand out an empty shader
		// and keep the name unbuilt so a later request with a context builds it.
		static Shader noContext;
		return &noContext;
	}

	// Stored before it is built so that a failed shader is kept, and not
	// read again, whatever state the build leaves it in.
	Shader *shader = &table[key];
	if (FileHasExtension(name, "dsh"))
		shader->LoadDsh(name);
	else if (!shader->LoadFiles(name, 0))
		shader->Clear();
	return shader;
}

ShaderPass *Shader::GetPass(uint8_t index)
{
	return index < passes.size() ? &passes[index] : nullptr;
}

const ShaderPass *Shader::GetPass(uint8_t index) const
{
	return index < passes.size() ? &passes[index] : nullptr;
}

uint32_t Shader::GetProgram(uint8_t index) const
{
	return index < passes.size() ? passes[index].program : 0;
}

int32_t Shader::GetUniformLocation(const char *name) const
{
	// 0 is a valid location, so "not found" must be -1 in every case.
	if (passes.empty() || passes[0].program == 0 || name == nullptr)
		return -1;
	return glGetUniformLocation(passes[0].program, name);
}

ShaderPass &Shader::AddPass()
{
	passes.emplace_back();
	return passes.back();
}

bool Shader::LoadFiles(const char *baseName, uint32_t program)
{
	LoadClock::Timing timing(LoadClock::kShaders);
	ShaderPass &pass = AddPass();
	char path[kMaxShaderPathLength + 1];

	snprintf(path, sizeof(path), "%s.vert", baseName);
	pass.vertexShader = CompileShaderFile(path, GL_VERTEX_SHADER);
	if (pass.vertexShader == 0) {
		Log("Failed to load vertex shader\n");
		return false;
	}
	snprintf(path, sizeof(path), "%s.frag", baseName);
	pass.fragmentShader = CompileShaderFile(path, GL_FRAGMENT_SHADER);
	if (pass.fragmentShader == 0) {
		Log("Failed to load fragment shader\n");
		pass.ReleaseStages();
		return false;
	}
	pass.Link(program);
	return true;
}

void Shader::LoadDsh(const char *path)
{
	LoadClock::Timing timing(LoadClock::kShaders);
	LogDebug("Loading shader %s...\n", path);
	passes.clear();

	tinyxml2::XMLDocument doc;
	LoadXmlFile(path, doc);
	if (doc.Error()) {
		Log("Couldn't load multipass shader %s: invalid DSHXML\n", path);
		return;
	}
	const tinyxml2::XMLElement *first = FindFirstPass(doc);
	if (first == nullptr) {
		Log("No passes on shader %s\n", path);
		return;
	}

	// Linking waits until every pass compiled: a pass that failed leaves
	// every pass unlinked, and the compiled stages are given back.
	if (!CompileDshPasses(first, path)) {
		for (ShaderPass &pass : passes)
			pass.ReleaseStages();
		return;
	}
	// One pass that fails to link does not keep the others from drawing.
	for (ShaderPass &pass : passes) {
		pass.program = LinkProgram(pass.vertexShader, pass.fragmentShader, 0);
		// LinkProgram deleted both stages, linked or not.
		pass.vertexShader = 0;
		pass.fragmentShader = 0;
		if (pass.program == 0) {
			Log("Failed to link shader %s\n", path);
			continue;
		}
		pass.CacheUniforms();
	}
}

bool Shader::CompileDshPasses(const tinyxml2::XMLElement *first, const char *path)
{
	int n = 0;
	for (const tinyxml2::XMLElement *element = first; element != nullptr;
	     element = element->NextSiblingElement(), n++) {
		if (passes.size() == kMaxPassCount) {
			Log("Too many passes on shader %s\n", path);
			return false;
		}
		ShaderPass &pass = AddPass();
		pass.renderMode = ReadRenderMode(element);
		const tinyxml2::XMLElement *frag = element->FirstChildElement("frag");
		if (frag == nullptr) {
			Log("Couldn't load pass %d frag %s\n", n, path);
			return false;
		}
		const tinyxml2::XMLElement *vert = element->FirstChildElement("vert");
		if (vert == nullptr) {
			Log("Couldn't load pass %d vert %s\n", n, path);
			return false;
		}
		pass.vertexShader = CompileShaderSource(PreprocessShaderSource(vert).c_str(), GL_VERTEX_SHADER);
		if (pass.vertexShader == 0) {
			Log("Failed to load vert shader pass %i on %s\n", n, path);
			return false;
		}
		pass.fragmentShader = CompileShaderSource(PreprocessShaderSource(frag).c_str(), GL_FRAGMENT_SHADER);
		if (pass.fragmentShader == 0) {
			Log("Failed to load frag shader pass %i on %s\n", n, path);
			return false;
		}
	}
	return true;
}

bool LoadDefaultShaders()
{
	bool ok = true;
	if (!BuildDefaultShader(&gDefaultShaderSolid, kSolidFragmentSource)) {
		CriticalError("Failed to load default shader 0\n");
		ok = false;
	}
	if (!BuildDefaultShader(&gDefaultShaderTextured, kTexturedFragmentSource)) {
		CriticalError("Failed to load default shader 1\n");
		ok = false;
	}
	return ok;
}

Shader *DefaultShaderSolid()
{
	return &gDefaultShaderSolid;
}

Shader *DefaultShaderTextured()
{
	return &gDefaultShaderTextured;
}

uint32_t CompileShaderFile(const char *path, uint32_t type)
{
	std::string text = ReadWholeFile(path);
	if (text.empty()) {
		Log("Shader load failed: %s\n", path);
		return 0;
	}
	LogDebug("Shader compile: %s\n", path);
	return CompileShaderSource(text.c_str(), type);
}

uint32_t CompileShaderSource(const char *source, uint32_t type)
{
	GLuint shader = glCreateShader(type);
	if (shader == 0)
		return 0;
	// Mesa remembers the texts it has compiled and, handed one again, skips
	// the compile and reports success, compiling for real only inside
	// glLinkProgram. It knows a text by its characters alone, not by its
	// stage: a vertex stage's text given again as a fragment stage passes
	// here unchecked, then fails inside the link, whose failure path reads
	// memory it has freed. So every text ends in a line naming its stage:
	// one text can then never stand for two stages, and a reported success
	// is one this stage really had. The line comes last so that "#version"
	// stays first and the driver's line numbers stay the author's.
	char stageLine[kStageLineSize];
	snprintf(stageLine, sizeof(stageLine), "\n// stage 0x%X\n", (unsigned)type);
	const GLchar *parts[] = {source, stageLine};
	glShaderSource(shader, 2, parts, nullptr);
	glCompileShader(shader);
	GLint status = GL_FALSE;
	glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
	if (status == GL_FALSE) {
		GLint length = 0;
		glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
		if (length > 0) {
			std::string message((size_t)length, '\0');
			glGetShaderInfoLog(shader, length, nullptr, message.data());
			Log("Shader error: %s\n", message.c_str());
		}
		glDeleteShader(shader);
		return 0;
	}
	return shader;
}

uint32_t LinkProgram(uint32_t vertexShader, uint32_t fragmentShader, uint32_t program)
{
	// A stage that never compiled cannot be attached; report it as the
	// failed link it would be.
	if (vertexShader == 0 || fragmentShader == 0) {
		DeleteShaders(vertexShader, fragmentShader);
		return 0;
	}
	const bool made = program == 0;
	if (made)
		program = glCreateProgram();
	if (program == 0) {
		DeleteShaders(vertexShader, fragmentShader);
		return 0;
	}
	glAttachShader(program, vertexShader);
	glAttachShader(program, fragmentShader);
	glLinkProgram(program);
	GLint status = GL_FALSE;
	glGetProgramiv(program, GL_LINK_STATUS, &status);
	glDetachShader(program, vertexShader);
	glDetachShader(program, fragmentShader);
	DeleteShaders(vertexShader, fragmentShader);
	if (status == GL_FALSE) {
		GLint length = 0;
		glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
		if (length > 0) {
			std::string message((size_t)length, '\0');
			glGetProgramInfoLog(program, length, nullptr, message.data());
			Log("Shader program load error%s\n", message.c_str());
		}
		if (made)
			glDeleteProgram(program);
		return 0;
	}
	return program;
}

std::string PreprocessShaderSource(const tinyxml2::XMLElement *element)
{
	std::string source = kGlslVersionLine;
	const char *include = element->Attribute("include");
	if (include != nullptr) {
		std::string included = ReadWholeFile(include);
		if (!included.empty()) {
			source += included;
			source += "\n\n";
		}
	}
	const char *text = element->GetText();
	if (text != nullptr)
		source += text;
	return source;
}
