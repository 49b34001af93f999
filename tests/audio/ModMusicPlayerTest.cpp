// The tracker player on SDL's dummy audio driver, with a small module that the
// tests write. The device's own thread is held off with the device lock for
// the whole test, and the callback is called directly, so every buffer the
// tests look at is rendered deterministically on the test's thread.
#include "audio/ModMusicPlayer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioTestFiles.h"
#include "engine/core/Game.h"
#include "engine/core/NameHash.h"
#include "support/TempFolder.h"
#include "support/MissingDevice.h"

namespace {

constexpr int kBufferBytes = 2048;     // one device buffer: 512 frames of 16-bit stereo
constexpr int kMaxBuffers = 1000;      // far more than the test module's length
constexpr int kSilentOrder = 4;        // the test module's only silent order
constexpr int kModuleOrders = 6;

class TestPlayer : public ModMusicPlayer {
public:
	using ModMusicPlayer::OpenModule;
	void AddCue(const MusicCue &cue) { Cues().push_back(cue); }
};

// A running game, a player with the test module loaded, and the device held.
struct MusicRig {
	explicit MusicRig(const std::string &modulePath)
	{
		game.emplace("music test");
		module = player.OpenModule(modulePath.c_str());
		if (player.GetDevice() != 0)
			SDL_LockAudioDevice(player.GetDevice());
	}
	~MusicRig()
	{
		// The device's thread needs the lock to finish when the player closes it.
		if (player.GetDevice() != 0)
			SDL_UnlockAudioDevice(player.GetDevice());
	}

	MusicCue Cue(uint16_t start, uint16_t end, uint16_t loop, uint8_t persistent = 0) const
	{
		MusicCue cue;
		cue.id = 1;
		cue.module = module != nullptr ? module->key : 0;
		cue.startOrder = start;
		cue.endOrder = end;
		cue.loopOrder = loop;
		cue.persistent = persistent;
		return cue;
	}
	bool Play(const MusicCue &cue) { return player.PlayCue(&cue); }
	bool Overlay(const MusicCue &cue) { return player.PlayOverlayCue(&cue); }
	std::vector<uint8_t> Render()
	{
		std::vector<uint8_t> buffer(kBufferBytes, 0x5A);
		ModMusicPlayer::AudioCallback(&player, buffer.data(), kBufferBytes);
		return buffer;
	}
	// Renders until the deck's order is `order`; false when it never gets there.
	bool RenderUntil(int deck, uint16_t order)
	{
		for (int i = 0; i < kMaxBuffers; i++) {
			Render();
			if (player.GetDeck(deck).order == order)
				return true;
		}
		return false;
	}
	SDL_AudioStatus DeviceStatus() const { return SDL_GetAudioDeviceStatus(player.GetDevice()); }
	bool HasDevice() const { return player.GetDevice() != 0; }

	std::optional<Game> game;
	TestPlayer player;
	std::optional<ModMusicPlayer> newer; // goes first, leaving no current player
	MusicModule *module = nullptr;
};

// The dummy driver has a single output device; in a run of many tests in one
// process, the game's sound mixer or music player may hold it already.
constexpr const char *kDeviceTaken =
	"no audio output device: none could be opened, or another player in this process holds the dummy driver's one";

class ModMusicPlayerTest : public testing::Test {
protected:
	void SetUp() override
	{
		modulePath = folder.Path("song.mod");
		TempFolder::WriteBytes(modulePath, audiotest::MakeModule(kModuleOrders, {kSilentOrder}));
	}

	TempFolder folder;
	std::string modulePath;
};

}

TEST_F(ModMusicPlayerTest, CallbackWritesSilenceUnlessAPlayableCueSounds)
{
	const struct {
		const char *name;
		std::function<void(MusicRig &)> arrange;
		bool signal;
	} rows[] = {
		{"a cue playing", [](MusicRig &rig) { rig.Play(rig.Cue(0, 0, 0)); }, true},
		{"nothing played yet", [](MusicRig &) {}, false},
		{"stopped after playing", [](MusicRig &rig) { rig.Play(rig.Cue(0, 0, 0)); rig.player.Stop(); }, false},
		{"muted while playing", [](MusicRig &rig) { rig.Play(rig.Cue(0, 0, 0)); rig.player.SetMuted(true); }, false},
		{"the game has quit", [](MusicRig &rig) { rig.Play(rig.Cue(0, 0, 0)); rig.game->Quit(); }, false},
		{"no game object", [](MusicRig &rig) { rig.Play(rig.Cue(0, 0, 0)); rig.game.reset(); }, false},
		{"another player is current", [](MusicRig &rig) { rig.Play(rig.Cue(0, 0, 0)); rig.newer.emplace(); }, false},
		{"the overlay plays a silent order", [](MusicRig &rig) {
			rig.Play(rig.Cue(0, 0, 0));
			rig.Overlay(rig.Cue(kSilentOrder, kSilentOrder, 0));
			rig.Render(); // lets the note fade out
		}, false},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		MusicRig rig(modulePath);
		ASSERT_NE(nullptr, rig.module);
		row.arrange(rig);
		const std::vector<uint8_t> buffer = rig.Render();
		EXPECT_EQ(row.signal, audiotest::HasSignal(buffer.data(), buffer.size()));
		if (!row.signal) {
			for (uint8_t byte : buffer)
				ASSERT_EQ(0, byte) << "stale bytes left in the device buffer";
		}
	}
}

TEST(ModMusicPlayerLoop, KeepBytesStayInsideTheBufferOnWholeFrames)
{
	// 44.1 kHz stereo at tempo 125: a row is 21,168 bytes.
	const struct {
		const char *name;
		uint32_t length, rendered, row;
		int tempo;
		uint32_t frequency, channels, keep;
	} rows[] = {
		{"past-end order began 832 bytes ago", 2048, 21168 + 832, 0, 125, 44100, 2, 2048 - 832},
		{"second row of the past-end order", 2048, 100, 1, 125, 44100, 2, (2048u - (100 + 21168) % 2048) % 2048},
		{"odd offset rounds down to a frame", 2048, 21168 + 3, 0, 125, 44100, 2, 2044},
		{"order began exactly at the buffer start", 2048, 21168 + 2048, 0, 125, 44100, 2, 0},
		{"tempo 0 keeps the whole buffer", 2048, 5000, 0, 0, 44100, 2, 2048},
		{"negative tempo keeps the whole buffer", 2048, 5000, 0, -3, 44100, 2, 2048},
		{"no frequency: row size 0", 2048, 5000, 2, 125, 0, 2, 2048},
		{"no channels: row size 0", 2048, 5000, 2, 125, 44100, 0, 2048},
		{"empty buffer", 0, 5000, 2, 125, 44100, 2, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		const uint32_t keep =
			ModMusicPlayer::LoopKeepBytes(row.length, row.rendered, row.row, row.tempo, row.frequency, row.channels);
		EXPECT_EQ(row.keep, keep);
		EXPECT_LE(keep, row.length);
		EXPECT_EQ(0u, keep % 4);
	}
}

TEST_F(ModMusicPlayerTest, EndOrderPlaysWholeThenLoopsBackWithinTheBuffer)
{
	const struct {
		const char *name;
		uint16_t start, end, loop;
		bool loops;
		uint16_t backTo;
	} rows[] = {
		{"end 3, loop 1", 0, 3, 1, true, 1},
		{"end 3, no loop order: back to the start", 2, 3, 0, true, 2},
		{"no end: plays on", 0, 0, 1, false, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		MusicRig rig(modulePath);
		ASSERT_NE(nullptr, rig.module);
		ASSERT_TRUE(rig.Play(rig.Cue(row.start, row.end, row.loop)));

		bool sawEnd = false;
		bool looped = false;
		uint16_t highest = 0;
		for (int i = 0; i < kMaxBuffers && !looped; i++) {
			const uint16_t before = rig.player.GetDeck(0).order;
			const std::vector<uint8_t> buffer = rig.Render();
			const uint16_t after = rig.player.GetDeck(0).order;
			highest = std::max(highest, after);
			sawEnd = sawEnd || after == 3;
			if (after < before) {
				looped = true;
				EXPECT_EQ(row.backTo, after);
				// The order after the end is silent: a sounding tail shows
				// that the buffer's end was rendered again from the loop.
				EXPECT_TRUE(audiotest::HasSignal(buffer.data() + kBufferBytes - 256, 256));
			}
			if (highest > 4)
				break;
		}
		EXPECT_TRUE(sawEnd);
		EXPECT_EQ(row.loops, looped);
		if (row.loops)
			EXPECT_EQ(3, highest) << "the order after the end showed";
		else
			EXPECT_GT(highest, 3);
	}
}

TEST_F(ModMusicPlayerTest, CueStartingInsideThePlayingRangeKeepsThePosition)
{
	const struct {
		const char *name;
		MusicCue (*make)(const MusicRig &);
		uint16_t orderAfter;
	} rows[] = {
		{"start inside the range", [](const MusicRig &rig) { return rig.Cue(1, 3, 1); }, 2},
		{"start at the range's end", [](const MusicRig &rig) { return rig.Cue(5, 0, 0); }, 5},
		{"start before the range", [](const MusicRig &rig) { return rig.Cue(0, 5, 0); }, 0},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		MusicRig rig(modulePath);
		ASSERT_NE(nullptr, rig.module);
		ASSERT_TRUE(rig.Play(rig.Cue(1, 5, 0)));
		ASSERT_TRUE(rig.RenderUntil(0, 2));
		const MusicCue next = row.make(rig);
		ASSERT_TRUE(rig.player.PlayCue(&next));
		rig.Render();
		EXPECT_EQ(row.orderAfter, rig.player.GetDeck(0).order);
		EXPECT_EQ(next.endOrder, rig.player.GetDeck(0).cue.endOrder);
	}
}

TEST_F(ModMusicPlayerTest, OverlayReplacesTheMainCueUntilItEnds)
{
	MusicRig rig(modulePath);
	ASSERT_NE(nullptr, rig.module);
	if (!rig.HasDevice())
		SKIP_FOR_MISSING_DEVICE() << kDeviceTaken;
	ASSERT_TRUE(rig.Play(rig.Cue(0, 0, 0)));
	ASSERT_TRUE(rig.RenderUntil(0, 2));

	ASSERT_TRUE(rig.Overlay(rig.Cue(kSilentOrder, 5, 0)));
	EXPECT_NE(nullptr, rig.player.GetDeck(1).module);
	rig.Render();
	rig.Render();
	const uint32_t overlayRendered = rig.player.GetDeck(1).rendered;
	EXPECT_EQ(kSilentOrder, rig.player.GetDeck(1).order);
	EXPECT_EQ(2, rig.player.GetDeck(0).order) << "the main deck stood still under the overlay";

	// A second overlay whose range holds the overlay's order does not restart it.
	EXPECT_TRUE(rig.Overlay(rig.Cue(3, 5, 0)));
	EXPECT_EQ(overlayRendered, rig.player.GetDeck(1).rendered);

	rig.player.EndOverlayCue();
	EXPECT_EQ(nullptr, rig.player.GetDeck(1).module);
	const std::vector<uint8_t> buffer = rig.Render();
	EXPECT_EQ(2, rig.player.GetDeck(0).order) << "the main cue went on where it was";
	EXPECT_TRUE(audiotest::HasSignal(buffer.data(), buffer.size()));
	EXPECT_EQ(SDL_AUDIO_PLAYING, rig.DeviceStatus());
}

TEST_F(ModMusicPlayerTest, OverlayIsRefusedUnderAPersistentMainCueOrWhenMuted)
{
	const struct {
		const char *name;
		uint8_t persistent;
		bool mute;
		bool accepted;
	} rows[] = {
		{"plain main cue", 0, false, true},
		{"persistent main cue", 1, false, false},
		{"muted", 0, true, false},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		MusicRig rig(modulePath);
		ASSERT_NE(nullptr, rig.module);
		ASSERT_TRUE(rig.Play(rig.Cue(0, 3, 0, row.persistent)));
		EXPECT_EQ(row.persistent != 0, rig.player.IsMainCueExclusive());
		rig.player.SetMuted(row.mute);
		EXPECT_EQ(row.accepted, rig.Overlay(rig.Cue(kSilentOrder, 5, 0)));
		EXPECT_EQ(row.accepted, rig.player.GetDeck(1).module != nullptr);
	}
}

TEST_F(ModMusicPlayerTest, PauseForResumesAtTheSavedOrderWhenTheTimeIsUp)
{
	MusicRig rig(modulePath);
	ASSERT_NE(nullptr, rig.module);
	if (!rig.HasDevice())
		SKIP_FOR_MISSING_DEVICE() << kDeviceTaken;
	ASSERT_TRUE(rig.Play(rig.Cue(0, 0, 0)));
	ASSERT_TRUE(rig.RenderUntil(0, 2));
	for (int i = 0; i < kMaxBuffers && ModPlug_GetCurrentRow(rig.module->file) < 1; i++)
		rig.Render(); // into the order's second row

	rig.player.PauseFor(2.5f);
	EXPECT_EQ(SDL_AUDIO_PAUSED, rig.DeviceStatus());
	EXPECT_EQ(2, rig.player.GetSavedOrder());
	const float steps[] = {1.0f, 1.0f};
	for (float step : steps) {
		rig.player.Update(step);
		EXPECT_EQ(SDL_AUDIO_PAUSED, rig.DeviceStatus());
	}
	rig.player.Update(0.5f);
	EXPECT_EQ(SDL_AUDIO_PLAYING, rig.DeviceStatus());
	EXPECT_TRUE(rig.player.IsPlaying());
	// Resumed from the start of the saved order.
	rig.Render();
	EXPECT_EQ(2, rig.player.GetDeck(0).order);
	EXPECT_EQ(0, ModPlug_GetCurrentRow(rig.module->file));
}

TEST_F(ModMusicPlayerTest, CueStartedDuringATimedPauseWaitsAndThenStartsAtItsOwnStart)
{
	MusicRig rig(modulePath);
	ASSERT_NE(nullptr, rig.module);
	if (!rig.HasDevice())
		SKIP_FOR_MISSING_DEVICE() << kDeviceTaken;
	ASSERT_TRUE(rig.Play(rig.Cue(0, 0, 0)));
	ASSERT_TRUE(rig.RenderUntil(0, 1));
	rig.player.PauseFor(1.0f);

	ASSERT_TRUE(rig.Play(rig.Cue(3, 5, 0)));
	EXPECT_EQ(SDL_AUDIO_PAUSED, rig.DeviceStatus());
	rig.player.Update(1.0f);
	EXPECT_EQ(SDL_AUDIO_PLAYING, rig.DeviceStatus());
	rig.Render();
	EXPECT_EQ(3, rig.player.GetDeck(0).order);
}

TEST_F(ModMusicPlayerTest, MutingPausesAndUnmutingResumesWhereTheMusicWas)
{
	MusicRig rig(modulePath);
	ASSERT_NE(nullptr, rig.module);
	if (!rig.HasDevice())
		SKIP_FOR_MISSING_DEVICE() << kDeviceTaken;
	ASSERT_TRUE(rig.Play(rig.Cue(0, 0, 0)));
	ASSERT_TRUE(rig.RenderUntil(0, 3));

	rig.player.SetMuted(true);
	EXPECT_TRUE(rig.player.IsMuted());
	EXPECT_EQ(SDL_AUDIO_PAUSED, rig.DeviceStatus());
	EXPECT_FALSE(rig.Play(rig.Cue(0, 0, 0))) << "cues are refused while muted";
	const std::vector<uint8_t> muted = rig.Render();
	EXPECT_FALSE(audiotest::HasSignal(muted.data(), muted.size()));

	rig.player.SetMuted(false);
	EXPECT_EQ(SDL_AUDIO_PLAYING, rig.DeviceStatus());
	const std::vector<uint8_t> resumed = rig.Render();
	EXPECT_TRUE(audiotest::HasSignal(resumed.data(), resumed.size()));
	EXPECT_EQ(3, rig.player.GetDeck(0).order);
}

TEST_F(ModMusicPlayerTest, VolumeScalesTheMainModule)
{
	const struct {
		float factor;
		unsigned int master;
	} rows[] = {{0.3f, 144}, {0.5f, 240}, {1.0f, 480}};
	MusicRig rig(modulePath);
	ASSERT_NE(nullptr, rig.module);
	ASSERT_TRUE(rig.Play(rig.Cue(0, 0, 0)));
	EXPECT_EQ(480u, ModPlug_GetMasterVolume(rig.module->file));
	for (const auto &row : rows) {
		SCOPED_TRACE(row.factor);
		rig.player.SetVolume(row.factor);
		EXPECT_EQ(row.master, ModPlug_GetMasterVolume(rig.module->file));
	}
}

TEST_F(ModMusicPlayerTest, ModulesLoadOnceBrokenOnesNeverPlayAndWholeModulesPlayThrough)
{
	const std::string broken = folder.Path("broken.mod");
	TempFolder::WriteBytes(broken, {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'});
	MusicRig rig(modulePath);
	ASSERT_NE(nullptr, rig.module);

	EXPECT_EQ(rig.module, rig.player.OpenModule(modulePath.c_str())) << "the same file is one module";
	EXPECT_EQ(1u, rig.player.GetModuleCount());

	testing::internal::CaptureStdout();
	EXPECT_EQ(nullptr, rig.player.OpenModule(folder.Path("absent.mod").c_str()));
	fflush(stdout);
	EXPECT_EQ("File cannot be read: " + folder.Path("absent.mod") + "\n", testing::internal::GetCapturedStdout());

	MusicModule *refused = rig.player.OpenModule(broken.c_str());
	ASSERT_NE(nullptr, refused);
	EXPECT_EQ(nullptr, refused->file);
	MusicCue cue = rig.Cue(0, 0, 0);
	cue.module = refused->key;
	testing::internal::CaptureStdout();
	EXPECT_FALSE(rig.player.PlayCue(&cue));
	fflush(stdout);
	EXPECT_EQ("Can't play music cue - missing mod.\n", testing::internal::GetCapturedStdout());
	EXPECT_EQ(nullptr, rig.player.GetDeck(0).module);

	// A whole module plays from its first order with no end.
	rig.player.PlayModule(modulePath.c_str());
	const MusicDeck deck = rig.player.GetDeck(0);
	EXPECT_EQ(rig.module, deck.module);
	EXPECT_EQ(HashName(modulePath.c_str()), deck.cue.id);
	EXPECT_EQ(0, deck.cue.endOrder);
	EXPECT_TRUE(rig.RenderUntil(0, 5));
}

TEST_F(ModMusicPlayerTest, DeviceIsClosedWhenThePlayerGoes)
{
	Game game("music test");
	auto *player = new TestPlayer();
	ASSERT_NE(nullptr, player->OpenModule(modulePath.c_str()));
	const SDL_AudioDeviceID device = player->GetDevice();
	if (device == 0) {
		delete player;
		SKIP_FOR_MISSING_DEVICE() << kDeviceTaken;
	}
	MusicCue cue;
	cue.module = HashName(modulePath.c_str());
	ASSERT_TRUE(player->PlayCue(&cue));
	EXPECT_EQ(SDL_AUDIO_PLAYING, SDL_GetAudioDeviceStatus(device));
	SDL_Delay(30); // let the device's thread render a few buffers
	delete player;
	EXPECT_EQ(SDL_AUDIO_STOPPED, SDL_GetAudioDeviceStatus(device));
	EXPECT_EQ(nullptr, ModMusicPlayer::Instance());
}
