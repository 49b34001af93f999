#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/ShaderPass.h"

namespace tinyxml2 {
class XMLElement;
}

// A shader as drawing code sees it: an ordered list of passes, each drawn over
// the whole mesh. Shaders are named by a ".dsh" multipass file or by the base
// name of a ".vert"/".frag" pair, built on first request and kept in one table
// keyed by the 16-bit hash of the name for the rest of the run; a shader that
// failed to build stays there, empty or partly built, and is never retried.
// Callers never own or delete a Shader. Main thread only (the GL thread).
class Shader {
public:
	// The most passes a shader holds: GetPassCount counts them in a byte.
	static constexpr size_t kMaxPassCount = UINT8_MAX;

	// The table's shader for the name, built on first request. Never null.
	static Shader *Get(const char *name);

	// Null when index is past the last pass.
	ShaderPass *GetPass(uint8_t index);
	const ShaderPass *GetPass(uint8_t index) const;
	uint8_t GetPassCount() const { return (uint8_t)passes.size(); }
	// The pass's program; 0 when index is past the last pass.
	uint32_t GetProgram(uint8_t index) const;
	// The location in pass 0's program; -1 when there is no such uniform, no
	// pass, or pass 0 failed to link.
	int32_t GetUniformLocation(const char *name) const;

	// Appends one pass compiled from baseName + ".vert" and baseName + ".frag",
	// linked into program (0 = a new one). False when a file fails to compile;
	// a link failure still returns true and leaves the pass's program at 0.
	bool LoadFiles(const char *baseName, uint32_t program);
	// Replaces the passes with those of a multipass file. Failures are logged;
	// the shader keeps whatever passes were read before the failure.
	void LoadDsh(const char *path);

	void Clear() { passes.clear(); }
	ShaderPass &AddPass();

private:
	// Appends and compiles the passes of a multipass file from its first
	// pass element on; false (logged) at the first pass that fails.
	bool CompileDshPasses(const tinyxml2::XMLElement *first, const char *path);

	std::vector<ShaderPass> passes;
};

// Builds the two built-in shaders; false (after a critical-error box) when the
// driver refuses either of them.
bool LoadDefaultShaders();
// Opaque magenta over positions as given: marks a missing material.
Shader *DefaultShaderSolid();
// Copies "SAMPLER" with alpha forced to 1: the fallback post-processing program.
Shader *DefaultShaderTextured();

// Reads a GLSL file beside the executable and compiles its text as written,
// adding no version line; 0 on failure (logged).
uint32_t CompileShaderFile(const char *path, uint32_t type);
// Compiles source text as a shader of the given GL type; 0 on failure, with the
// driver's message in the log. The text is compiled with a last line naming
// its stage added, so that the driver never takes it for another stage's.
uint32_t CompileShaderSource(const char *source, uint32_t type);
// Links the two shaders into program (0 = a new one) and deletes them, linked
// or not. 0 on failure (logged); a program it made is then deleted too.
uint32_t LinkProgram(uint32_t vertexShader, uint32_t fragmentShader, uint32_t program);
// The GLSL text of a multipass file's "vert" or "frag" element: the version
// line, the file named by its "include" attribute, then its own text.
std::string PreprocessShaderSource(const tinyxml2::XMLElement *element);
