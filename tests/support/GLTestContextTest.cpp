#include "support/GLTestContext.h"

#include <glad/gl.h>

// The headless context must really draw: a clear colour reaches the pixels.
TEST_F(GLTestContext, ClearColourReadsBack)
{
	glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
	glClear(GL_COLOR_BUFFER_BIT);
	uint8_t pixel[4] = {};
	ReadPixel(kWidth / 2, kHeight / 2, pixel);
	EXPECT_EQ(pixel[0], 255);
	EXPECT_NEAR(pixel[1], 128, 1);
	EXPECT_EQ(pixel[2], 0);
	int major = 0;
	glGetIntegerv(GL_MAJOR_VERSION, &major);
	EXPECT_GE(major, 3);
}
