#pragma once
// A bare GL context ready to draw into its hidden window: a vertex array
// bound (GL 3.3 core draws nothing without one; the game's renderer binds
// one for the whole run), no depth test, and the window cleared to
// transparent black. For tests that draw meshes with no renderer around.
#include "support/GLTestContext.h"

#include <glad/gl.h>
#include <glm/glm.hpp>

class GLDrawContext : public GLTestContext {
protected:
	void SetUp() override
	{
		GLTestContext::SetUp();
		if (IsSkipped())
			return;
		glGenVertexArrays(1, &vertexArray);
		glBindVertexArray(vertexArray);
		glDisable(GL_DEPTH_TEST);
		glClearColor(0, 0, 0, 0);
		glClear(GL_COLOR_BUFFER_BIT);
	}
	void TearDown() override
	{
		if (vertexArray != 0)
			glDeleteVertexArrays(1, &vertexArray);
		vertexArray = 0;
		GLTestContext::TearDown();
	}

	// The RGBA pixel at (x, y) of the window, y counted from the bottom as
	// GL does.
	static glm::ivec4 Pixel(int x, int y)
	{
		uint8_t rgba[4] = {0, 0, 0, 0};
		ReadPixel(x, y, rgba);
		return glm::ivec4(rgba[0], rgba[1], rgba[2], rgba[3]);
	}

	GLuint vertexArray = 0;
};
