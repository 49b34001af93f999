#pragma once
// A screen test's set-up: the shared renderer, the settings and saves in a
// folder of the test's own, and the controls at rest before and after.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/core/FileAccess.h"
#include "engine/core/Input.h"
#include "support/SaveFolder.h"
#include "support/SharedRenderer.h"
#include "support/WindowPicture.h"

class ScreenTest : public SharedRendererTest {
protected:
	void SetUp() override
	{
		SharedRendererTest::SetUp();
		if (IsSkipped())
			return;
		folder.Use();
		Input::Get()->Reset();
	}
	void TearDown() override
	{
		Input::Get()->Reset();
		SaveFolder::Release();
		SharedRendererTest::TearDown();
	}
	// Reads the window as the last frame left it and keeps the picture as
	// screens/<name>.png beside the tests.
	static WindowPicture KeepWindow(const char *name)
	{
		WindowPicture picture(1);
		picture.ReadWindow();
		std::filesystem::create_directories(GetBaseDirectory() + "screens");
		EXPECT_TRUE(picture.Save(GetBaseDirectory() + "screens/" + name + ".png"));
		return picture;
	}

	SaveFolder folder;
};
