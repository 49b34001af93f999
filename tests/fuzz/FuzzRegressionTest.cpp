#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzTargets.h"
#include "support/GLTestContext.h"

namespace fs = std::filesystem;

namespace {

// What a replayed input must leave in the log, for the inputs whose fault is
// a refusal the player can read about rather than merely no crash.
struct ExpectedLog {
	const char *target;
	const char *input;
	const char *line;
};

const ExpectedLog kExpectedLogs[] = {
	{"shader", "empty-include.dsh", "File cannot be read: "},
	// A vertex stage's text as the fragment stage: the driver once took the
	// text for the vertex stage it had compiled, and the link crashed.
	{"shader", "vertex-text-as-frag.dsh", "Failed to load frag shader pass 0 on "},
	{"shader", "vertex-include-as-frag.dsh", "Failed to load frag shader pass 0 on "},
	{"texture", "no-image-data.png", "Couldn't load texture "},
	// A few hundred bytes that claim four gigabytes of samples.
	{"sound", "samples-claimed-past-the-end.wav", "\na WAV chunk runs past the end of the file\n"},
	{"sound", "too-short-to-name.wav", "\nnot a WAV or Ogg Vorbis file\n"},
};

// An input that once hung the game or took seconds must now take little.
constexpr auto kMostSecondsPerInput = std::chrono::seconds(10);

std::vector<fs::path> Regressions(const char *target)
{
	std::vector<fs::path> inputs;
	std::error_code error;
	for (const fs::directory_entry &entry : fs::directory_iterator(fs::path(TALVEX_FUZZ_REGRESSIONS) / target, error))
		if (entry.is_regular_file())
			inputs.push_back(entry.path());
	std::sort(inputs.begin(), inputs.end());
	return inputs;
}

std::vector<uint8_t> Bytes(const fs::path &path)
{
	std::ifstream file(path, std::ios::binary);
	return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

const char *ExpectedLine(const char *target, const std::string &input)
{
	for (const ExpectedLog &row : kExpectedLogs)
		if (input == row.input && std::string(target) == row.target)
			return row.line;
	return nullptr;
}

class FuzzRegression : public GLTestContext, public testing::WithParamInterface<const char *> {};

}

// Every input that ever crashed, hung or tripped a sanitizer, replayed through
// its target: each must finish in time, and the refusals must say why.
TEST_P(FuzzRegression, ReplaysEveryKeptInput)
{
	const FuzzTarget *target = FindFuzzTarget(GetParam());
	ASSERT_NE(target, nullptr);
	for (const fs::path &input : Regressions(target->name)) {
		SCOPED_TRACE(input.string());
		const std::vector<uint8_t> bytes = Bytes(input);
		testing::internal::CaptureStdout();
		const auto start = std::chrono::steady_clock::now();
		EXPECT_EQ(target->run(bytes.data(), bytes.size()), 0);
		const auto took = std::chrono::steady_clock::now() - start;
		const std::string log = testing::internal::GetCapturedStdout();
		EXPECT_LT(took, kMostSecondsPerInput);
		if (const char *line = ExpectedLine(target->name, input.filename().string())) {
			EXPECT_NE(log.find(line), std::string::npos) << log;
		}
	}
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression,
	testing::ValuesIn([] {
		std::vector<const char *> names;
		for (const FuzzTarget &target : AllFuzzTargets())
			names.push_back(target.name);
		return names;
	}()),
	[](const testing::TestParamInfo<const char *> &info) { return std::string(info.param); });

// The faults the fuzzers found first stay in the corpus for good.
TEST(FuzzRegressionCorpus, KeepsTheFirstFindings)
{
	for (const ExpectedLog &row : kExpectedLogs)
		EXPECT_TRUE(fs::is_regular_file(fs::path(TALVEX_FUZZ_REGRESSIONS) / row.target / row.input)) << row.input;
	EXPECT_FALSE(Regressions("tmx").empty());
}
