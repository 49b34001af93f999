#pragma once

#include <cstdint>

// The offscreen targets every frame is drawn into: one framebuffer with two
// colour layers (the 3D scene and the interface, each an RGBA texture) and a
// depth texture, all at the render size. The post pass reads the three
// textures back when it composes the window. The renderer owns the one set
// and rebuilds it whenever the render size changes. Release needs the GL
// context the targets were made in, so the targets never free anything on
// their own: the renderer calls Release while its context is current.
class RenderTargets {
public:
	static constexpr uint32_t kLayerCount = 2;

	// Makes the framebuffer, both layers and the depth texture afresh at
	// width x height, freeing the old ones first. False when the framebuffer
	// is not complete.
	bool Create(uint32_t width, uint32_t height);
	// Needs the GL context the targets were made in.
	void Release();
	// Directs drawing to that one layer (below kLayerCount).
	void DrawInto(uint32_t layer) const;

	// GL names, 0 before Create.
	uint32_t Framebuffer() const { return framebuffer; }
	uint32_t LayerTexture(uint32_t layer) const { return layer < kLayerCount ? layerTextures[layer] : 0; }
	uint32_t DepthTexture() const { return depthTexture; }

private:
	uint32_t framebuffer = 0; // both colour layers live in this one
	uint32_t layerTextures[kLayerCount] = {0, 0};
	uint32_t depthRenderbuffer = 0;
	uint32_t depthTexture = 0;
};
