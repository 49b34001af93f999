#pragma once
// A started renderer (window, GL context, post modes from the data tree) for
// tests of code that asks GetRenderer about post-processing modes. The process
// keeps one renderer for good, so an existing started one is used rather than
// a second one beside it. Null, with the reason in whyNot, when no GL context
// can be made.
#include "engine/render/Renderer.h"

#include <gtest/gtest.h>

#include <string>

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
