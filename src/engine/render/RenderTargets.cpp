#include "engine/render/RenderTargets.h"

#include <glad/gl.h>

namespace {

const GLenum kDrawBuffers[RenderTargets::kLayerCount] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};

void DeleteTexture(uint32_t &name)
{
	if (name != 0)
		glDeleteTextures(1, &name);
	name = 0;
}

void SetTextureParameters()
{
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}

bool RenderTargets::Create(uint32_t width, uint32_t height)
{
	if (framebuffer != 0)
		glDeleteFramebuffers(1, &framebuffer);
	glGenFramebuffers(1, &framebuffer);

	for (uint32_t layer = 0; layer < kLayerCount; layer++) {
		glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
		DeleteTexture(layerTextures[layer]);
		glGenTextures(1, &layerTextures[layer]);
		glBindTexture(GL_TEXTURE_2D, layerTextures[layer]);
		glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, (GLsizei)width, (GLsizei)height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
			nullptr);
		SetTextureParameters();
		glFramebufferTexture(GL_FRAMEBUFFER, kDrawBuffers[layer], layerTextures[layer], 0);
	}

	if (depthRenderbuffer != 0)
		glDeleteRenderbuffers(1, &depthRenderbuffer);
	glGenRenderbuffers(1, &depthRenderbuffer);
	glBindRenderbuffer(GL_RENDERBUFFER, depthRenderbuffer);
	glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, (GLsizei)width, (GLsizei)height);
	glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRenderbuffer);

	// The depth texture takes the renderbuffer's place, so the post program
	// can read depth as "DEPTH".
	DeleteTexture(depthTexture);
	glGenTextures(1, &depthTexture);
	glBindTexture(GL_TEXTURE_2D, depthTexture);
	glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, (GLsizei)width, (GLsizei)height, 0, GL_DEPTH_COMPONENT,
		GL_FLOAT, nullptr);
	SetTextureParameters();
	glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTexture, 0);

	glDrawBuffers(kLayerCount, kDrawBuffers);
	return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void RenderTargets::Release()
{
	if (framebuffer != 0)
		glDeleteFramebuffers(1, &framebuffer);
	framebuffer = 0;
	for (uint32_t &texture : layerTextures)
		DeleteTexture(texture);
	if (depthRenderbuffer != 0)
		glDeleteRenderbuffers(1, &depthRenderbuffer);
	depthRenderbuffer = 0;
	DeleteTexture(depthTexture);
}

void RenderTargets::DrawInto(uint32_t layer) const
{
	glDrawBuffers(1, &kDrawBuffers[layer]);
}
