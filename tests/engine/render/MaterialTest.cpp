#include "engine/render/Material.h"

#include <SDL.h>
#include <SDL_image.h>
#include <glad/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "engine/core/NameHash.h"
#include "engine/render/Shader.h"
#include "engine/render/Texture.h"
#include "support/GLFolderContext.h"

namespace {

const char *const kVert = "<vert><![CDATA[layout(location = 0) in vec3 p; void main() { gl_Position = vec4(p, 1.0); }]]></vert>";
// One pass that samples "SAMPLER"; two passes (the second depthless) that do not.
const std::string kSampling = std::string("<pass>") + kVert +
	"<frag><![CDATA[uniform sampler2D SAMPLER; out vec4 c; void main() { c = texture(SAMPLER, vec2(0.5)); }]]></frag></pass>";
const std::string kTwoPlainPasses = std::string("<pass>") + kVert +
	"<frag><![CDATA[uniform vec3 COLOR; out vec4 c; void main() { c = vec4(COLOR, 1.0); }]]></frag></pass>"
	"<pass depthless=\"\">" + kVert + "<frag><![CDATA[out vec4 c; void main() { c = vec4(1.0); }]]></frag></pass>";

CacheMap<Material> &Cache()
{
	return CacheMap<Material>::GetInstance();
}

uint16_t KeySum(const std::string &first, const std::string &second)
{
	return (uint16_t)(HashName(first.c_str()) + HashName(second.c_str()));
}

// Every test works in a folder of its own, so its names (and so its keys)
// are new to the process-wide material cache.
class MaterialFiles : public GLFolderContext {
protected:
	std::string WriteText(const std::string &name, const std::string &text)
	{
		std::ofstream(folder + "/" + name) << text;
		return folder + "/" + name;
	}
	// A one-pixel opaque PNG.
	std::string WritePng(const std::string &name)
	{
		SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_ABGR8888);
		SDL_FillRect(surface, nullptr, 0xFF00FF00);
		EXPECT_EQ(IMG_SavePNG(surface, (folder + "/" + name).c_str()), 0) << SDL_GetError();
		SDL_FreeSurface(surface);
		return folder + "/" + name;
	}
};

}

// The same request twice gives one cached object with two holders, under the
// key of its kind; giving both back leaves it cached for the next request.
TEST_F(MaterialFiles, RequestsShareOneCachedMaterial)
{
	std::string texture = WritePng("wall.png");
	std::string other = WritePng("floor.png");
	std::string shader = WriteText("wall.dsh", kSampling);
	std::string missing = folder + "/missing.png";
	const std::string standard = "shaders/standard.dsh";

	struct Row {
		const char *what;
		Material::Handle first, second;
		uint16_t key;
		std::string textureName, shaderName; // textureName empty: no texture
		glm::vec3 color;
	};
	testing::internal::CaptureStdout();
	const Row rows[] = {
		{"texture and shader", Material::Get(texture.c_str(), shader.c_str()), Material::Get(texture.c_str(), shader.c_str()),
		 KeySum(texture, shader), texture, shader, glm::vec3(1.0f)},
		{"null shader is the standard one", Material::Get(other.c_str(), nullptr), Material::Get(other.c_str(), standard.c_str()),
		 KeySum(other, standard), other, standard, glm::vec3(1.0f)},
		{"shader only", Material::GetShaderOnly(shader.c_str()), Material::GetShaderOnly(shader.c_str()),
		 KeySum("SHADER", shader), "", shader, glm::vec3(1.0f)},
		{"texture that fails to load", Material::Get(missing.c_str(), shader.c_str()), Material::Get(missing.c_str(), shader.c_str()),
		 KeySum(missing, shader), missing, shader, glm::vec3(1.0f)},
		// An unusual colour, so that no other test of the process holds its key.
		{"solid colour", Material::GetSolidColor(0xFF3381), Material::GetSolidColor(0xFF3381),
		 (uint16_t)(HashName("C") + 0xFF3381), "", "mats/color.dsh", glm::vec3(1.0f, 0x33 / 255.0f, 0x81 / 255.0f)},
	};
	std::string log = testing::internal::GetCapturedStdout();
	EXPECT_NE(log.find("Couldn't load texture " + missing + ": "), std::string::npos) << log;

	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Material *material = row.first.Get();
		ASSERT_NE(material, nullptr);
		EXPECT_EQ(row.second.Get(), material);
		EXPECT_EQ(row.first.GetKey(), row.key);
		EXPECT_EQ(material->GetKey(), row.key);
		EXPECT_EQ(Cache().GetUsers(row.key), 2);
		EXPECT_EQ(material->GetTextureHash(), HashName(row.textureName.c_str()));
		EXPECT_EQ(material->GetTexture() != nullptr, !row.textureName.empty());
		EXPECT_EQ(material->GetShaderHash(), HashName(row.shaderName.c_str()));
		EXPECT_EQ(material->GetShader(), Shader::Get(row.shaderName.c_str()));
		for (int c = 0; c < 3; c++)
			EXPECT_NEAR(material->GetColor()[c], row.color[c], 1e-6f);

		EXPECT_TRUE(Material::Release(row.first));
		EXPECT_TRUE(Material::Release(row.second));
		EXPECT_EQ(Cache().GetUsers(row.key), 0);
		EXPECT_EQ(Material::Share(row.first).Get(), material);
		EXPECT_EQ(Cache().GetUsers(row.key), 1);
		Material::Release(row.first);
	}
	EXPECT_NE(rows[0].first.Get()->GetTextureId(), 0u);
	EXPECT_EQ(rows[3].first.Get()->GetTextureId(), 0u) << "a failed texture binds nothing";
}

// A clone is cached beside its source with the source's look but default UV
// transform, and shares its shader and texture.
TEST_F(MaterialFiles, ClonesTakeTheNextFreeKey)
{
	Material::Handle source = Material::Get(WritePng("crate.png").c_str(), WriteText("crate.dsh", kSampling).c_str());
	ASSERT_TRUE(source.IsValid());
	uint16_t key = source.GetKey();
	ASSERT_FALSE(Cache().Find(key + 1).IsValid() || Cache().Find(key + 2).IsValid()) << "the next two keys must be free";
	const glm::vec3 color(0.25f, 0.5f, 0.75f);
	source.Get()->SetColor(color);
	source.Get()->SetUVOffset(0.5f, 0.5f);
	source.Get()->SetUVScale(2.0f, 3.0f);

	for (uint16_t expected : {(uint16_t)(key + 1), (uint16_t)(key + 2)}) {
		SCOPED_TRACE(expected - key);
		Material::Handle clone = Material::Clone(source);
		Material *copy = clone.Get();
		ASSERT_NE(copy, nullptr);
		EXPECT_NE(copy, source.Get());
		EXPECT_EQ(clone.GetKey(), expected);
		EXPECT_EQ(Cache().GetUsers(expected), 1);
		EXPECT_EQ(copy->GetShader(), source.Get()->GetShader());
		EXPECT_EQ(copy->GetTexture(), source.Get()->GetTexture());
		EXPECT_EQ(copy->GetKey(), expected);
		EXPECT_EQ(copy->GetColor(), color);
		EXPECT_EQ(copy->GetUVOffset(), glm::vec2(0.0f));
		EXPECT_EQ(copy->GetUVScale(), glm::vec2(1.0f));
		copy->SetColorRGB(0x0000FF);
		EXPECT_EQ(source.Get()->GetColor(), color) << "the copy's fields are its own";
	}

	testing::internal::CaptureStdout();
	const Material::Handle &invalid = Material::Clone(Material::Handle());
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid source material\n");
	EXPECT_FALSE(invalid.IsValid());
	EXPECT_EQ(invalid.GetKey(), 0);
}

// Bind makes each pass's program current and puts the texture on unit 0
// only when there is one and the pass samples it; past the last pass, null.
TEST_F(MaterialFiles, BindUsesPassesAndTexture)
{
	std::string sampling = WriteText("lit.dsh", kSampling);
	std::string plain = WriteText("plain.dsh", kTwoPlainPasses);
	std::string texture = WritePng("tile.png");
	GLuint unrelated = 0; // whatever an earlier draw left bound
	glGenTextures(1, &unrelated);

	struct Row {
		const char *what;
		Material::Handle handle;
		int passes;
		bool bindsTexture;
	};
	const Row rows[] = {
		{"texture, sampling pass", Material::Get(texture.c_str(), sampling.c_str()), 1, true},
		{"no texture", Material::GetShaderOnly(sampling.c_str()), 1, false},
		{"texture, passes that do not sample", Material::Get(texture.c_str(), plain.c_str()), 2, false},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		Material *material = row.handle.Get();
		for (int p = 0; p < row.passes; p++) {
			glBindTexture(GL_TEXTURE_2D, unrelated);
			glUseProgram(0);
			ShaderPass *pass = material->Bind((uint8_t)p);
			ASSERT_EQ(pass, material->GetShader()->GetPass((uint8_t)p));
			ASSERT_NE(pass->program, 0u);
			GLint current = 0, bound = 0, unit = -1;
			glGetIntegerv(GL_CURRENT_PROGRAM, &current);
			glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
			EXPECT_EQ((uint32_t)current, pass->program);
			EXPECT_EQ((uint32_t)bound, row.bindsTexture ? material->GetTextureId() : unrelated);
			if (row.bindsTexture) {
				glGetUniformiv(pass->program, pass->GetUniform(kUniformSampler), &unit);
				EXPECT_EQ(unit, 0);
			}
		}
		EXPECT_EQ(material->Bind((uint8_t)row.passes), nullptr);
	}
	EXPECT_EQ(rows[2].handle.Get()->GetShader()->GetPass(1)->renderMode, ShaderPass::kModeDepthless);

	// A material outside the cache, as the renderer keeps its own.
	Material bare;
	EXPECT_EQ(bare.Bind(0), nullptr) << "no shader, no pass";
	Shader *direct = Shader::Get(sampling.c_str());
	bare.SetShaderDirect(direct);
	EXPECT_EQ(bare.GetShaderHash(), 0);
	EXPECT_EQ(bare.Bind(0), direct->GetPass(0));
	bare.SetShader(plain.c_str());
	EXPECT_EQ(bare.GetShader(), Shader::Get(plain.c_str()));
	EXPECT_EQ(bare.GetKey(), HashName(plain.c_str()));
	glDeleteTextures(1, &unrelated);
}
