// Sound effects through the real mixer on SDL's dummy audio driver, with WAV
// files the tests write and a test clock for the restart guard.
#include "audio/Sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/AudioTestFiles.h"
#include "engine/core/Camera.h"
#include "support/TempFolder.h"
#include "support/MissingDevice.h"

namespace {

constexpr uint32_t kLongFrames = 44100; // one second: still playing when the test looks
constexpr int16_t kLevel = 8000;

uint32_t g_now = 0; // the test clock, in milliseconds
uint32_t g_base = 0; // the clock at the start of the current test; only ever grows
int g_fileSerial = 0; // makes names no earlier test (or repeat) has loaded
bool g_autoAdvance = false; // each reading moves the clock past the restart guard

uint32_t TestTicks()
{
	const uint32_t now = g_now;
	if (g_autoAdvance)
		g_now += 100;
	return now;
}

class SoundTest : public testing::Test {
protected:
	void SetUp() override
	{
		sound = Sound::Instance();
		if (!sound->IsOutputOpen())
			SKIP_FOR_MISSING_DEVICE() << "the mixer could not be opened";
		sound->SetDisabled(false);
		sound->SetClock(&TestTicks);
		// The player remembers when each file last started, across tests.
		g_base += 1000000;
		g_now = g_base;
		g_autoAdvance = false;
		first = Write("first.wav");
		second = Write("second.wav");
	}
	void TearDown() override
	{
		sound->SetClock(nullptr);
		sound->HaltAll();
	}
	std::string Write(const std::string &name)
	{
		const std::string path = folder.Path(name);
		TempFolder::WriteBytes(path, audiotest::MakeWav(kLongFrames, kLevel));
		return path;
	}

	TempFolder folder;
	Sound *sound = nullptr;
	std::string first;
	std::string second;
};

// The first mixed output frame that is not silent, left and right.
std::atomic<int> g_left{0};
std::atomic<int> g_right{0};
std::atomic<bool> g_heard{false};

void CaptureMix(void *, Uint8 *stream, int length)
{
	const int16_t *samples = reinterpret_cast<const int16_t *>(stream);
	for (int i = 0; i + 1 < length / 2; i += 2) {
		if (g_heard.load() || (samples[i] == 0 && samples[i + 1] == 0))
			continue;
		g_left = samples[i];
		g_right = samples[i + 1];
		g_heard = true;
	}
}

}

TEST(SoundLevels, VolumeAndPanBecomeMixerValues)
{
	const struct {
		float volume;
		uint8_t mixer;
	} volumes[] = {{-1.0f, 0}, {0.0f, 0}, {0.25f, 32}, {0.999f, 127}, {1.0f, 128}, {1.5f, 128}, {NAN, 0}};
	for (const auto &row : volumes) {
		SCOPED_TRACE(row.volume);
		EXPECT_EQ(row.mixer, Sound::MixerVolume(row.volume));
	}

	const struct {
		float pan;
		uint8_t left, right;
	} pans[] = {
		{0.0f, 128, 127}, {1.0f, 1, 254}, {5.0f, 1, 254}, {-1.0f, 255, 0}, {-3.0f, 255, 0},
		{0.5f, 65, 190}, {-0.5f, 192, 63}, {NAN, 128, 127},
	};
	for (const auto &row : pans) {
		SCOPED_TRACE(row.pan);
		uint8_t left = 0;
		uint8_t right = 0;
		Sound::PanGains(row.pan, left, right);
		EXPECT_EQ(row.left, left);
		EXPECT_EQ(row.right, right);
	}
}

TEST(SoundLevels, PlacedSoundFallsOffWithHorizontalDistanceAndPansAlongTheRightAxis)
{
	Camera::Get(); // the game's camera stays current; these are only looked through
	Camera camera;
	camera.transform.position = Vec3(0.0f, 10.0f, 0.0f);
	camera.SetPosition(Vec3(100.0f, 0.0f, 100.0f));
	Camera turned;
	turned.SetPosition(Vec3(100.0f, 0.0f, 100.0f));
	turned.transform.Rotate(glm::pi<float>(), Vec3(0.0f, 1.0f, 0.0f)); // right axis along -x
	Camera deaf; // no listening point

	const struct {
		const char *name;
		const Camera *camera;
		float x, y, z;
		float volume, pan;
	} rows[] = {
		{"at the listener", &camera, 100, 0, 100, 1.3f, 0.0f},
		{"far above the listener", &camera, 100, 50, 100, 1.3f, 0.0f},
		{"6 units ahead: still full", &camera, 100, 0, 94, 1.3f, 0.0f},
		{"13 units ahead", &camera, 100, 0, 87, 0.65f * 1.3f, 0.0f},
		{"20 units ahead: the floor", &camera, 100, 0, 80, 0.39f, 0.0f},
		{"100 units away: still heard", &camera, 100, 0, 200, 0.39f, 0.0f},
		{"10 units to the right", &camera, 110, 0, 100, 0.8f * 1.3f, 0.5f},
		{"30 units to the left", &camera, 70, 0, 100, 0.39f, -1.0f},
		{"right of a camera turned round", &turned, 110, 0, 100, 0.8f * 1.3f, -0.5f},
		{"no listening point", &deaf, 500, 0, 500, 1.0f, 0.0f},
		{"no camera", nullptr, 500, 0, 500, 1.0f, 0.0f},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		const float position[3] = {row.x, row.y, row.z};
		const SoundPlacement placement = Sound::PlaceInWorld(row.camera, position, 1.0f);
		EXPECT_NEAR(row.volume, placement.volume, 1e-4f);
		EXPECT_NEAR(row.pan, placement.pan, 1e-4f);
	}
	const float position[3] = {100.0f, 0.0f, 80.0f};
	EXPECT_NEAR(0.195f, Sound::PlaceInWorld(&camera, position, 0.5f).volume, 1e-4f) << "scales the given volume";
}

TEST_F(SoundTest, SameFileDoesNotRestartWithinSixtyMilliseconds)
{
	const struct {
		const char *name;
		const std::string *file;
		uint32_t at; // ms after the test's start
		bool plays;
	} steps[] = {
		{"first play", &first, 0, true},
		{"59 ms later", &first, 59, false},
		{"another file meanwhile", &second, 59, true},
		{"60 ms after the first", &first, 60, true},
		{"59 ms after that", &first, 119, false},
		{"the other file 1 ms after its start", &second, 60, false},
	};
	for (const auto &step : steps) {
		SCOPED_TRACE(step.name);
		g_now = g_base + step.at;
		const uint8_t channel = sound->GetNextChannel();
		EXPECT_EQ(step.plays ? 64 : 0, sound->Play(step.file->c_str(), 0.5f, 0.0f, 0));
		EXPECT_EQ(step.plays ? (channel + 1) % 15 : channel, sound->GetNextChannel())
			<< "only plays that get past the guard move the rotation";
	}
}

TEST_F(SoundTest, PlaysRotateOverFifteenChannelsAndTheFlagTakesTheSixteenth)
{
	g_autoAdvance = true;
	const int start = sound->GetNextChannel();
	// Play k sets volume k + 1, which the mixer keeps per channel.
	for (int k = 0; k < 16; k++)
		ASSERT_EQ(k + 1, sound->Play(first.c_str(), (k + 1) / 128.0f, 0.0f, 0));
	for (int k = 1; k < 15; k++) {
		SCOPED_TRACE(k);
		const int channel = (start + k) % 15;
		EXPECT_EQ(k + 1, Mix_Volume(channel, -1));
		EXPECT_EQ(1, Mix_Playing(channel));
	}
	EXPECT_EQ(16, Mix_Volume(start, -1)) << "the sixteenth play took the first channel again";
	EXPECT_EQ(0, Mix_Playing(15)) << "the rotation never reaches channel 15";

	const uint8_t before = sound->GetNextChannel();
	EXPECT_EQ(100, sound->Play(first.c_str(), 100 / 128.0f, 0.0f, Sound::kPlayOnReservedChannel));
	EXPECT_EQ(100, Mix_Volume(15, -1));
	EXPECT_EQ(1, Mix_Playing(15));
	EXPECT_EQ((before + 1) % 15, sound->GetNextChannel()) << "the reserved channel still moves the rotation";

	// A play at no volume reports 0 but still starts.
	const int channel = sound->GetNextChannel();
	sound->HaltAll();
	EXPECT_EQ(0, sound->Play(first.c_str(), -1.0f, 0.0f, 0));
	EXPECT_EQ(1, Mix_Playing(channel));
	EXPECT_EQ(0, Mix_Volume(channel, -1));
}

TEST_F(SoundTest, PanReachesTheMixedOutput)
{
	const struct {
		float pan;
		bool leftLouder;
	} rows[] = {{-1.0f, true}, {1.0f, false}};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.pan);
		g_now += 1000;
		g_heard = false;
		Mix_SetPostMix(&CaptureMix, nullptr);
		ASSERT_EQ(128, sound->Play(first.c_str(), 1.0f, row.pan, 0));
		for (int waited = 0; waited < 2000 && !g_heard.load(); waited += 5)
			SDL_Delay(5);
		Mix_SetPostMix(nullptr, nullptr);
		ASSERT_TRUE(g_heard.load()) << "the mixer produced no sound";
		const int left = std::abs(g_left.load());
		const int right = std::abs(g_right.load());
		if (row.leftLouder) {
			EXPECT_GT(left, kLevel / 2);
			EXPECT_LT(right, kLevel / 50);
		} else {
			EXPECT_GT(right, kLevel / 2);
			EXPECT_LT(left, kLevel / 50);
		}
		sound->HaltAll();
	}
}

TEST_F(SoundTest, PositionalPlayHearsThroughTheCurrentCamera)
{
	Camera *previous = Camera::Get();
	Camera listener;
	listener.SetPosition(Vec3(0.0f, 0.0f, 0.0f));
	Camera::SetCurrent(&listener);
	g_autoAdvance = true;
	const float near[3] = {0.0f, 0.0f, 0.0f};
	const float far[3] = {0.0f, 0.0f, 100.0f};
	EXPECT_EQ(83, sound->PlayAt(first.c_str(), near, 0.5f)) << "0.5 x 1.3";
	EXPECT_EQ(24, sound->PlayAt(first.c_str(), far, 0.5f)) << "0.5 x 0.39";
	Camera::SetCurrent(previous);
}

TEST_F(SoundTest, DisabledSoundPlaysNothingAndSwitchingOnSilencesTheRest)
{
	g_autoAdvance = true;
	ASSERT_GT(sound->Play(first.c_str(), 1.0f, 0.0f, 0), 0);
	ASSERT_GT(Mix_Playing(-1), 0);

	sound->SetDisabled(true);
	EXPECT_TRUE(sound->IsDisabled());
	const uint8_t channel = sound->GetNextChannel();
	EXPECT_EQ(0, sound->Play(second.c_str(), 1.0f, 0.0f, 0));
	EXPECT_EQ(channel, sound->GetNextChannel());
	EXPECT_GT(Mix_Playing(-1), 0) << "switching off does not cut what plays";

	sound->SetDisabled(false);
	EXPECT_EQ(0, Mix_Playing(-1)) << "switching on halts every channel";
	EXPECT_GT(sound->Play(second.c_str(), 1.0f, 0.0f, 0), 0);
}

TEST_F(SoundTest, MissingFileIsReportedOnEveryTryAndNothingIsKept)
{
	g_autoAdvance = true;
	const std::string missing = folder.Path("missing.wav");
	const size_t entries = sound->GetEntryCount();
	for (int attempt = 0; attempt < 2; attempt++) {
		SCOPED_TRACE(attempt);
		testing::internal::CaptureStdout();
		EXPECT_EQ(0, sound->Play(missing.c_str(), 1.0f, 0.0f, 0));
		fflush(stdout);
		EXPECT_EQ("Can't load file " + missing + "\n", testing::internal::GetCapturedStdout());
	}
	EXPECT_EQ(entries, sound->GetEntryCount());
	// Loaded once, then found again by name.
	const std::string fresh = Write("fresh" + std::to_string(++g_fileSerial) + ".wav");
	ASSERT_GT(sound->Play(fresh.c_str(), 1.0f, 0.0f, 0), 0);
	ASSERT_GT(sound->Play(fresh.c_str(), 1.0f, 0.0f, 0), 0);
	EXPECT_EQ(entries + 1, sound->GetEntryCount());
}

// A file that is there but not a whole effect is refused before the mixer
// reads it, in one line that names it and says why, and nothing is kept.
TEST_F(SoundTest, RefusedFilesSayWhyInOneLineAndNothingIsKept)
{
	g_autoAdvance = true;
	std::vector<uint8_t> claimsTooMuch = audiotest::MakeWav(16, kLevel);
	constexpr size_t kDataLengthAt = 40; // after the RIFF header, the format chunk and "data"
	for (size_t i = 0; i < 4; i++)
		claimsTooMuch[kDataLengthAt + i] = i == 0 ? 0x00 : 0xff;
	struct Row {
		const char *name;
		std::vector<uint8_t> bytes; // empty with folder: a folder of that name
		bool folder;
		const char *reason;
	};
	const Row rows[] = {
		{"claims.wav", claimsTooMuch, false, "a WAV chunk runs past the end of the file"},
		{"picture.wav", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, false, "not a WAV or Ogg Vorbis file"},
		{"empty.wav", {}, false, "the file cannot be read whole"},
		{"folder.wav", {}, true, "the file cannot be read whole"},
	};
	const size_t entries = sound->GetEntryCount();
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		const std::string path = folder.Path(row.name);
		if (row.folder)
			std::filesystem::create_directory(path);
		else
			TempFolder::WriteBytes(path, row.bytes);
		testing::internal::CaptureStdout();
		EXPECT_EQ(0, sound->Play(path.c_str(), 1.0f, 0.0f, 0));
		fflush(stdout);
		EXPECT_EQ("Can't load file " + path + "\n" + row.reason + "\n", testing::internal::GetCapturedStdout());
	}
	EXPECT_EQ(entries, sound->GetEntryCount());
}

// Runs in a process of its own, where the audio driver cannot start.
TEST(SoundDeathTest, MixerThatNeverOpenedKeepsQuietEvenWhenSwitchedOn)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	// Whether or not the file is there, a mixer that never opened has no
	// business looking for it.
	const std::string file = "/nonexistent-talvex-folder/click.wav";
	EXPECT_EXIT(
		{
			setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
			Sound *sound = Sound::Instance();
			sound->SetDisabled(false); // the settings switch effects on
			testing::internal::CaptureStdout();
			const uint8_t first = sound->Play(file.c_str(), 1.0f, 0.0f, 0);
			const uint8_t second = sound->Play(file.c_str(), 1.0f, 0.0f, 0);
			fflush(stdout);
			const std::string log = testing::internal::GetCapturedStdout();
			const bool quiet = !sound->IsOutputOpen() && first == 0 && second == 0 && log.empty() &&
				sound->GetEntryCount() == 0;
			fprintf(stderr, quiet ? "quiet\n" : "noisy: %s\n", log.c_str());
			exit(quiet ? 0 : 1);
		},
		testing::ExitedWithCode(0), "quiet");
}
