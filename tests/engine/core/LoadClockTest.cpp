#include <gtest/gtest.h>

#include <chrono>

#include "engine/core/LoadClock.h"

namespace {

constexpr double kBusyMs = 3.0;

void KeepBusy(double milliseconds)
{
	const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double, std::milli>(milliseconds);
	while (std::chrono::steady_clock::now() < until) {
	}
}

} // namespace

// A model's textures are part of loading the model: the kinds add up to the
// time spent loading, nothing counted twice.
TEST(LoadClock, NestedLoadCountsToTheOuterKindAlone)
{
	const double modelsBefore = LoadClock::Milliseconds(LoadClock::kModels);
	const double texturesBefore = LoadClock::Milliseconds(LoadClock::kTextures);
	{
		LoadClock::Timing model(LoadClock::kModels);
		LoadClock::Timing texture(LoadClock::kTextures);
		KeepBusy(kBusyMs);
	}
	EXPECT_GE(LoadClock::Milliseconds(LoadClock::kModels) - modelsBefore, kBusyMs);
	EXPECT_EQ(texturesBefore, LoadClock::Milliseconds(LoadClock::kTextures));

	// Once the outer load is over, a load of its own counts again.
	{
		LoadClock::Timing texture(LoadClock::kTextures);
		KeepBusy(kBusyMs);
	}
	EXPECT_GE(LoadClock::Milliseconds(LoadClock::kTextures) - texturesBefore, kBusyMs);
	EXPECT_STREQ("textures", LoadClock::Name(LoadClock::kTextures));
}
