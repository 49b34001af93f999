// Models, fonts, shaders, post-processing modes and textures.
#include "fuzz/FuzzTargets.h"

#include <glad/gl.h>
#include <SDL.h>

#include <string>

#include "engine/render/Font.h"
#include "engine/render/IqmReader.h"
#include "engine/render/Renderer.h"
#include "engine/render/Shader.h"
#include "engine/render/ShaderPass.h"
#include "engine/render/Texture.h"

namespace {

int FuzzIqm(const uint8_t *data, size_t size)
{
	const std::string path = WriteFuzzFile("fuzz.iqm", data, size);
	IqmReader reader;
	if (reader.Load(path.c_str()))
		reader.LoadAnimations(path.c_str());
	IqmReader animations; // a file read for its animations alone, onto no model
	animations.LoadAnimations(path.c_str());
	return 0;
}

int FuzzFont(const uint8_t *data, size_t size)
{
	Font font;
	if (font.ReadDescription(WriteFuzzFile("fuzz.fnt", data, size).c_str())) {
		font.SetPageSize(128, 128);
		for (uint32_t c = 0; c < Font::kGlyphCount + 2; c++)
			font.GetGlyph(c);
	}
	return 0;
}

// Gives back what a shader file made: the shader keeps its GL objects for the
// whole run in the game, where every file is read once.
void DeletePasses(Shader &shader)
{
	for (uint8_t i = 0; i < shader.GetPassCount(); i++) {
		ShaderPass *pass = shader.GetPass(i);
		if (pass->program != 0)
			glDeleteProgram(pass->program);
		if (pass->vertexShader != 0)
			glDeleteShader(pass->vertexShader);
		if (pass->fragmentShader != 0)
			glDeleteShader(pass->fragmentShader);
	}
	shader.Clear();
}

int FuzzShaderFile(const uint8_t *data, size_t size)
{
	if (SDL_GL_GetCurrentContext() == nullptr)
		return 0;
	Shader shader;
	shader.LoadDsh(WriteFuzzFile("fuzz.dsh", data, size).c_str());
	DeletePasses(shader);
	return 0;
}

int FuzzPostModes(const uint8_t *data, size_t size)
{
	if (SDL_GL_GetCurrentContext() == nullptr)
		return 0;
	Renderer renderer;
	renderer.LoadPostModesFrom(WriteFuzzFile("post.xml", data, size).c_str());
	for (uint16_t i = 0; i < 4; i++) {
		renderer.GetPostMode(i);
		renderer.IsPostModeSelectable(i);
	}
	return 0;
}

int FuzzTexture(const uint8_t *data, size_t size)
{
	Texture texture(WriteFuzzFile("fuzz.png", data, size).c_str());
	if (texture.GetId() != 0) {
		const GLuint name = texture.GetId();
		glDeleteTextures(1, &name);
	}
	return 0;
}

}

void AddRenderFuzzTargets(std::vector<FuzzTarget> &targets)
{
	targets.push_back({"iqm", FuzzIqm, "models", ".iqm", 1 << 20, false, "iqm.dict"});
	targets.push_back({"font", FuzzFont, "fonts", ".fnt", 64 << 10, false, "font.dict"});
	targets.push_back({"shader", FuzzShaderFile, "shaders", ".dsh", 32 << 10, true, "xml.dict"});
	targets.push_back({"postmodes", FuzzPostModes, "", "post.xml", 16 << 10, true, "xml.dict"});
	targets.push_back({"texture", FuzzTexture, "mats", ".png", 256 << 10, true, "texture.dict"});
}
