#include "engine/render/Renderer.h"

#include "engine/core/Camera.h"
#include "engine/core/Log.h"
#include "engine/render/Material.h"
#include "engine/render/Shader.h"
#include "engine/render/ShaderPass.h"
#include "engine/core/LoadClock.h"

#include <glad/gl.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cstddef>

namespace {

Renderer *gRenderer = nullptr;

constexpr int kWindowX = 100; // screen pixels
constexpr int kWindowY = 100;
constexpr uint32_t kWindowFlags = 0x22;		  // SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE
constexpr uint32_t kDesktopFullscreen = 0x1001; // SDL_WINDOW_FULLSCREEN_DESKTOP
constexpr int kRequiredGLMajor = 3;
constexpr int kRequiredGLMinor = 3;

constexpr float kNearPlane = 0.1f;	 // world units
constexpr float kFarPlane = 1000.0f; // world units
// The fixed orthographic view of the ortho post modes, in world units around
// the camera: a little more room above the focus than below it.
constexpr float kOrthoLeft = -11.0f;
constexpr float kOrthoRight = 11.0f;
constexpr float kOrthoBottom = -5.5f;
constexpr float kOrthoTop = 9.5f;
constexpr float kOrthoNear = 0.0f;
constexpr float kOrthoFar = 100.0f;
constexpr float kUIFar = 100.0f;  // depth range of the interface projection
constexpr float kUIDepth = -99.0f; // interface quads sit just inside its far end

// The instanced unit quad: position x, y and texture u, v per vertex.
const float kInstancedQuad[Renderer::kQuadVertexCount * 4] = {
	-0.5f, -0.5f, 0.0f, 0.0f,
	0.5f, -0.5f, 1.0f, 0.0f,
	0.5f, 0.5f, 1.0f, 1.0f,
	-0.5f, -0.5f, 0.0f, 0.0f,
	0.5f, 0.5f, 1.0f, 1.0f,
	-0.5f, 0.5f, 0.0f, 1.0f,
};
constexpr GLsizei kInstancedQuadStride = 4 * sizeof(float);
constexpr int kMatrixColumns = 4;

// Points an instance attribute (divisor 1) at the bound instance buffer.
void SetInstanceAttribute(GLint location, GLint size, size_t offset)
{
	if (location < 0)
		return;
	glEnableVertexAttribArray((GLuint)location);
	glVertexAttribPointer((GLuint)location, size, GL_FLOAT, GL_FALSE, sizeof(QuadInstance), (const void *)offset);
	glVertexAttribDivisor((GLuint)location, 1);
}

void DisableAttribute(GLint location)
{
	if (location < 0)
		return;
	glVertexAttribDivisor((GLuint)location, 0);
	glDisableVertexAttribArray((GLuint)location);
}

}

Renderer *GetRenderer()
{
	return gRenderer;
}

void QuadBatch::Release()
{
	if (instanceBuffer != 0)
		glDeleteBuffers(1, &instanceBuffer);
	instanceBuffer = 0;
}

Renderer::Renderer() = default;

Renderer::~Renderer()
{
	// GL objects can only be released in their own context; when another
	// context (or none) is current, or video has already shut down, they
	// went, or will go, with it.
	if (context != nullptr && SDL_GL_GetCurrentContext() == context)
		ReleaseGLObjects();
	// While its context still exists.
	defaultMaterial.reset();
	if (context != nullptr)
		SDL_GL_DeleteContext(context);
	if (window != nullptr)
		SDL_DestroyWindow(window);
	context = nullptr;
	window = nullptr;
	if (videoStarted)
		SDL_QuitSubSystem(SDL_INIT_VIDEO);
	if (gRenderer == this)
		gRenderer = nullptr;
}

void Renderer::ReleaseGLObjects()
{
	targets.Release();
	post.Release();
	if (instancedQuadBuffer != 0)
		glDeleteBuffers(1, &instancedQuadBuffer);
	instancedQuadBuffer = 0;
	if (instancedQuadArray != 0)
		glDeleteVertexArrays(1, &instancedQuadArray);
	instancedQuadArray = 0;
	if (vertexArray != 0)
		glDeleteVertexArrays(1, &vertexArray);
	vertexArray = 0;
}

int Renderer::Startup(const char *title)
{
	if (Init(title) != 0)
		return 1;
	LoadClock::Timing timing(LoadClock::kShaders);
	if (!LoadDefaultShaders())
		return 1;

	// One vertex array for the whole run: GL 3.3 core draws nothing without.
	glGenVertexArrays(1, &vertexArray);
	glBindVertexArray(vertexArray);

	defaultShader = DefaultShaderSolid();
	defaultMaterial = std::make_unique<Material>();
	defaultMaterial->SetShaderDirect(defaultShader);

	glEnable(GL_DEPTH_TEST);
	glDepthFunc(GL_LEQUAL);
	glEnable(GL_BLEND);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

	// A target or post-mode failure has shown its box; the game runs on with
	// whatever it could get.
	CreateRenderBuffers();
	return 0;
}

int Renderer::Init(const char *title)
{
	LoadClock::Timing timing(LoadClock::kWindow);
	if (gRenderer == nullptr)
		gRenderer = this;

	if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
		CriticalError("Unable to initialise video: %s", SDL_GetError());
		return 1;
	}
	videoStarted = true;

	LogDebug("Creating graphics context...\n");
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kRequiredGLMajor);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kRequiredGLMinor);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);

	renderWidth = windowWidth = kLogicalWidth;
	renderHeight = windowHeight = kLogicalHeight;
	window = SDL_CreateWindow(title != nullptr ? title : "", kWindowX, kWindowY, (int)kLogicalWidth,
		(int)kLogicalHeight, kWindowFlags);
	if (window == nullptr) {
		CriticalError("Window unable to open: %s", SDL_GetError());
		return 1;
	}

	context = SDL_GL_CreateContext(window);
	if (context == nullptr) {
		CriticalError("OpenGL context could not be created! SDL Error: %s", SDL_GetError());
		return 1;
	}

	int version = gladLoadGL((GLADloadfunc)SDL_GL_GetProcAddress);
	if (version == 0) {
		CriticalError("OpenGL failed to initialize.\n");
		return 1;
	}
	if (GLAD_VERSION_MAJOR(version) < kRequiredGLMajor
		|| (GLAD_VERSION_MAJOR(version) == kRequiredGLMajor && GLAD_VERSION_MINOR(version) < kRequiredGLMinor)) {
		CriticalError("OpenGL %d.%d not supported - update your drivers.\n", kRequiredGLMajor, kRequiredGLMinor);
		return 1;
	}
	LogDebug("OpenGL %s initialised with GLSL %s\n", (const char *)glGetString(GL_VERSION),
		(const char *)glGetString(GL_SHADING_LANGUAGE_VERSION));

	if (SDL_GL_SetSwapInterval(1) < 0)
		Log("Warning: Unable to set VSync! SDL Error: %s\n", SDL_GetError());

	LogDebug("Graphics context created.\n");
	BeginFrame();
	SetFade(0.0f, 0.0f);
	SetColorGrade(1.0f, 1.0f, 1.0f);
	return 0;
}

int Renderer::CreateRenderBuffers()
{
	if (!HasContext())
		return 1;

	if (!targets.Create(renderWidth, renderHeight)) {
		CriticalError("Cannot generate render buffers\n");
		return 1;
	}

	post.CreateQuad();

	if (!LoadPostModes()) {
		CriticalError("Post-processing shaders weren't loaded.\n");
		return 1;
	}
	if (!post.FirstModeHasProgram()) {
		CriticalError("Post-processing shader did not load.\n");
		// Without a program the post pass would present nothing at all; the
		// built-in copy at least shows the game.
		post.FallBackToBuiltInCopy();
		return 1;
	}
	return 0;
}

void Renderer::BeginFrame()
{
	uint32_t previousWidth = renderWidth;
	uint32_t previousHeight = renderHeight;
	if (HasContext()) {
		glDepthMask(GL_TRUE);
		post.SetWindowUniforms(windowWidth, windowHeight);
	}

	// A minimised window reports a zero size: the targets keep theirs until
	// the window has an area again.
	if (windowWidth > 0 && windowHeight > 0) {
		renderWidth = windowWidth;
		renderHeight = windowHeight;
	}
	if ((renderWidth != previousWidth || renderHeight != previousHeight) && HasContext())
		CreateRenderBuffers();
	const PostMode *mode = post.Current();

	if (HasContext()) {
		glBindFramebuffer(GL_FRAMEBUFFER, mode != nullptr ? targets.Framebuffer() : 0);
		glViewport(0, 0, (GLsizei)renderWidth, (GLsizei)renderHeight);
		Camera *camera = Camera::Get();
		if (camera != nullptr)
			glClearColor(camera->clearColor.r, camera->clearColor.g, camera->clearColor.b, 0.0f);
		else
			glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
		glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	}

	SetRenderMode(kRenderModeNormal);
	SetupUIProjection();
	SetDrawBuffer(kLayerScene);
}

void Renderer::UpdateCameraMatrices()
{
	Camera *camera = Camera::Get();
	if (camera == nullptr)
		return;
	float aspect = (float)renderWidth / (float)renderHeight;
	projectionMatrix = glm::perspective(glm::radians((float)camera->fieldOfView), aspect, kNearPlane, kFarPlane);
	viewMatrix = camera->GetViewMatrix();
}

void Renderer::SetupUIProjection()
{
	glm::mat4 projection = glm::ortho(0.0f, (float)kLogicalWidth, 0.0f, (float)kLogicalHeight, 0.0f, kUIFar);
	float sx = 1.0f;
	float sy = 1.0f;
	float ox = 0.0f;
	float oy = 0.0f;
	// A sized mode stretches the interface over the whole target; any other
	// keeps it 600:360 and centred. A zero-sized (minimised) window keeps the
	// plain projection rather than divide by zero.
	if (!IsCurrentPostModeSized() && windowWidth > 0 && windowHeight > 0) {
		float kx = (float)kLogicalWidth / (float)windowWidth;
		float ky = (float)kLogicalHeight / (float)windowHeight;
		if (ky > kx) {
			sx = kx / ky;
			ox = ((float)windowWidth * ky - (float)kLogicalWidth) * 0.5f;
		} else {
			sy = ky / kx;
			oy = ((float)windowHeight * kx - (float)kLogicalHeight) * 0.5f;
		}
	}
	uiMatrix = projection * glm::scale(glm::mat4(1.0f), glm::vec3(sx, -sy, 1.0f))
		* glm::translate(glm::mat4(1.0f), glm::vec3(ox, -(float)kLogicalHeight - oy, kUIDepth));
}

void Renderer::EndFrame()
{
	if (skipPresent) {
		skipPresent = false;
		return;
	}
	if (SDL_GetTicks() < blankUntil)
		BeginFrame();

	if (!HasContext())
		return;
	const PostMode *mode = post.Current();
	if (mode != nullptr && renderMode != kRenderModeWireframe)
		post.Run(*mode, targets, windowWidth, windowHeight);
	SDL_GL_SwapWindow(window);
}

void Renderer::Resize(uint32_t width, uint32_t height)
{
	windowWidth = width;
	windowHeight = height;
}

void Renderer::SetFullscreen(bool on)
{
	fullscreen = on;
	if (window == nullptr)
		return;
	if (on) {
		SDL_SetWindowFullscreen(window, kWindowFlags | kDesktopFullscreen);
		SDL_ShowCursor(SDL_DISABLE);
	} else {
		SDL_SetWindowFullscreen(window, kWindowFlags);
		int width = 0;
		int height = 0;
		SDL_GetWindowSize(window, &width, &height);
		Resize((uint32_t)(width > 0 ? width : 0), (uint32_t)(height > 0 ? height : 0));
		SDL_ShowCursor(SDL_ENABLE);
	}
}

void Renderer::BlankFor(uint32_t milliseconds)
{
	blankUntil = SDL_GetTicks() + milliseconds;
}

void Renderer::SetRenderMode(uint32_t mode)
{
	if (mode == renderMode)
		return;
	renderMode = mode;
	if (!HasContext())
		return;
	glPolygonMode(GL_FRONT_AND_BACK, mode == kRenderModeWireframe ? GL_LINE : GL_FILL);
	if (mode == kRenderModeNormal) {
		glEnable(GL_DEPTH_TEST);
		glDepthMask(GL_TRUE);
	} else if (mode == kRenderModeNoDepthWrite) {
		glEnable(GL_DEPTH_TEST);
		glDepthMask(GL_FALSE);
	} else {
		glDisable(GL_DEPTH_TEST);
		glDepthMask(GL_FALSE);
	}
}

void Renderer::SetDrawBuffer(uint32_t layer)
{
	if (layer >= RenderTargets::kLayerCount)
		return;
	drawBuffer = layer;
	if (HasContext() && post.Current() != nullptr)
		targets.DrawInto(layer);
}

glm::mat4 Renderer::GetMatrix(uint32_t kind) const
{
	if (kind == kMatrixInterface)
		return uiMatrix;
	if (IsCurrentPostModeOrtho())
		return glm::ortho(kOrthoLeft, kOrthoRight, kOrthoBottom, kOrthoTop, kOrthoNear, kOrthoFar) * viewMatrix;
	return projectionMatrix * viewMatrix;
}

bool Renderer::LoadPostModes()
{
	return LoadPostModesFrom(post.File().c_str());
}

bool Renderer::LoadPostModesFrom(const char *path)
{
	return post.Load(path, HasContext());
}

void Renderer::DrawInstancedQuads(QuadBatch &batch, Material *material, const QuadInstance *instances, uint32_t count)
{
	if (!HasContext() || material == nullptr || material->GetShader() == nullptr || instances == nullptr || count == 0)
		return;
	const ShaderPass *pass = material->GetShader()->GetPass(0);
	if (pass == nullptr || pass->program == 0)
		return;
	GLuint program = pass->program;
	glUseProgram(program);

	batch.samplerLocation = glGetUniformLocation(program, "uniform_SAMPLER");
	batch.mvpLocation = glGetUniformLocation(program, "uniform_MVP");
	batch.positionLocation = glGetAttribLocation(program, "inPos");
	batch.uvLocation = glGetAttribLocation(program, "inUV");
	batch.modelMatrixLocation = glGetAttribLocation(program, "modelMatrix");
	batch.colorLocation = glGetAttribLocation(program, "instanceColor");
	batch.uvOffsetLocation = glGetAttribLocation(program, "instanceUVOffset");
	batch.uvScaleLocation = glGetAttribLocation(program, "instanceUVScale");
	if (batch.mvpLocation >= 0) {
		glm::mat4 mvp = GetMatrix(batch.matrixKind);
		glUniformMatrix4fv(batch.mvpLocation, 1, GL_FALSE, glm::value_ptr(mvp));
	}

	if (instancedQuadArray == 0) {
		glGenVertexArrays(1, &instancedQuadArray);
		glGenBuffers(1, &instancedQuadBuffer);
		glBindBuffer(GL_ARRAY_BUFFER, instancedQuadBuffer);
		glBufferData(GL_ARRAY_BUFFER, sizeof(kInstancedQuad), kInstancedQuad, GL_STATIC_DRAW);
	}
	glBindVertexArray(instancedQuadArray);
	glBindBuffer(GL_ARRAY_BUFFER, instancedQuadBuffer);
	if (batch.positionLocation >= 0) {
		glEnableVertexAttribArray((GLuint)batch.positionLocation);
		glVertexAttribPointer((GLuint)batch.positionLocation, 2, GL_FLOAT, GL_FALSE, kInstancedQuadStride, nullptr);
	}
	if (batch.uvLocation >= 0) {
		glEnableVertexAttribArray((GLuint)batch.uvLocation);
		glVertexAttribPointer((GLuint)batch.uvLocation, 2, GL_FLOAT, GL_FALSE, kInstancedQuadStride,
			(const void *)(2 * sizeof(float)));
	}

	if (batch.instanceBuffer == 0)
		glGenBuffers(1, &batch.instanceBuffer);
	glBindBuffer(GL_ARRAY_BUFFER, batch.instanceBuffer);
	glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(count * sizeof(QuadInstance)), instances, GL_DYNAMIC_DRAW);
	if (batch.modelMatrixLocation >= 0) {
		for (int column = 0; column < kMatrixColumns; column++)
			SetInstanceAttribute(batch.modelMatrixLocation + column, 4,
				offsetof(QuadInstance, model) + column * sizeof(glm::vec4));
	}
	SetInstanceAttribute(batch.colorLocation, 4, offsetof(QuadInstance, color));
	SetInstanceAttribute(batch.uvOffsetLocation, 2, offsetof(QuadInstance, uvOffset));
	SetInstanceAttribute(batch.uvScaleLocation, 2, offsetof(QuadInstance, uvScale));

	glActiveTexture(GL_TEXTURE0);
	glBindTexture(GL_TEXTURE_2D, material->GetTextureId());
	glUniform1i(batch.samplerLocation, 0);
	glDrawArraysInstanced(GL_TRIANGLES, 0, kQuadVertexCount, (GLsizei)count);

	// The shared array serves programs whose attributes sit at other
	// locations: leave none of this draw's arrays enabled, and give the rest
	// of the frame back the vertex array it was drawing with.
	DisableAttribute(batch.positionLocation);
	DisableAttribute(batch.uvLocation);
	if (batch.modelMatrixLocation >= 0) {
		for (int column = 0; column < kMatrixColumns; column++)
			DisableAttribute(batch.modelMatrixLocation + column);
	}
	DisableAttribute(batch.colorLocation);
	DisableAttribute(batch.uvOffsetLocation);
	DisableAttribute(batch.uvScaleLocation);
	glBindVertexArray(vertexArray);
}
