#pragma once
// Tests that need a GL context, an audio device or a virtual game controller
// skip, with the reason, on a machine that has none, so a developer's ctest
// still runs everything else. The Makefile's test targets set
// TALVEX_TESTS_NEED_DEVICES=1, and there such a test fails instead: the suite
// can never pass by skipping what it was meant to check.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

constexpr const char *kNeedDevicesVariable = "TALVEX_TESTS_NEED_DEVICES";

// True when the variable is set to anything but "" or "0".
inline bool MissingDeviceFails()
{
	const char *value = std::getenv(kNeedDevicesVariable);
	return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

inline testing::TestPartResult::Type MissingDeviceOutcome()
{
	return MissingDeviceFails() ? testing::TestPartResult::kFatalFailure : testing::TestPartResult::kSkip;
}

inline const char *MissingDevicePrefix()
{
	return MissingDeviceFails() ? "this run needs every device (TALVEX_TESTS_NEED_DEVICES): " : "";
}

// Used as GTEST_SKIP() is, with the reason streamed after it; like it, it
// returns from the function it stands in.
#define SKIP_FOR_MISSING_DEVICE() \
	return GTEST_MESSAGE_AT_(__FILE__, __LINE__, "", MissingDeviceOutcome()) << MissingDevicePrefix()
