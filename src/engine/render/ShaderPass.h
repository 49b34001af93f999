#pragma once
#include <cstdint>

// The engine's standard uniforms, in the order their locations are stored in
// every pass. Drawing code sets only those a pass actually declares.
enum ShaderUniform : uint8_t {
	kUniformSampler,
	kUniformMVP,
	kUniformTime,
	kUniformColor,
	kUniformResolution,
	kUniformUVOffset,
	kUniformUVScale,
	kUniformCount
};

// The uniform names as the GLSL sources declare them, indexed by ShaderUniform.
extern const char *const kShaderUniformNames[kUniformCount];

// One linked GL program of a shader, with the standard uniform locations looked
// up once after linking and the render mode that drawing switches to before the
// pass. A pass whose program is 0 failed to build and draws nothing. Passes
// live inside their Shader; they never delete their program.
class ShaderPass {
public:
	// Values of the render mode, the same the renderer's SetRenderMode takes.
	static constexpr uint8_t kModeNormal = 0;
	static constexpr uint8_t kModeWireframe = 1;
	static constexpr uint8_t kModeDepthless = 2;
	static constexpr uint8_t kModeNoDepthWrite = 3;

	ShaderPass();

	// Links the pass's two compiled shaders into reuseProgram (0 = a new one)
	// and looks up the uniforms. False, with a log line, when linking fails.
	bool Link(uint32_t reuseProgram);
	// Deletes the compiled shaders of a pass that will not be linked.
	void ReleaseStages();
	// Fills the standard uniform locations from the program; a uniform the
	// program does not use stays at -1.
	void CacheUniforms();
	// -1 when the program has no such uniform (0 is a real location).
	int32_t GetUniform(ShaderUniform uniform) const { return uniforms[uniform]; }

	uint32_t program = 0;
	uint32_t vertexShader = 0;
	uint32_t fragmentShader = 0;
	int32_t uniforms[kUniformCount];
	uint8_t renderMode = kModeNormal;
};
