// The sound effects that sfxgen synthesised into the data tree, read back the
// way the game reads them, and the tool itself run on recipes the tests write.
#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/AssetToolRunner.h"
#include "support/MissingDevice.h"
#include "support/TempFolder.h"

namespace {

struct Pcm {
	SDL_AudioSpec spec{};
	std::vector<int16_t> samples; // interleaved
	bool ok = false;
};

Pcm LoadWav(const std::string &path)
{
	Pcm pcm;
	Uint8 *buffer = nullptr;
	Uint32 length = 0;
	if (SDL_LoadWAV(path.c_str(), &pcm.spec, &buffer, &length) == nullptr)
		return pcm;
	if (pcm.spec.format == AUDIO_S16LSB) {
		pcm.samples.resize(length / 2);
		std::memcpy(pcm.samples.data(), buffer, pcm.samples.size() * 2);
	}
	SDL_FreeWAV(buffer);
	pcm.ok = true;
	return pcm;
}

double Rms(const std::vector<int16_t> &s)
{
	double sum = 0;
	for (int16_t v : s)
		sum += (double)v * v;
	return s.empty() ? 0 : std::sqrt(sum / s.size());
}

int Peak(const std::vector<int16_t> &s)
{
	int peak = 0;
	for (int16_t v : s)
		peak = std::max(peak, std::abs((int)v));
	return peak;
}

// Upward zero crossings per second of a mono signal: a rough pitch, or for
// noise a measure of how bright it is.
double CrossingsPerSecond(const std::vector<int16_t> &s, int rate)
{
	int crossings = 0;
	for (size_t i = 1; i < s.size(); i++)
		if (s[i - 1] < 0 && s[i] >= 0)
			crossings++;
	return s.empty() ? 0 : crossings * (double)rate / s.size();
}

// The pitch of a steady tone in Hz, measured between its first and last
// upward zero crossings so that silence around it does not count.
double TonePitch(const std::vector<int16_t> &s, int rate)
{
	long first = -1, last = -1, crossings = 0;
	for (size_t i = 1; i < s.size(); i++)
		if (s[i - 1] < 0 && s[i] >= 0) {
			if (first < 0)
				first = (long)i;
			last = (long)i;
			crossings++;
		}
	return last > first ? (crossings - 1) * (double)rate / (last - first) : 0;
}

std::string Sfx(const std::string &name)
{
	return BesideExecutable("sfx/" + name);
}

// Opens the mixer as the game does (dummy driver in tests) and closes it.
class MixerOpen {
public:
	MixerOpen()
	{
		ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 512) == 0;
	}
	~MixerOpen()
	{
		if (ok)
			Mix_CloseAudio();
		SDL_QuitSubSystem(SDL_INIT_AUDIO);
	}
	bool ok = false;
};

}

TEST(SoundEffectFiles, EveryWavIsMono16BitWithSoundOfItsLength)
{
	struct Row {
		const char *name;
		double minSeconds, maxSeconds;
	};
	const Row rows[] = {
		{"hit1.wav", 0.08, 0.3},   {"hit2.wav", 0.08, 0.3},   {"hit3.wav", 0.08, 0.3},
		{"thuda1.wav", 0.25, 0.6}, {"thuda2.wav", 0.25, 0.6}, {"thuda3.wav", 0.25, 0.6},
		{"thuda4.wav", 0.25, 0.6}, {"step1.wav", 0.05, 0.2},  {"step2.wav", 0.05, 0.2},
		{"step3.wav", 0.05, 0.2},  {"step4.wav", 0.05, 0.2},  {"blob1.wav", 0.1, 0.4},
		{"blob2.wav", 0.1, 0.4},   {"blob3.wav", 0.1, 0.4},   {"click.wav", 0.01, 0.06},
		{"confirm.wav", 0.3, 1.2}, {"collectletter.wav", 0.4, 1.5},
		{"roll1.wav", 0.25, 0.6},  {"roll2.wav", 0.25, 0.6},  {"roll3.wav", 0.25, 0.6},
		{"multi01.wav", 0.2, 0.8}, {"multi02.wav", 0.2, 0.8}, {"multi03.wav", 0.2, 0.8},
		{"multi04.wav", 0.2, 0.8}, {"multi05.wav", 0.2, 0.8}, {"multi06.wav", 0.2, 0.8},
		{"multi07.wav", 0.2, 0.8}, {"multigain.wav", 0.5, 1.6}, {"multilose.wav", 0.2, 0.6},
		{"hurt2.wav", 0.15, 0.5},  {"sword.wav", 0.5, 1.5},   {"thunder.wav", 2.0, 4.0},
		{"cupboard.wav", 0.3, 0.8}, {"cupboardshut.wav", 0.15, 0.5},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.name);
		Pcm pcm = LoadWav(Sfx(row.name));
		ASSERT_TRUE(pcm.ok) << SDL_GetError();
		EXPECT_EQ(pcm.spec.format, AUDIO_S16LSB);
		EXPECT_EQ(pcm.spec.channels, 1);
		EXPECT_TRUE(pcm.spec.freq == 22050 || pcm.spec.freq == 44100) << pcm.spec.freq;
		const double seconds = (double)pcm.samples.size() / pcm.spec.freq;
		EXPECT_GE(seconds, row.minSeconds);
		EXPECT_LE(seconds, row.maxSeconds);
		EXPECT_GT(Rms(pcm.samples), 1000.0) << "too quiet to hear";
		EXPECT_LT(Peak(pcm.samples), 32767) << "clipped";
		EXPECT_GT(Peak(pcm.samples), 16000) << "not normalised";
		// Sounds fade out rather than stop on a loud sample, which would click.
		EXPECT_LT(std::abs((int)pcm.samples.back()), 200);
	}
}

TEST(SoundEffectFiles, VariantsOfAPoolAreNotCopies)
{
	const std::vector<std::vector<const char *>> pools = {
		{"hit1.wav", "hit2.wav", "hit3.wav"},
		{"thuda1.wav", "thuda2.wav", "thuda3.wav", "thuda4.wav"},
		{"step1.wav", "step2.wav", "step3.wav", "step4.wav"},
		{"blob1.wav", "blob2.wav", "blob3.wav"},
		{"roll1.wav", "roll2.wav", "roll3.wav"},
	};
	for (const auto &pool : pools)
		for (size_t a = 0; a < pool.size(); a++)
			for (size_t b = a + 1; b < pool.size(); b++) {
				SCOPED_TRACE(std::string(pool[a]) + " vs " + pool[b]);
				Pcm first = LoadWav(Sfx(pool[a])), second = LoadWav(Sfx(pool[b]));
				ASSERT_TRUE(first.ok && second.ok);
				EXPECT_NE(first.samples, second.samples);
			}
}

TEST(SoundEffectFiles, ThudsAreLowAndClicksAreBright)
{
	// Zero crossings stand in for brightness: a thud is a low boom, a hit a
	// crack of filtered noise, a click a short high tick.
	auto brightness = [](const char *name) {
		Pcm pcm = LoadWav(Sfx(name));
		EXPECT_TRUE(pcm.ok) << name;
		return CrossingsPerSecond(pcm.samples, pcm.spec.freq);
	};
	const double thud = brightness("thuda1.wav");
	const double hit = brightness("hit1.wav");
	const double click = brightness("click.wav");
	EXPECT_LT(thud, 400.0);
	EXPECT_LT(thud * 2, hit);
	EXPECT_LT(hit, click);
}

TEST(SoundEffectFiles, MixerLoadsEveryEffectAndTheVorbisFanfare)
{
	// The fanfare is real Ogg Vorbis: an Ogg page with a Vorbis identification
	// header, not another format under an .ogg name.
	std::vector<uint8_t> ogg = TempFolder::ReadBytes(Sfx("end_fr.ogg"));
	ASSERT_GT(ogg.size(), 64u);
	EXPECT_EQ(std::memcmp(ogg.data(), "OggS", 4), 0);
	EXPECT_EQ(std::memcmp(ogg.data() + 28, "\x01vorbis", 7), 0);

	MixerOpen mixer;
	// SDL's dummy driver has one output device: when all tests share one
	// process, the music player may hold it already. Any other failure to
	// open the mixer is a real one.
	if (!mixer.ok && std::strstr(Mix_GetError(), "already open") != nullptr)
		SKIP_FOR_MISSING_DEVICE() << "the dummy driver's one output device is held by another player in this process";
	ASSERT_TRUE(mixer.ok) << Mix_GetError();
	const char *names[] = {"hit1.wav", "thuda1.wav", "step1.wav", "blob1.wav", "click.wav",
	                       "confirm.wav", "collectletter.wav", "end_fr.ogg", "dead.ogg",
	                       "swordquillowen.ogg", "themesong.ogg"};
	for (const char *name : names) {
		SCOPED_TRACE(name);
		Mix_Chunk *chunk = Mix_LoadWAV(Sfx(name).c_str());
		ASSERT_NE(chunk, nullptr) << Mix_GetError();
		// The mixer converts to 44.1 kHz stereo 16-bit: 4 bytes a frame.
		std::vector<int16_t> samples(chunk->alen / 2);
		std::memcpy(samples.data(), chunk->abuf, samples.size() * 2);
		EXPECT_GT(Rms(samples), 1000.0);
		// The music waits 5 s for the legendary sword's call and the credits
		// roll over the theme, so those two must last.
		struct Length {
			const char *name;
			double least, most;
		};
		const Length lengths[] = {{"end_fr.ogg", 2.0, 5.0}, {"dead.ogg", 2.0, 4.5},
		                          {"swordquillowen.ogg", 4.5, 7.0}, {"themesong.ogg", 15.0, 20.0}};
		for (const Length &length : lengths)
			if (std::strcmp(name, length.name) == 0) {
				const double seconds = chunk->alen / 4.0 / 44100.0;
				EXPECT_GT(seconds, length.least);
				EXPECT_LT(seconds, length.most);
			}
		Mix_FreeChunk(chunk);
	}
}

TEST(SoundEffectFiles, HitChainChimesClimbOneStepAHit)
{
	// The n-th hit of a chain plays the n-th chime: each must sound higher
	// than the one before, and the reward above the last one.
	double previous = 0;
	for (int n = 1; n <= 7; n++) {
		char name[24];
		std::snprintf(name, sizeof name, "multi%02d.wav", n);
		SCOPED_TRACE(name);
		Pcm pcm = LoadWav(Sfx(name));
		ASSERT_TRUE(pcm.ok);
		// The first 0.1 s: the fundamental before the echo joins in.
		std::vector<int16_t> head(pcm.samples.begin(), pcm.samples.begin() + pcm.spec.freq / 10);
		const double pitch = TonePitch(head, pcm.spec.freq);
		EXPECT_GT(pitch, previous * 1.05);
		previous = pitch;
	}
	Pcm lose = LoadWav(Sfx("multilose.wav"));
	ASSERT_TRUE(lose.ok);
	Pcm first = LoadWav(Sfx("multi01.wav"));
	std::vector<int16_t> firstHead(first.samples.begin(), first.samples.begin() + first.spec.freq / 10);
	std::vector<int16_t> loseHead(lose.samples.begin(), lose.samples.begin() + lose.spec.freq / 20);
	EXPECT_LT(CrossingsPerSecond(loseHead, lose.spec.freq), TonePitch(firstHead, first.spec.freq))
		<< "losing the chain sounds lower than starting it";
}

TEST(SfxgenTool, VariantsAreNumberedAndStepInPitch)
{
	TempFolder temp;
	const std::string recipe = temp.Path("recipe.txt");
	WriteTextFile(recipe, "# a test tone\nsound tone/v%d.wav count=3 spread=0.1\nsine freq=440 dur=0.5\n");
	ToolRun run = RunAssetTool("sfxgen", Quoted(temp.Folder()) + " " + Quoted(recipe), temp.Path("log.txt"));
	ASSERT_EQ(run.exitCode, 0) << run.output;
	// The first variant keeps the written pitch, the others go above and below.
	const double expected[] = {440.0, 484.0, 396.0};
	for (int v = 0; v < 3; v++) {
		SCOPED_TRACE(v + 1);
		Pcm pcm = LoadWav(temp.Path("tone/v" + std::to_string(v + 1) + ".wav"));
		ASSERT_TRUE(pcm.ok);
		EXPECT_NEAR(TonePitch(pcm.samples, pcm.spec.freq), expected[v], expected[v] * 0.01);
	}
	EXPECT_FALSE(TempFolder::Exists(temp.Path("tone/v4.wav")));
}

TEST(SfxgenTool, BadRecipesFailAndWriteNothing)
{
	struct Row {
		const char *what, *recipe, *message;
	};
	const Row rows[] = {
		{"unknown wave", "sound out.wav\nwhistle freq=440 dur=0.1\n", "unknown wave"},
		{"layer first", "sine freq=440 dur=0.1\nsound out.wav\n", "layer before the first sound"},
		{"count without %d", "sound out.wav count=2\nsine dur=0.1\n", "needs count"},
		{"%d without count", "sound out%d.wav\nsine dur=0.1\n", "needs count"},
		{"bad number", "sound out.wav\nsine freq=loud dur=0.1\n", "bad value for freq"},
		{"bad note", "sound out.wav\nsine notes=c5,h5 dur=0.1\n", "bad value for notes"},
		{"no layers", "sound out.wav\n", "without layers"},
		{"silence", "sound out.wav\nsine freq=440 dur=0.1 amp=0\n", "only silence"},
		{"unsupported rate", "sound out.wav rate=8000\nsine dur=0.1\n", "bad value for rate"},
	};
	for (const Row &row : rows) {
		SCOPED_TRACE(row.what);
		TempFolder temp;
		const std::string recipe = temp.Path("recipe.txt");
		WriteTextFile(recipe, row.recipe);
		ToolRun run = RunAssetTool("sfxgen", Quoted(temp.Folder()) + " " + Quoted(recipe), temp.Path("log.txt"));
		EXPECT_NE(run.exitCode, 0);
		EXPECT_NE(run.output.find(row.message), std::string::npos) << run.output;
		EXPECT_FALSE(TempFolder::Exists(temp.Path("out.wav")));
	}
}

TEST(SfxgenTool, AFailedWriteKeepsTheOldFile)
{
	TempFolder temp;
	const std::string recipe = temp.Path("recipe.txt");
	WriteTextFile(recipe, "sound big.wav\nnoise dur=2\n");
	const std::vector<uint8_t> old = {'o', 'l', 'd'};
	TempFolder::WriteBytes(temp.Path("big.wav"), old);
	ToolRun run;
	{
		// Two seconds of sound do not fit under this limit: the write fails
		// part way, as on a full disk.
		FileSizeLimit limit(64 * 1024);
		run = RunAssetTool("sfxgen", Quoted(temp.Folder()) + " " + Quoted(recipe), temp.Path("log.txt"));
	}
	EXPECT_NE(run.exitCode, 0);
	EXPECT_EQ(TempFolder::ReadBytes(temp.Path("big.wav")), old);
	EXPECT_FALSE(TempFolder::Exists(temp.Path("big.wav.tmp")));
}
