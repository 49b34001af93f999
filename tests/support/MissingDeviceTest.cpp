#include "support/MissingDevice.h"

#include <gtest/gtest-spi.h>

#include <optional>
#include <string>

namespace {

// Sets the switch for one scope and puts back what was there.
class NeedDevices {
public:
	explicit NeedDevices(const char *value)
	{
		const char *before = std::getenv(kNeedDevicesVariable);
		if (before != nullptr)
			saved = before;
		if (value != nullptr)
			setenv(kNeedDevicesVariable, value, 1);
		else
			unsetenv(kNeedDevicesVariable);
	}
	~NeedDevices()
	{
		if (saved)
			setenv(kNeedDevicesVariable, saved->c_str(), 1);
		else
			unsetenv(kNeedDevicesVariable);
	}

private:
	std::optional<std::string> saved;
};

bool reachedPastTheSkip = false;

void NeedsAContext()
{
	SKIP_FOR_MISSING_DEVICE() << "no GL 3.3 core context";
	reachedPastTheSkip = true;
}

}

TEST(MissingDevice, SkipsLocallyAndFailsWhenTheRunNeedsEveryDevice)
{
	const struct {
		const char *value; // null: unset
		testing::TestPartResult::Type outcome;
	} rows[] = {
		{nullptr, testing::TestPartResult::kSkip},
		{"", testing::TestPartResult::kSkip},
		{"0", testing::TestPartResult::kSkip},
		{"1", testing::TestPartResult::kFatalFailure},
		{"yes", testing::TestPartResult::kFatalFailure},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.value != nullptr ? row.value : "unset");
		NeedDevices scope(row.value);
		testing::TestPartResultArray results;
		reachedPastTheSkip = false;
		{
			testing::ScopedFakeTestPartResultReporter intercept(
				testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
			NeedsAContext();
		}
		EXPECT_FALSE(reachedPastTheSkip);
		ASSERT_EQ(results.size(), 1);
		EXPECT_EQ(results.GetTestPartResult(0).type(), row.outcome);
		const std::string message = results.GetTestPartResult(0).message();
		EXPECT_NE(message.find("no GL 3.3 core context"), std::string::npos) << message;
		EXPECT_EQ(message.find(kNeedDevicesVariable) != std::string::npos,
			row.outcome == testing::TestPartResult::kFatalFailure) << message;
	}
}
