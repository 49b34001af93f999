#pragma once
// A started renderer (window, GL context, post modes from the data tree) for
// tests of code that draws through GetRenderer. The process keeps one
// renderer for good, so an existing started one is used rather than a second
// one beside it.
#include "engine/core/Camera.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include "support/MissingDevice.h"

#include <string>

// The shared renderer, started on first use. Null, with the reason in
// whyNot, when no GL context can be made.
inline Renderer *SharedStartedRenderer(std::string &whyNot)
{
	static Renderer *owned = nullptr;
	static std::string failure;
	Renderer *current = GetRenderer();
	if (current != nullptr && current->GetContext() != nullptr)
		return current;
	if (owned == nullptr && failure.empty()) {
		Renderer *candidate = new Renderer();
		testing::internal::CaptureStdout();
		int result = candidate->Startup("shared test renderer");
		std::string log = testing::internal::GetCapturedStdout();
		if (result == 0 && candidate->GetContext() != nullptr && GetRenderer() == candidate)
			owned = candidate;
		else {
			failure = "no GL 3.3 core context: " + log;
			delete candidate;
		}
	}
	whyNot = failure;
	return owned;
}

// A fixture for tests that draw through the shared renderer. SetUp makes its
// context current and puts it back to the plain state a fresh window shows
// (post modes reloaded from the data tree with the first chosen, no fade, a
// neutral colour grade, no overlay or blanking, normal rendering, the window
// at its created size), so a test never sees what the one before it left;
// message boxes are swallowed while it runs. SetUp skips the test, with the
// reason, when no context can be made: a derived SetUp returns when
// IsSkipped(). TearDown lets go of the camera and the hook.
class SharedRendererTest : public testing::Test {
protected:
	static constexpr uint32_t kWindowWidth = 600; // pixels of the renderer's window as created
	static constexpr uint32_t kWindowHeight = 360;

	void SetUp() override
	{
		previousHook = GetMessageBoxHook();
		SetMessageBoxHook(&IgnoreBox);
		std::string whyNot;
		renderer = SharedStartedRenderer(whyNot);
		if (renderer == nullptr)
			SKIP_FOR_MISSING_DEVICE() << whyNot;
		SDL_GL_MakeCurrent(renderer->GetWindow(), renderer->GetContext());
		renderer->SetPostModeFile(nullptr);
		testing::internal::CaptureStdout();
		renderer->LoadPostModes();
		testing::internal::GetCapturedStdout();
		renderer->SetPostModeIndex(0);
		renderer->SetFade(0.0f, 0.0f);
		renderer->SetColorGrade(1.0f, 1.0f, 1.0f);
		renderer->SetOverlayMode(0);
		renderer->Resize(kWindowWidth, kWindowHeight);
		renderer->BlankFor(0);
		renderer->SetRenderMode(Renderer::kRenderModeNormal);
	}
	void TearDown() override
	{
		Camera::SetCurrent(nullptr);
		SetMessageBoxHook(previousHook);
		if (renderer != nullptr)
			renderer->SetRenderMode(Renderer::kRenderModeNormal);
	}

	Renderer *renderer = nullptr;
	MessageBoxHook previousHook = nullptr;

private:
	static int IgnoreBox(const SDL_MessageBoxData *)
	{
		return -1;
	}
};
