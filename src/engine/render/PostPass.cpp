#include "engine/render/PostPass.h"

#include "engine/core/FileAccess.h"
#include "engine/render/RenderTargets.h"
#include "engine/render/Renderer.h"
#include "engine/render/Shader.h"

#include <SDL.h>
#include <glad/gl.h>
#include <tinyxml2.h>

#include <initializer_list>

namespace {

constexpr float kMillisecondsToSeconds = 0.001f;

// Texture units of the post pass.
constexpr GLint kSceneUnit = 0;
constexpr GLint kDepthUnit = 1;
constexpr GLint kInterfaceUnit = 2;

constexpr GLuint kPositionAttribute = 0;
constexpr GLuint kUVAttribute = 1;

// The full-window quad of the post pass, in clip space, and its texture
// coordinates.
const float kQuadPositions[Renderer::kQuadVertexCount * 3] = {
	-1.0f, -1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, 1.0f, 0.0f,
	-1.0f, 1.0f, 0.0f, 1.0f, -1.0f, 0.0f, 1.0f, 1.0f, 0.0f,
};
const float kQuadUVs[Renderer::kQuadVertexCount * 2] = {
	0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f,
	0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f,
};

}

bool PostPass::Load(const char *path, bool hasContext)
{
	modes.clear();
	tinyxml2::XMLDocument document;
	LoadXmlFile(path, document);
	bool loaded = false;
	if (hasContext) {
		loaded = PostMode::ReadTable(document, modes,
			[](const char *shaderName) { return Shader::Get(shaderName)->GetProgram(0); });
	}
	if (!loaded) {
		modes.clear();
		PostMode fallback;
		fallback.SetName("Default");
		fallback.program = DefaultShaderTextured()->GetProgram(0);
		modes.push_back(fallback);
	}
	if (hasContext) {
		for (PostMode &mode : modes)
			mode.CacheUniforms();
	}
	// The table may have shrunk under the current index.
	SetIndex((uint8_t)index);
	return loaded;
}

void PostPass::FallBackToBuiltInCopy()
{
	if (modes.empty())
		modes.emplace_back();
	modes[0].program = DefaultShaderTextured()->GetProgram(0);
	modes[0].CacheUniforms();
}

void PostPass::SetIndex(uint8_t at)
{
	if (at >= modes.size() || modes[at].program == 0)
		at = 0;
	index = at;
}

bool PostPass::IsSelectable(uint16_t at) const
{
	return at < modes.size() && modes[at].selectable && modes[at].program != 0;
}

bool PostPass::IsOrtho(uint8_t at) const
{
	return at > 0 && at < modes.size() && modes[at].ortho;
}

bool PostPass::IsCurrentOrtho() const
{
	return index <= UINT8_MAX && IsOrtho((uint8_t)index);
}

bool PostPass::IsCurrentSized() const
{
	return index > 0 && index < modes.size() && modes[index].width != 0;
}

void PostPass::SetFade(float angle, float amount)
{
	fadeAngle = angle;
	fadeAmount = amount;
}

void PostPass::SetColorGrade(float first, float contrast, float saturation)
{
	colorGrade = glm::vec3(first, contrast, saturation);
}

void PostPass::SetWindowUniforms(uint32_t windowWidth, uint32_t windowHeight) const
{
	const PostMode *mode = Current();
	if (mode == nullptr || mode->program == 0)
		return;
	// The uniforms belong to the post program, which must be current for
	// them to land there rather than on whatever drew last.
	glUseProgram(mode->program);
	glUniform2f(mode->uniforms[kPostWindow], (float)windowWidth, (float)windowHeight);
	glUniform1i(mode->uniforms[kPostMode], overlayMode);
	if (mode->width > 0 && mode->height > 0)
		glUniform2f(mode->uniforms[kPostResolution], (float)mode->width, (float)mode->height);
	else
		glUniform2f(mode->uniforms[kPostResolution], (float)windowWidth, (float)windowHeight);
}

void PostPass::CreateQuad()
{
	// The quad never changes, so its buffers are made and filled once and
	// survive every rebuild of the targets.
	if (quadPositionBuffer == 0) {
		glGenBuffers(1, &quadPositionBuffer);
		glBindBuffer(GL_ARRAY_BUFFER, quadPositionBuffer);
		glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadPositions), kQuadPositions, GL_STATIC_DRAW);
	}
	if (quadUVBuffer == 0) {
		glGenBuffers(1, &quadUVBuffer);
		glBindBuffer(GL_ARRAY_BUFFER, quadUVBuffer);
		glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadUVs), kQuadUVs, GL_STATIC_DRAW);
	}
}

void PostPass::Run(const PostMode &mode, const RenderTargets &targets, uint32_t windowWidth,
	uint32_t windowHeight) const
{
	glBindFramebuffer(GL_FRAMEBUFFER, 0);
	glViewport(0, 0, (GLsizei)windowWidth, (GLsizei)windowHeight);
	glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

	glUseProgram(mode.program);
	glDisable(GL_DEPTH_TEST);

	glActiveTexture(GL_TEXTURE0 + kSceneUnit);
	glBindTexture(GL_TEXTURE_2D, targets.LayerTexture(Renderer::kLayerScene));
	glUniform1i(mode.uniforms[kPostSampler], kSceneUnit);
	glActiveTexture(GL_TEXTURE0 + kInterfaceUnit);
	glBindTexture(GL_TEXTURE_2D, targets.LayerTexture(Renderer::kLayerInterface));
	glUniform1i(mode.uniforms[kPostSamplerUI], kInterfaceUnit);
	glActiveTexture(GL_TEXTURE0 + kDepthUnit);
	glBindTexture(GL_TEXTURE_2D, targets.DepthTexture());
	glUniform1i(mode.uniforms[kPostDepth], kDepthUnit);
	// Materials bind on unit 0 without selecting it first on every path.
	glActiveTexture(GL_TEXTURE0);

	glUniform1f(mode.uniforms[kPostTime], (float)SDL_GetTicks() * kMillisecondsToSeconds);
	glUniform1f(mode.uniforms[kPostFadeAmount], fadeAmount);
	glUniform1f(mode.uniforms[kPostFadeAngle], fadeAngle);
	glUniform1f(mode.uniforms[kPostContrast], colorGrade.y);
	glUniform1f(mode.uniforms[kPostSaturation], colorGrade.z);

	glBindBuffer(GL_ARRAY_BUFFER, quadPositionBuffer);
	glEnableVertexAttribArray(kPositionAttribute);
	glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
	glBindBuffer(GL_ARRAY_BUFFER, quadUVBuffer);
	glEnableVertexAttribArray(kUVAttribute);
	glVertexAttribPointer(kUVAttribute, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
	glDrawArrays(GL_TRIANGLES, 0, Renderer::kQuadVertexCount);
	glDisableVertexAttribArray(kPositionAttribute);
	glDisableVertexAttribArray(kUVAttribute);
	glEnable(GL_DEPTH_TEST);
}

void PostPass::Release()
{
	for (uint32_t *buffer : {&quadPositionBuffer, &quadUVBuffer}) {
		if (*buffer != 0)
			glDeleteBuffers(1, buffer);
		*buffer = 0;
	}
}
