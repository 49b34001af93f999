#pragma once

#include "engine/render/PostMode.h"
#include "engine/render/PostPass.h"
#include "engine/render/RenderTargets.h"

#include <SDL.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <memory>

class Material;
class Shader;

// One instance of Renderer::DrawInstancedQuads: a quad's model matrix, tint
// and texture window, laid out exactly as the instance buffer holds it.
struct QuadInstance {
	glm::mat4 model;	 // four column vectors, attributes "modelMatrix" + 0..3
	glm::vec4 color;	 // "instanceColor"
	glm::vec2 uvOffset; // "instanceUVOffset"
	glm::vec2 uvScale;	 // "instanceUVScale"
};
static_assert(sizeof(QuadInstance) == 96, "the instance layout is 96 bytes");

// What one caller of Renderer::DrawInstancedQuads keeps between draws: its
// instance buffer and the locations looked up on the material's program.
// Release deletes the buffer; the batch never owns the material.
struct QuadBatch {
	uint32_t instanceBuffer = 0; // GL buffer, 0 = not made yet
	int32_t samplerLocation = -1;	 // "uniform_SAMPLER"
	int32_t mvpLocation = -1;		 // "uniform_MVP"
	int32_t positionLocation = -1;	 // "inPos"
	int32_t uvLocation = -1;		 // "inUV"
	int32_t modelMatrixLocation = -1; // "modelMatrix" (four consecutive locations)
	int32_t colorLocation = -1;		 // "instanceColor"
	int32_t uvOffsetLocation = -1;	 // "instanceUVOffset"
	int32_t uvScaleLocation = -1;	 // "instanceUVScale"
	uint32_t matrixKind = 1;		 // which Renderer::GetMatrix projects the quads

	// Needs the GL context the buffer was made in.
	void Release();
};

// The one renderer: it owns the window, the OpenGL 3.3 core context, the
// offscreen targets (RenderTargets) and the post pass (PostPass), and brackets
// every frame. Between BeginFrame and EndFrame all drawing goes into one
// offscreen framebuffer with two colour layers (the 3D scene and the
// interface) and a depth texture; EndFrame composes them into the window
// through the current post-processing mode's program, read from "post.xml",
// and swaps. It also keeps the projection, view and interface matrices that
// drawing code asks for, and the global render mode that shader passes switch.
// It lives inside the game object; every call is safe before Startup (or
// without any GL context), doing only its bookkeeping then.
class Renderer {
public:
	static constexpr uint32_t kLogicalWidth = 600;	 // interface units across
	static constexpr uint32_t kLogicalHeight = 360; // interface units down

	static constexpr uint32_t kRenderModeNormal = 0;
	static constexpr uint32_t kRenderModeWireframe = 1;
	static constexpr uint32_t kRenderModeDepthless = 2;
	static constexpr uint32_t kRenderModeNoDepthWrite = 3; // tested against depth, writes none (blended decals)

	static constexpr uint32_t kLayerScene = 0;
	static constexpr uint32_t kLayerInterface = 1;

	static constexpr uint32_t kMatrixInterface = 1; // GetMatrix kind of the 600 x 360 screen

	static constexpr int kQuadVertexCount = 6; // a quad drawn as two triangles

	Renderer();
	// Releases the GL objects, the context and the window it made, and stops
	// being the renderer GetRenderer returns.
	~Renderer();
	Renderer(const Renderer &) = delete;
	Renderer &operator=(const Renderer &) = delete;

	// Init, the built-in shaders, the GL state and the render targets.
	// 0 ok; 1 when the window, the context or the built-in shaders failed (a
	// critical-error box has been shown). A render-target or post-mode
	// failure shows its box but still returns 0.
	int Startup(const char *title);
	// SDL video, window, context, GL loader and vertical sync. 0 ok, 1 failed.
	int Init(const char *title);
	// Rebuilds the offscreen targets at the render size and reloads the post
	// modes. 0 ok, 1 failed (after a critical-error box).
	int CreateRenderBuffers();

	void BeginFrame();
	// Projection and view from the current camera; both stay as they were
	// when there is none.
	void UpdateCameraMatrices();
	void EndFrame();

	// Stores the window size; the targets follow at the next BeginFrame.
	void Resize(uint32_t width, uint32_t height);
	void SetFullscreen(bool on);
	bool IsFullscreen() const { return fullscreen; }
	// The next EndFrame draws and swaps nothing, so the window keeps its last
	// picture (used while a map loads).
	void SkipNextPresent() { skipPresent = true; }
	// Until milliseconds from now, each frame is presented blank.
	void BlankFor(uint32_t milliseconds);

	// Whether world models wholly outside the camera's view are left undrawn
	// (and unskinned); on by default. Off draws every model wherever it is,
	// which must give the same picture: the twin that keeps culling honest.
	void SetModelCulling(bool on) { modelCulling = on; }
	bool IsModelCulling() const { return modelCulling; }

	// 0 normal, 1 wireframe, 2 depthless; GL changes only with the value.
	void SetRenderMode(uint32_t mode);
	uint32_t GetRenderMode() const { return renderMode; }
	// Directs drawing to layer 0 (scene) or 1 (interface) alone; any other
	// value is ignored. The layer is always recorded; GL is told only while a
	// post mode exists.
	void SetDrawBuffer(uint32_t layer);
	uint32_t GetDrawBuffer() const { return drawBuffer; }

	// Kind 1: the interface matrix. Any other kind: the 3D view, orthographic
	// in an ortho post mode, else the camera's perspective.
	glm::mat4 GetMatrix(uint32_t kind) const;
	glm::mat4 GetUIMatrix() const { return uiMatrix; }
	glm::mat4 GetViewMatrix() const { return viewMatrix; }
	// Rebuilds the interface matrix for the window size and post mode.
	void SetupUIProjection();

	// The logical interface size, whatever the window's.
	uint32_t GetWidth() const { return kLogicalWidth; }
	uint32_t GetHeight() const { return kLogicalHeight; }
	// The interface point at fractions of the logical screen: (0, 0) top
	// left, (1, 1) bottom right.
	static glm::vec2 ScreenPoint(float fx, float fy)
	{
		return glm::vec2(static_cast<float>(kLogicalWidth) * fx, static_cast<float>(kLogicalHeight) * fy);
	}
	uint32_t GetWindowWidth() const { return windowWidth; }
	uint32_t GetWindowHeight() const { return windowHeight; }
	uint32_t GetRenderWidth() const { return renderWidth; }
	uint32_t GetRenderHeight() const { return renderHeight; }
	SDL_Window *GetWindow() const { return window; }
	SDL_GLContext GetContext() const { return context; }
	Material *GetDefaultMaterial() const { return defaultMaterial.get(); }

	// GL names of the offscreen targets, 0 before Startup.
	uint32_t GetFramebuffer() const { return targets.Framebuffer(); }
	uint32_t GetLayerTexture(uint32_t layer) const { return targets.LayerTexture(layer); }
	uint32_t GetDepthTexture() const { return targets.DepthTexture(); }

	// Post-processing modes.
	// Reads the post mode file ("post.xml" unless SetPostModeFile chose
	// another) into the table. False, leaving only the built-in "Default"
	// mode, when the file is unreadable, malformed or has no "mode".
	bool LoadPostModes();
	bool LoadPostModesFrom(const char *path);
	// The file that LoadPostModes and CreateRenderBuffers read; tests point
	// it at files of their own.
	void SetPostModeFile(const char *path) { post.SetFile(path); }
	// Null when index is past the table.
	const PostMode *GetPostMode(uint16_t index) const { return post.Mode(index); }
	uint16_t GetPostModeCount() const { return post.Count(); }
	uint16_t GetPostModeIndex() const { return post.Index(); }
	// An index past the table, or of a mode without a program, selects mode 0.
	void SetPostModeIndex(uint8_t index) { post.SetIndex(index); }
	// False past the table and for a mode without a program.
	bool IsPostModeSelectable(uint16_t index) const { return post.IsSelectable(index); }
	// False for mode 0 and past the table.
	bool IsPostModeOrtho(uint8_t index) const { return post.IsOrtho(index); }
	bool IsCurrentPostModeOrtho() const { return post.IsCurrentOrtho(); }
	// A mode past 0 with a width of its own.
	bool IsCurrentPostModeSized() const { return post.IsCurrentSized(); }

	// The values the post program reads: fade direction (radians) and amount
	// (1 = fully faded), colour grade (an unused first value, contrast,
	// saturation) and the overlay mode ("MODE").
	void SetFade(float angle, float amount) { post.SetFade(angle, amount); }
	void SetColorGrade(float first, float contrast, float saturation)
	{
		post.SetColorGrade(first, contrast, saturation);
	}
	void SetOverlayMode(uint16_t mode) { post.SetOverlayMode(mode); }
	float GetFadeAngle() const { return post.FadeAngle(); }
	float GetFadeAmount() const { return post.FadeAmount(); }
	uint16_t GetOverlayMode() const { return post.OverlayMode(); }

	// Draws count textured quads in one call with the first pass of the
	// material's shader, which reads the attributes and uniforms named in
	// QuadBatch. Nothing without a context, a program or instances.
	void DrawInstancedQuads(QuadBatch &batch, Material *material, const QuadInstance *instances, uint32_t count);

private:
	bool HasContext() const { return context != nullptr; }
	void ReleaseGLObjects();

	uint32_t renderWidth = kLogicalWidth;
	uint32_t renderHeight = kLogicalHeight;
	uint32_t windowWidth = kLogicalWidth;
	uint32_t windowHeight = kLogicalHeight;
	SDL_Window *window = nullptr;
	SDL_GLContext context = nullptr;
	bool videoStarted = false;	// this renderer holds a reference on SDL video
	bool fullscreen = false;
	uint32_t vertexArray = 0;
	Shader *defaultShader = nullptr;
	std::unique_ptr<Material> defaultMaterial;
	uint32_t renderMode = kRenderModeNormal;
	bool skipPresent = false;
	bool modelCulling = true;
	uint32_t blankUntil = 0; // SDL ticks
	uint32_t drawBuffer = kLayerScene;
	RenderTargets targets;
	PostPass post;
	uint32_t instancedQuadArray = 0;  // DrawInstancedQuads' own vertex array
	uint32_t instancedQuadBuffer = 0; // its unit quad
	glm::mat4 uiMatrix = glm::mat4(1.0f);
	glm::mat4 viewMatrix = glm::mat4(1.0f);
	glm::mat4 projectionMatrix = glm::mat4(1.0f);
};

// The renderer that first ran Init; null while none has.
Renderer *GetRenderer();
