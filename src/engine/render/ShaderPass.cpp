#include "engine/render/ShaderPass.h"

#include <glad/gl.h>

#include "engine/core/Log.h"
#include "engine/render/Shader.h"

const char *const kShaderUniformNames[kUniformCount] = {
	"SAMPLER", "MVP", "TIME", "COLOR", "RESOLUTION", "UV_OFFSET", "UV_SCALE",
};

ShaderPass::ShaderPass()
{
	for (int32_t &location : uniforms)
		location = -1;
}

bool ShaderPass::Link(uint32_t reuseProgram)
{
	program = LinkProgram(vertexShader, fragmentShader, reuseProgram);
	// LinkProgram deleted both shader objects, linked or not; forget their
	// names so nothing refers to a name GL may hand out again.
	vertexShader = 0;
	fragmentShader = 0;
	if (program == 0) {
		Log("Failed to link shader\n");
		return false;
	}
	CacheUniforms();
	return true;
}

void ShaderPass::ReleaseStages()
{
	if (vertexShader != 0)
		glDeleteShader(vertexShader);
	if (fragmentShader != 0)
		glDeleteShader(fragmentShader);
	vertexShader = 0;
	fragmentShader = 0;
}

void ShaderPass::CacheUniforms()
{
	for (int i = 0; i < kUniformCount; i++)
		uniforms[i] = program != 0 ? glGetUniformLocation(program, kShaderUniformNames[i]) : -1;
}
