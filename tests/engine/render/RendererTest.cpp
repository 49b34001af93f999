#include "engine/render/Renderer.h"

#include <glad/gl.h>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/Camera.h"
#include "engine/core/Log.h"
#include "engine/render/Material.h"
#include "engine/render/Shader.h"
#include "support/TempFolder.h"
#include "support/MissingDevice.h"

namespace {

constexpr int kWindowHeight = 360; // the renderer's window as created
constexpr int kColorTolerance = 3; // 8-bit steps of rounding the GPU may add

struct Color {
	int r, g, b;
};
const Color kRed = {255, 0, 0};
const Color kGreen = {0, 255, 0};
const Color kBlue = {0, 0, 255};
const Color kBlack = {0, 0, 0};

void WriteText(const std::string &path, const std::string &text)
{
	std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Where a logical interface point lands in window pixels, from the top left.
glm::vec2 InterfaceToWindow(const glm::mat4 &matrix, float x, float y, float width, float height)
{
	glm::vec4 clip = matrix * glm::vec4(x, y, 0.0f, 1.0f);
	return glm::vec2((clip.x / clip.w + 1.0f) * 0.5f * width, (1.0f - clip.y / clip.w) * 0.5f * height);
}

glm::vec3 Project(const glm::mat4 &matrix, const glm::vec3 &point)
{
	glm::vec4 clip = matrix * glm::vec4(point, 1.0f);
	return glm::vec3(clip) / clip.w;
}

// The renderer all GL tests share. Shaders live in a program-wide table that
// outlasts any one context, so one renderer (one context) serves every test
// of this file rather than each test starting its own.
Renderer *SharedRenderer(std::string &whyNot)
{
	static Renderer *renderer = nullptr;
	static std::string failure;
	static bool tried = false;
	if (!tried) {
		tried = true;
		renderer = new Renderer();
		testing::internal::CaptureStdout();
		int result = renderer->Startup("renderer test");
		failure = "no GL 3.3 core context: " + testing::internal::GetCapturedStdout();
		if (result != 0) {
			delete renderer;
			renderer = nullptr;
		}
	}
	whyNot = failure;
	return renderer;
}

// Fills clip-space rectangles of the current target with one colour, to draw
// test scenes into the renderer's layers.
class Painter {
public:
	bool Build()
	{
		program = LinkProgram(CompileShaderSource("#version 330 core\nlayout(location = 0) in vec3 p;\n"
												  "void main() { gl_Position = vec4(p, 1.0); }\n",
								  GL_VERTEX_SHADER),
			CompileShaderSource("#version 330 core\nuniform vec4 PAINT;\nout vec4 color;\n"
								"void main() { color = PAINT; }\n",
				GL_FRAGMENT_SHADER),
			0);
		glGenBuffers(1, &buffer);
		return program != 0;
	}
	void Release()
	{
		glDeleteProgram(program);
		glDeleteBuffers(1, &buffer);
	}
	void Fill(float x0, float y0, float x1, float y1, Color color)
	{
		const float corners[] = {x0, y0, 0, x1, y0, 0, x0, y1, 0, x0, y1, 0, x1, y0, 0, x1, y1, 0};
		glUseProgram(program);
		glUniform4f(glGetUniformLocation(program, "PAINT"), color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, 1.0f);
		glBindBuffer(GL_ARRAY_BUFFER, buffer);
		glBufferData(GL_ARRAY_BUFFER, sizeof(corners), corners, GL_STREAM_DRAW);
		glEnableVertexAttribArray(0);
		glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
		glDrawArrays(GL_TRIANGLES, 0, 6);
		glDisableVertexAttribArray(0);
	}

	GLuint program = 0;

private:
	GLuint buffer = 0;
};

std::vector<std::string> shownBoxes;
int RecordBox(const SDL_MessageBoxData *data)
{
	shownBoxes.push_back(data->message);
	return -1;
}

class RendererGL : public testing::Test {
protected:
	void SetUp() override
	{
		std::string whyNot;
		renderer = SharedRenderer(whyNot);
		if (renderer == nullptr)
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		SDL_GL_MakeCurrent(renderer->GetWindow(), renderer->GetContext());
		// Every test starts from the game's own modes and a plain state.
		UseModes(nullptr);
		renderer->SetPostModeIndex(0);
		renderer->SetFade(0.0f, 0.0f);
		renderer->SetColorGrade(1.0f, 1.0f, 1.0f);
		renderer->SetOverlayMode(0);
		renderer->BlankFor(0);
		renderer->Resize(600, 360);
		Camera::SetCurrent(&camera);
		ASSERT_TRUE(painter.Build());
		previousHook = GetMessageBoxHook();
		SetMessageBoxHook(&RecordBox);
		shownBoxes.clear();
	}
	void TearDown() override
	{
		if (renderer == nullptr)
			return;
		SetMessageBoxHook(previousHook);
		painter.Release();
	}

	bool UseModes(const char *path)
	{
		renderer->SetPostModeFile(path);
		testing::internal::CaptureStdout();
		bool loaded = renderer->LoadPostModes();
		testing::internal::GetCapturedStdout();
		return loaded;
	}

	// The frame step's drawing: two frame begins, the scene, the interface
	// over the left half when one is given, the frame end.
	void DrawFrame(Color scene, const Color *ui = nullptr, uint32_t endRenderMode = 0)
	{
		renderer->BeginFrame();
		renderer->BeginFrame();
		renderer->UpdateCameraMatrices();
		painter.Fill(-1, -1, 1, 1, scene);
		if (ui != nullptr) {
			renderer->SetDrawBuffer(Renderer::kLayerInterface);
			painter.Fill(-1, -1, 0, 1, *ui);
		}
		renderer->SetRenderMode(endRenderMode);
		renderer->EndFrame();
	}

	// The window's pixel at (x, y) from the top left.
	static Color WindowPixel(int x, int y)
	{
		uint8_t rgba[4] = {0, 0, 0, 0};
		glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
		glReadPixels(x, kWindowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
		return Color{rgba[0], rgba[1], rgba[2]};
	}

	static void ExpectPixel(int x, int y, Color expected)
	{
		SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
		Color actual = WindowPixel(x, y);
		EXPECT_NEAR(actual.r, expected.r, kColorTolerance);
		EXPECT_NEAR(actual.g, expected.g, kColorTolerance);
		EXPECT_NEAR(actual.b, expected.b, kColorTolerance);
	}

	// A mode file of the test's own. Its probe program shows the frame-begin
	// uniforms as colour: red WINDOW.x / 1000, green RESOLUTION.y / 1000,
	// blue MODE / 4.
	std::string WriteProbeModes()
	{
		std::string probe = folder.Path("probe");
		WriteText(probe + ".vert",
			"#version 330 core\nlayout(location = 0) in vec3 p;\n"
			"void main() { gl_Position = vec4(p, 1.0); }\n");
		WriteText(probe + ".frag",
			"#version 330 core\nuniform vec2 WINDOW;\nuniform vec2 RESOLUTION;\nuniform int MODE;\n"
			"out vec4 color;\n"
			"void main() { color = vec4(WINDOW.x / 1000.0, RESOLUTION.y / 1000.0, float(MODE) / 4.0, 1.0); }\n");
		std::string path = folder.Path("post.xml");
		WriteText(path,
			"<post><mode name='plain' ortho='1' program='" + probe + "'/>"
			"<mode name='sized' width='320' height='192' program='" + probe + "'/>"
			"<mode name='ortho' ortho='1' selectable='0' program='" + probe + "'/>"
			"<mode name='broken' program='" + folder.Path("missing") + "'/></post>");
		return path;
	}

	Renderer *renderer = nullptr;
	Camera camera;
	Painter painter;
	TempFolder folder;
	MessageBoxHook previousHook = nullptr;
};

}

TEST(RendererWithoutContext, CallsOnlyKeepTheirBookkeeping)
{
	Renderer renderer;
	renderer.SetDrawBuffer(Renderer::kLayerInterface);
	renderer.SetDrawBuffer(7); // no such layer
	EXPECT_EQ(renderer.GetDrawBuffer(), Renderer::kLayerInterface);
	renderer.Resize(800, 500);
	renderer.BeginFrame();
	EXPECT_EQ(renderer.GetRenderWidth(), 800u);
	EXPECT_EQ(renderer.GetDrawBuffer(), Renderer::kLayerScene);
	renderer.Resize(0, 500); // minimised: the targets keep their size
	renderer.BeginFrame();
	EXPECT_EQ(renderer.GetRenderWidth(), 800u);
	EXPECT_EQ(renderer.GetRenderHeight(), 500u);
	renderer.EndFrame();
	renderer.SetPostModeIndex(3); // no table without a context
	EXPECT_EQ(renderer.GetPostModeIndex(), 0);
	EXPECT_FALSE(renderer.IsPostModeSelectable(0));
}

TEST(RendererWithoutContext, ScreenPointsAreFractionsOfTheLogicalScreen)
{
	struct Row {
		float fx, fy;
		glm::vec2 expected;
	};
	const Row rows[] = {
		{0.0f, 0.0f, {0.0f, 0.0f}},
		{0.5f, 0.5f, {300.0f, 180.0f}},
		{1.0f, 1.0f, {600.0f, 360.0f}},
		{0.25f, 0.9f, {150.0f, 324.0f}},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(testing::Message() << row.fx << ", " << row.fy);
		const glm::vec2 point = Renderer::ScreenPoint(row.fx, row.fy);
		EXPECT_FLOAT_EQ(point.x, row.expected.x);
		EXPECT_FLOAT_EQ(point.y, row.expected.y);
	}
}

TEST(RendererWithoutContext, InterfaceIsLetterboxedToKeepItsShape)
{
	// The logical screen's corners land on a centred 600:360 box as large as
	// fits the window (a 1280 x 800 desktop keeps 16 pixels of the window's
	// own above and below it); a zero-sized window gets a finite, unboxed
	// matrix.
	struct Row {
		float width, height;
	};
	const Row rows[] = {{600, 360}, {1200, 720}, {1200, 360}, {600, 720}, {1920, 1080}, {1024, 768}, {1280, 800},
		{300, 900}, {0, 360}, {600, 0}};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string((int)row.width) + "x" + std::to_string((int)row.height));
		Renderer renderer;
		renderer.Resize((uint32_t)row.width, (uint32_t)row.height);
		renderer.SetupUIProjection();
		const glm::mat4 ui = renderer.GetMatrix(Renderer::kMatrixInterface);
		bool empty = row.width == 0 || row.height == 0;
		float width = empty ? 600 : row.width;
		float height = empty ? 360 : row.height;
		float scale = std::min(width / 600.0f, height / 360.0f);
		const glm::vec2 points[] = {{0, 0}, {600, 360}, {150, 270}};
		for (const glm::vec2 &p : points) {
			glm::vec2 pixel = InterfaceToWindow(ui, p.x, p.y, width, height);
			EXPECT_NEAR(pixel.x, (width - 600 * scale) * 0.5f + p.x * scale, 0.01f * width);
			EXPECT_NEAR(pixel.y, (height - 360 * scale) * 0.5f + p.y * scale, 0.01f * height);
		}
		float depth = Project(ui, glm::vec3(300, 180, 0)).z; // never clipped
		EXPECT_TRUE(depth > -1.0f && depth < 1.0f);
	}
}

TEST_F(RendererGL, EveryShippedModeShowsSceneUnderInterface)
{
	ASSERT_GE(renderer->GetPostModeCount(), 6);
	bool selectableOrtho = false;
	for (uint16_t i = 0; i < renderer->GetPostModeCount(); i++) {
		SCOPED_TRACE(renderer->GetPostMode(i)->name);
		selectableOrtho |= renderer->IsPostModeOrtho((uint8_t)i) && renderer->IsPostModeSelectable(i);
		renderer->SetPostModeIndex((uint8_t)i);
		ASSERT_EQ(renderer->GetPostModeIndex(), i); // only modes with a program can be chosen
		DrawFrame(kRed, &kGreen);
		Color scene = WindowPixel(450, 180);
		Color ui = WindowPixel(150, 180);
		EXPECT_TRUE(scene.r > 150 && scene.g < 40 && scene.b < 40);
		EXPECT_TRUE(ui.g > 150 && ui.r < 60);
	}
	EXPECT_TRUE(selectableOrtho);
	EXPECT_TRUE(renderer->IsPostModeSelectable(0));
	EXPECT_FALSE(renderer->IsPostModeOrtho(5)); // the diagonal view is a narrow perspective
}

TEST_F(RendererGL, PostPassComposesTheFrame)
{
	struct Row {
		const char *what;
		Color scene;
		bool ui;
		float fadeAngle, fadeAmount;
		glm::vec3 grade;
		uint16_t overlay;
		Color left, right, top, bottom; // left is under the interface
	};
	const glm::vec3 neutral(1.0f);
	const Color grey = {76, 76, 76};
	const Color dimmed = {52, 16, 16};
	const Row rows[] = {
		{"scene alone", kRed, false, 0, 0, neutral, 0, kRed, kRed, kRed, kRed},
		{"interface over scene", kBlue, true, 0, 0, neutral, 0, kGreen, kBlue, kBlue, kBlue},
		{"full fade blacks the scene only", kRed, true, 0, 1, neutral, 0, kGreen, kBlack, kBlack, kBlack},
		{"fade coming in from the top", kRed, false, 0, 0.3f, neutral, 0, kRed, kRed, kBlack, kRed},
		{"fade coming in from the bottom", kRed, false, glm::pi<float>(), 0.3f, neutral, 0, kRed, kRed, kRed, kBlack},
		{"no saturation greys the scene", kRed, true, 0, 0, {1, 1, 0}, 0, kGreen, grey, grey, grey},
		{"overlay dims the scene behind menus", kRed, true, 0, 0, neutral, 1, kGreen, dimmed, dimmed, dimmed},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		renderer->SetFade(row.fadeAngle, row.fadeAmount);
		renderer->SetColorGrade(row.grade.x, row.grade.y, row.grade.z);
		renderer->SetOverlayMode(row.overlay);
		DrawFrame(row.scene, row.ui ? &kGreen : nullptr);
		ExpectPixel(150, 180, row.left);
		ExpectPixel(450, 180, row.right);
		ExpectPixel(450, 10, row.top);
		ExpectPixel(450, 350, row.bottom);
	}
}

TEST_F(RendererGL, SkippedAndWireframeFramesKeepThePreviousPicture)
{
	struct Row {
		const char *what;
		bool skip;
		uint32_t endRenderMode;
		Color shown;
	};
	const Row rows[] = {
		{"a normal frame presents", false, Renderer::kRenderModeNormal, kBlue},
		{"a depthless end still presents", false, Renderer::kRenderModeDepthless, kBlue},
		{"a skipped frame draws and swaps nothing", true, Renderer::kRenderModeNormal, kRed},
		{"a frame ending in wireframe gets no post pass", false, Renderer::kRenderModeWireframe, kRed},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		DrawFrame(kRed);
		if (row.skip)
			renderer->SkipNextPresent();
		DrawFrame(kBlue, nullptr, row.endRenderMode);
		ExpectPixel(450, 180, row.shown);
		DrawFrame(kBlue); // a skip lasts one frame
		ExpectPixel(450, 180, kBlue);
	}
}

TEST_F(RendererGL, RenderModesSwitchDepthTestAndDepthWrites)
{
	struct Row {
		const char *what;
		uint32_t mode;
		bool depthTest;
		bool depthWrite;
	};
	const Row rows[] = {
		{"normal", Renderer::kRenderModeNormal, true, true},
		{"depthless", Renderer::kRenderModeDepthless, false, false},
		{"blended decals: tested, never written", Renderer::kRenderModeNoDepthWrite, true, false},
		{"back to normal", Renderer::kRenderModeNormal, true, true},
		{"wireframe", Renderer::kRenderModeWireframe, false, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		renderer->SetRenderMode(row.mode);
		GLboolean mask = GL_TRUE;
		glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
		EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, row.depthTest);
		EXPECT_EQ(mask == GL_TRUE, row.depthWrite);
		EXPECT_EQ(renderer->GetRenderMode(), row.mode);
	}
	renderer->SetRenderMode(Renderer::kRenderModeNormal);
}

TEST_F(RendererGL, BlankFramesLoseTheLayerTheyEndedOn)
{
	camera.clearColor = Vec3(0.0f, 0.0f, 1.0f);
	struct Row {
		const char *what;
		bool ui;
		Color shown;
	};
	const Row rows[] = {
		{"ending on the interface loses the interface", true, kRed},
		{"ending on the scene loses the scene", false, kBlue},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		renderer->BlankFor(60000);
		DrawFrame(kRed, row.ui ? &kGreen : nullptr);
		ExpectPixel(150, 180, row.shown);
		ExpectPixel(450, 180, row.shown);
		renderer->BlankFor(0);
		DrawFrame(kRed, &kGreen);
		ExpectPixel(150, 180, kGreen);
	}
}

TEST_F(RendererGL, ResizeRebuildsTargetsAtTheNewSizeOnly)
{
	DrawFrame(kRed);
	GLint quadBuffer = 0;
	glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &quadBuffer);
	ASSERT_NE(quadBuffer, 0);
	struct Row {
		uint32_t width, height, renderWidth, renderHeight;
	};
	const Row rows[] = {
		{800, 500, 800, 500}, {0, 0, 800, 500}, {640, 0, 800, 500}, {333, 777, 333, 777}, {600, 360, 600, 360},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
		renderer->Resize(row.width, row.height);
		DrawFrame(kRed);
		EXPECT_EQ(renderer->GetRenderWidth(), row.renderWidth);
		EXPECT_EQ(renderer->GetRenderHeight(), row.renderHeight);
		for (uint32_t texture : {renderer->GetLayerTexture(0), renderer->GetLayerTexture(1), renderer->GetDepthTexture()}) {
			GLint size[2] = {0, 0};
			glBindTexture(GL_TEXTURE_2D, texture);
			glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
			glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
			EXPECT_EQ((uint32_t)size[0], row.renderWidth);
			EXPECT_EQ((uint32_t)size[1], row.renderHeight);
		}
		// The post quad keeps its buffers across every rebuild.
		GLint current = 0;
		glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &current);
		EXPECT_EQ(current, quadBuffer);
	}
	ExpectPixel(450, 180, kRed);
}

TEST_F(RendererGL, FrameBeginHandsItsUniformsToThePostProgram)
{
	ASSERT_TRUE(UseModes(WriteProbeModes().c_str()));
	struct Row {
		uint8_t mode;
		uint32_t width, height;
		uint16_t overlay;
		float resolution; // RESOLUTION.y
	};
	const Row rows[] = {{0, 600, 360, 0, 360}, {0, 600, 360, 2, 360}, {1, 600, 360, 1, 192}, {0, 500, 300, 0, 300},
		{1, 500, 300, 3, 192}};
	for (const Row &row : rows) {
		SCOPED_TRACE("mode " + std::to_string(row.mode) + " overlay " + std::to_string(row.overlay));
		renderer->SetPostModeIndex(row.mode);
		renderer->SetOverlayMode(row.overlay);
		renderer->Resize(row.width, row.height);
		// Wipe what earlier frames left on the program, and leave another
		// program current, as a frame's last mesh would.
		const PostMode *mode = renderer->GetPostMode(row.mode);
		glUseProgram(mode->program);
		glUniform2f(mode->uniforms[kPostWindow], 0, 0);
		glUniform2f(mode->uniforms[kPostResolution], 0, 0);
		glUniform1i(mode->uniforms[kPostMode], 0);
		glUseProgram(painter.program);
		DrawFrame(kRed);

		mode = renderer->GetPostMode(row.mode); // a rebuild reloads the table
		float window[2] = {0, 0};
		float resolution[2] = {0, 0};
		GLint overlay = -1;
		glGetUniformfv(mode->program, mode->uniforms[kPostWindow], window);
		glGetUniformfv(mode->program, mode->uniforms[kPostResolution], resolution);
		glGetUniformiv(mode->program, mode->uniforms[kPostMode], &overlay);
		EXPECT_EQ(window[0], (float)row.width);
		EXPECT_EQ(window[1], (float)row.height);
		EXPECT_EQ(resolution[1], row.resolution);
		EXPECT_EQ(overlay, row.overlay);
		// And the probe drew with them (bottom left, inside every size).
		Color shown = WindowPixel(5, kWindowHeight - 6);
		EXPECT_NEAR(shown.r, row.width / 1000.0f * 255, kColorTolerance);
		EXPECT_NEAR(shown.g, row.resolution / 1000.0f * 255, kColorTolerance);
		EXPECT_NEAR(shown.b, row.overlay / 4.0f * 255, kColorTolerance);
	}
}

TEST_F(RendererGL, ModeFlagsDecideSelectionProjectionAndInterface)
{
	ASSERT_TRUE(UseModes(WriteProbeModes().c_str()));
	ASSERT_EQ(renderer->GetPostModeCount(), 4);
	camera.fieldOfView = 30;
	camera.transform.position = Vec3(0.0f, 0.0f, 10.0f); // looking down -Z
	struct Row {
		int index;
		uint16_t selected;
		bool selectable, ortho, sized;
	};
	const Row rows[] = {
		{0, 0, true, false, false}, // mode 0 is never ortho, whatever its file says
		{1, 1, true, false, true},
		{2, 2, false, true, false},
		{3, 0, false, false, false}, // no program: cannot be chosen
		{4, 0, false, false, false}, // past the table
		{255, 0, false, false, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.index);
		renderer->SetPostModeIndex(2);
		renderer->SetPostModeIndex((uint8_t)row.index);
		EXPECT_EQ(renderer->GetPostModeIndex(), row.selected);
		EXPECT_EQ(renderer->IsPostModeSelectable((uint16_t)row.index), row.selectable);
		EXPECT_EQ(renderer->IsCurrentPostModeOrtho(), row.ortho);
		EXPECT_EQ(renderer->IsCurrentPostModeSized(), row.sized);

		// A wide window: a sized mode stretches the interface over all of
		// it, any other boxes it in the middle.
		renderer->Resize(1200, 360);
		DrawFrame(kRed);
		glm::vec2 topLeft = InterfaceToWindow(renderer->GetUIMatrix(), 0, 0, 1200, 360);
		EXPECT_NEAR(topLeft.x, row.sized ? 0.0f : 300.0f, 0.5f);

		// The fixed orthographic view spans left -11 to right 11 and bottom
		// -5.5 to top 9.5 at any distance; the perspective view's edge at
		// distance 10 lies 10 tan(15 degrees) up, and recedes with distance.
		glm::mat4 world = renderer->GetMatrix(0);
		float edge = 10.0f * std::tan(glm::radians(15.0f));
		glm::vec3 corner = row.ortho ? glm::vec3(11.0f, 9.5f, 0.0f) : glm::vec3(edge * 1200 / 360, edge, 0.0f);
		glm::vec3 projected = Project(world, corner);
		EXPECT_NEAR(projected.x, 1.0f, 1e-4f);
		EXPECT_NEAR(projected.y, 1.0f, 1e-4f);
		glm::vec3 deeper = Project(world, corner - glm::vec3(0.0f, 0.0f, 30.0f));
		EXPECT_NEAR(deeper.y, row.ortho ? 1.0f : 0.25f, 1e-4f);
		if (row.ortho) {
			EXPECT_NEAR(Project(world, glm::vec3(-11.0f, -5.5f, 0.0f)).y, -1.0f, 1e-4f);
		}
	}
}

TEST_F(RendererGL, BrokenModeFilesFallBackToTheBuiltInCopy)
{
	std::string broken = folder.Path("broken");
	WriteText(broken + ".vert", "#version 330 core\nvoid main() { this is not glsl }\n");
	WriteText(broken + ".frag", "#version 330 core\nvoid main() { neither is this }\n");
	WriteText(folder.Path("malformed.xml"), "<post><mode name='a' program='x'></post>");
	WriteText(folder.Path("empty.xml"), "<post></post>");
	WriteText(folder.Path("allbroken.xml"),
		"<post><mode name='one' program='" + broken + "'/><mode name='two' program='" + broken + "'/></post>");
	struct Row {
		const char *file, *box, *log, *name;
	};
	const Row rows[] = {
		{"missing.xml", "Post-processing shaders weren't loaded.\n", "Couldn't find post mode\n", "Default"},
		{"malformed.xml", "Post-processing shaders weren't loaded.\n", "Couldn't load post XML\n", "Default"},
		{"empty.xml", "Post-processing shaders weren't loaded.\n", "Couldn't find post mode\n", "Default"},
		{"allbroken.xml", "Post-processing shader did not load.\n", "Failed to load vertex shader\n", "two"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.file);
		shownBoxes.clear();
		renderer->SetPostModeFile(folder.Path(row.file).c_str());
		testing::internal::CaptureStdout();
		EXPECT_EQ(renderer->CreateRenderBuffers(), 1);
		std::string log = testing::internal::GetCapturedStdout();
		EXPECT_EQ(shownBoxes, std::vector<std::string>{row.box});
		EXPECT_NE(log.find(row.log), std::string::npos) << log;

		ASSERT_EQ(renderer->GetPostModeCount(), 1);
		const PostMode *mode = renderer->GetPostMode(0);
		EXPECT_STREQ(mode->name, row.name);
		EXPECT_EQ(mode->width, 0);
		EXPECT_EQ(mode->program, DefaultShaderTextured()->GetProgram(0));
		for (int i = 0; i < kPostUniformCount; i++)
			EXPECT_EQ(mode->uniforms[i] >= 0, i == kPostSampler) << kPostUniformNames[i]; // missing: -1, not 0
		EXPECT_EQ(renderer->IsPostModeSelectable(0), strcmp(row.name, "Default") != 0);
		// The copy shows the scene layer alone, so the game is still seen.
		DrawFrame(kRed, &kGreen);
		ExpectPixel(150, 180, kRed);
	}
	shownBoxes.clear();
	renderer->SetPostModeFile(nullptr);
	testing::internal::CaptureStdout();
	EXPECT_EQ(renderer->CreateRenderBuffers(), 0);
	testing::internal::GetCapturedStdout();
	EXPECT_TRUE(shownBoxes.empty());
}

TEST_F(RendererGL, InstancedQuadsDrawEachInstanceWhereItsMatrixSays)
{
	std::string base = folder.Path("quads");
	WriteText(base + ".vert",
		"#version 330 core\nin vec2 inPos;\nin vec2 inUV;\nin mat4 modelMatrix;\nin vec4 instanceColor;\n"
		"in vec2 instanceUVOffset;\nin vec2 instanceUVScale;\nuniform mat4 uniform_MVP;\nout vec4 color;\n"
		"void main() {\n"
		"	vec2 uv = inUV * instanceUVScale + instanceUVOffset;\n" // in 0..1 for these quads
		"	color = instanceColor * step(uv.x, 1.0);\n"
		"	gl_Position = uniform_MVP * modelMatrix * vec4(inPos, 0.0, 1.0);\n"
		"}\n");
	WriteText(base + ".frag", "#version 330 core\nin vec4 color;\nout vec4 fragColor;\nvoid main() { fragColor = color; }\n");
	Material material;
	testing::internal::CaptureStdout();
	material.SetShaderDirect(Shader::Get(base.c_str()));
	testing::internal::GetCapturedStdout();
	ASSERT_NE(material.GetShader()->GetProgram(0), 0u);

	// 100-unit quads on the interface screen: green at (150, 180), blue at
	// (450, 180).
	QuadInstance instances[2];
	const glm::vec3 centres[2] = {{150, 180, 0}, {450, 180, 0}};
	const glm::vec4 colors[2] = {{0, 1, 0, 1}, {0, 0, 1, 1}};
	for (int i = 0; i < 2; i++) {
		instances[i].model = glm::scale(glm::translate(glm::mat4(1.0f), centres[i]), glm::vec3(100, 100, 1));
		instances[i].color = colors[i];
		instances[i].uvOffset = glm::vec2(0, 0);
		instances[i].uvScale = glm::vec2(1, 1);
	}
	QuadBatch batch; // draws with the interface matrix unless told otherwise
	GLint arrayBefore = 0;
	glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &arrayBefore);
	struct Row {
		uint32_t count;
		Color left, right;
	};
	const Row rows[] = {{2, kGreen, kBlue}, {1, kGreen, kRed}, {0, kRed, kRed}, {2, kGreen, kBlue}};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.count);
		renderer->BeginFrame();
		renderer->BeginFrame();
		painter.Fill(-1, -1, 1, 1, kRed);
		renderer->SetRenderMode(Renderer::kRenderModeDepthless);
		renderer->DrawInstancedQuads(batch, &material, instances, row.count);
		renderer->EndFrame();
		ExpectPixel(150, 180, row.left);
		ExpectPixel(450, 180, row.right);
		ExpectPixel(300, 180, kRed);
		// The rest of the frame draws with the renderer's own vertex array.
		GLint arrayAfter = 0;
		glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &arrayAfter);
		EXPECT_EQ(arrayAfter, arrayBefore);
	}
	EXPECT_NE(batch.instanceBuffer, 0u);
	batch.Release();
	EXPECT_EQ(batch.instanceBuffer, 0u);
}

TEST(RendererLifetime, GetRendererIsTheFirstToStartUntilItIsDestroyed)
{
	// Each test runs in a process of its own, so no other renderer can be
	// registered yet.
	ASSERT_EQ(GetRenderer(), nullptr) << "another renderer of this process is already registered";
	{
		Renderer first;
		EXPECT_EQ(GetRenderer(), nullptr); // construction alone registers nothing
		testing::internal::CaptureStdout();
		int started = first.Init("first");
		testing::internal::GetCapturedStdout();
		if (started != 0)
			SKIP_FOR_MISSING_DEVICE() << "no GL context on this machine";
		EXPECT_EQ(GetRenderer(), &first);
		{
			Renderer second;
			testing::internal::CaptureStdout();
			second.Init("second");
			testing::internal::GetCapturedStdout();
		}
		EXPECT_EQ(GetRenderer(), &first);
	}
	EXPECT_EQ(GetRenderer(), nullptr); // a destroyed renderer is never handed out
}
