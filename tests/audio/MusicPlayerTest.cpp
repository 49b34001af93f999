// The game's music player and its cue lists, on SDL's dummy audio driver, with
// cue lists and modules that the tests write; and the cue lists the game
// ships, checked against the modules the build makes.
#include "audio/MusicPlayer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "audio/AudioTestFiles.h"
#include "engine/core/Game.h"
#include "engine/core/NameHash.h"
#include "support/TempFolder.h"

namespace {

// Holds the device's lock so that its thread does not render between the
// test's steps; given up before the player's device could be closed.
class HeldDevice {
public:
	explicit HeldDevice(SDL_AudioDeviceID id) : device(id)
	{
		if (device != 0)
			SDL_LockAudioDevice(device);
	}
	~HeldDevice()
	{
		if (device != 0)
			SDL_UnlockAudioDevice(device);
	}
	HeldDevice(const HeldDevice &) = delete;
	HeldDevice &operator=(const HeldDevice &) = delete;

private:
	SDL_AudioDeviceID device;
};

std::string Captured(const std::function<void()> &action)
{
	testing::internal::CaptureStdout();
	action();
	fflush(stdout);
	return testing::internal::GetCapturedStdout();
}

class MusicPlayerTest : public testing::Test {
protected:
	void SetUp() override
	{
		moduleA = folder.Path("a.mod");
		moduleB = folder.Path("b.mod");
		TempFolder::WriteBytes(moduleA, audiotest::MakeModule(6, {4}));
		TempFolder::WriteBytes(moduleB, audiotest::MakeModule(3));
		player = MusicPlayer::Instance();
		player->SetMuted(false);
	}
	void TearDown() override
	{
		player->Stop();
	}

	// Writes a cue list and returns its absolute path.
	std::string WriteList(const std::string &name, const std::string &body)
	{
		const std::string path = folder.Path(name);
		std::ofstream(path) << body;
		return path;
	}
	std::string CueLine(const std::string &attributes) const { return "<cue " + attributes + "/>"; }

	TempFolder folder;
	Game game{"music test"};
	std::string moduleA;
	std::string moduleB;
	MusicPlayer *player = nullptr;
};

}

TEST(MusicCueNumbers, BlanksSeparateDigitsBuildAndOnlySixteenCharactersCount)
{
	const struct {
		const char *text;
		uint16_t start, end, loop;
	} rows[] = {
		{"4 6 2", 4, 6, 2},
		{"4  6", 4, 0, 6},
		{"12,5", 125, 0, 0},
		{"12 20", 12, 20, 0},
		{"  7", 0, 0, 7},
		{"4\t6", 46, 0, 0},          // only a space separates
		{"1 2 3 4 5", 1, 2, 3},      // numbers past the third are dropped
		{"1 2 3    99999", 1, 2, 3}, // blanks past the third go nowhere either
		{"0000000000000012 3", 12, 0, 0},
		{"123456789012345 7", 57209, 0, 0}, // 16-bit wrap; the 7 lies outside
		{"65537", 1, 0, 0},
		{"", 7, 7, 7},
		{nullptr, 7, 7, 7},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.text != nullptr ? row.text : "(null)");
		uint16_t numbers[5] = {0xAAAA, 7, 7, 7, 0xAAAA}; // guards either side
		ParseCueNumbers(row.text, &numbers[1], &numbers[2], &numbers[3]);
		EXPECT_EQ(row.start, numbers[1]);
		EXPECT_EQ(row.end, numbers[2]);
		EXPECT_EQ(row.loop, numbers[3]);
		EXPECT_EQ(0xAAAA, numbers[0]);
		EXPECT_EQ(0xAAAA, numbers[4]);
	}
	uint16_t end = 0;
	ParseCueNumbers("4 6 2", nullptr, &end, nullptr);
	EXPECT_EQ(6, end) << "null outputs are skipped";
}

TEST_F(MusicPlayerTest, CueListAttributesBecomeCuesAndModuleVolumes)
{
	const std::string list = WriteList("list.xml",
		"<music volume=\"300\">" +
		CueLine("file=\"" + moduleA + "\" save=\"alpha\" env=\"forest\" music=\"1 3 2\" persistant=\"1\" volume=\"200\"") +
		"<song file=\"" + moduleB + "\" save=\"beta\" persistant=\"0\"/>" +
		CueLine("file=\"" + moduleA + "\" save=\"gamma\" persistant=\"-2\" volume=\"100\" music=\"4\"") +
		CueLine("save=\"delta\"") + "</music>");
	player->LoadCues(list.c_str());
	ASSERT_EQ(4u, player->CueCount());

	const struct {
		const char *save;
		const std::string *file;
		const char *env;
		uint16_t start, end, loop;
		uint8_t persistent;
	} rows[] = {
		{"alpha", &moduleA, "forest", 1, 3, 2, 1},
		{"beta", &moduleB, nullptr, 0, 0, 0, 0}, // not named "cue", still a cue
		{"gamma", &moduleA, nullptr, 4, 0, 0, 0},
		{"delta", nullptr, nullptr, 0, 0, 0, 0},
	};
	for (size_t i = 0; i < std::size(rows); i++) {
		const auto &row = rows[i];
		SCOPED_TRACE(row.save);
		const MusicCue *cue = player->GetCue(i);
		ASSERT_NE(nullptr, cue);
		EXPECT_EQ(HashName(row.save), cue->id);
		EXPECT_EQ(row.file != nullptr ? HashName(row.file->c_str()) : 0, cue->module);
		EXPECT_EQ(HashName(row.env), cue->env);
		EXPECT_EQ(row.start, cue->startOrder);
		EXPECT_EQ(row.end, cue->endOrder);
		EXPECT_EQ(row.loop, cue->loopOrder);
		EXPECT_EQ(row.persistent, cue->persistent);
	}
	// One module per file; the later cue of a file sets its volume.
	ASSERT_EQ(2u, player->GetModuleCount());
	EXPECT_EQ(100, player->GetModule(0)->volume);
	EXPECT_EQ(300, player->GetModule(1)->volume) << "the list's volume";
	EXPECT_EQ(300, player->GetDefaultVolume());

	const std::string plain = WriteList("plain.xml", "<music>" + CueLine("file=\"" + moduleB + "\" save=\"x\"") + "</music>");
	player->LoadCues(plain.c_str());
	ASSERT_EQ(1u, player->GetModuleCount());
	EXPECT_EQ(480, player->GetModule(0)->volume) << "no volume anywhere";
}

TEST_F(MusicPlayerTest, SameListIsReadOnceAndSwitchingStopsAndFreesTheOldList)
{
	const std::string first = WriteList("first.xml", "<music>" +
		CueLine("file=\"" + moduleA + "\" save=\"one\" music=\"0 3\"") +
		CueLine("file=\"" + moduleB + "\" save=\"two\"") + "</music>");
	const std::string second = WriteList("second.xml", "<music>" + CueLine("file=\"" + moduleB + "\" save=\"three\"") + "</music>");

	player->LoadCues(first.c_str());
	ASSERT_EQ(2u, player->GetModuleCount());
	ASSERT_TRUE(player->PlayCueByName("one"));
	HeldDevice held(player->GetDevice());

	player->LoadCues(first.c_str());
	EXPECT_EQ(HashName("one"), player->CurrentCueId()) << "reading the same list again changed nothing";
	EXPECT_NE(nullptr, player->GetDeck(0).module);
	// The dummy driver has one output device, which the sound mixer may hold
	// in a run of many tests; the device's state is only seen when it opened.
	const bool device = player->GetDevice() != 0;
	if (device) {
		EXPECT_EQ(SDL_AUDIO_PLAYING, SDL_GetAudioDeviceStatus(player->GetDevice()));
	}

	player->LoadCues(second.c_str());
	EXPECT_EQ(nullptr, player->GetDeck(0).module) << "switching lists stops the music";
	if (device) {
		EXPECT_EQ(SDL_AUDIO_PAUSED, SDL_GetAudioDeviceStatus(player->GetDevice()));
	}
	EXPECT_EQ(1u, player->CueCount());
	EXPECT_EQ(1u, player->GetModuleCount()) << "the old list's modules are gone";
	EXPECT_EQ(second, player->CueListName());
	EXPECT_TRUE(player->PlayCueByName("three"));
}

TEST_F(MusicPlayerTest, ListThatFailedToReadIsReadAgainNextTime)
{
	const struct {
		const char *name;
		std::string body; // empty: no file at all
		const char *log;
	} rows[] = {
		{"missing.xml", "", "Couldn't load music cues from "},
		{"broken.xml", "<music><cue", "Couldn't load music cues from "},
		{"rootless.xml", "<songs/>", "Couldn't find valid cue  s in file "},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		const std::string path = folder.Path(row.name);
		if (!row.body.empty())
			WriteList(row.name, row.body);
		const std::string log = Captured([&] { player->LoadCues(path.c_str()); });
		EXPECT_NE(std::string::npos, log.find(row.log + path + "\n")) << log;
		EXPECT_EQ(0u, player->CueCount());

		WriteList(row.name, "<music>" + CueLine("file=\"" + moduleB + "\" save=\"late\"") + "</music>");
		player->LoadCues(path.c_str());
		EXPECT_EQ(1u, player->CueCount()) << "the same name was read again";
	}
}

TEST_F(MusicPlayerTest, AreaMusicIsTheFirstCueWhoseFlagIsSetAndEnvironmentFits)
{
	const std::string list = WriteList("areas.xml", "<music>" +
		CueLine("file=\"" + moduleA + "\" save=\"cave\" env=\"cave\" music=\"5\"") +
		CueLine("file=\"" + moduleA + "\" music=\"0\"") + // no name: never chosen
		CueLine("file=\"" + moduleA + "\" save=\"flagA\" env=\"forest\" music=\"1\"") +
		CueLine("file=\"" + moduleA + "\" save=\"flagB\" music=\"2\"") +
		CueLine("file=\"" + moduleA + "\" save=\"flagD\" env=\"snow\" music=\"3\"") + "</music>");
	player->LoadCues(list.c_str());

	const uint16_t forest = HashName("forest");
	const uint16_t snow = HashName("snow");
	const uint16_t desert = HashName("desert");
	const struct {
		const char *name;
		std::vector<const char *> flags;
		uint16_t env;
		const char *plays; // null: nothing changes
	} rows[] = {
		{"earlier cue of the same environment wins", {"flagA", "flagB"}, forest, "flagA"},
		{"earlier cue of another environment is passed", {"flagA", "flagB"}, snow, "flagB"},
		{"a map without environment takes the first flagged", {"flagA", "flagB"}, 0, "flagA"},
		{"unflagged cue is passed", {"flagB"}, forest, "flagB"},
		{"cue of another environment never plays", {"flagD"}, desert, nullptr},
		{"an earlier cue for any environment beats a later one for this", {"flagD", "flagB"}, snow, "flagB"},
		{"cue of this environment", {"flagD"}, snow, "flagD"},
		{"no flags set", {}, forest, nullptr},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		std::set<uint16_t> setFlags;
		for (const char *flag : row.flags)
			setFlags.insert(HashName(flag));
		const MusicPlayer::FlagTest isFlagSet = [&](uint16_t id) { return setFlags.count(id) != 0; };
		// Something plays already; an area without music leaves it on.
		MusicCue before;
		before.id = 77;
		before.module = HashName(moduleA.c_str());
		before.startOrder = 5;
		ASSERT_TRUE(player->PlayCue(&before));

		EXPECT_FALSE(player->PlayForArea(row.env, nullptr)) << "no flag test, no flag is known to be set";
		EXPECT_EQ(row.plays != nullptr, player->PlayForArea(row.env, isFlagSet));
		EXPECT_EQ(row.plays != nullptr ? HashName(row.plays) : 77, player->CurrentCueId());
	}
}

TEST_F(MusicPlayerTest, PlayByNameTakesCueNamesAndBareOrderNumbers)
{
	const std::string list = WriteList("names.xml", "<music>" +
		CueLine("file=\"" + moduleA + "\" save=\"alpha\" music=\"1 5\"") +
		CueLine("file=\"" + moduleB + "\" save=\"beta\" music=\"0 2\"") + "</music>");
	player->LoadCues(list.c_str());
	HeldDevice held(player->GetDevice());

	const struct {
		const char *before; // played first, null for nothing
		const char *name;
		bool played;
		const std::string *module;
		uint16_t start, end;
	} rows[] = {
		{nullptr, "alpha", true, &moduleA, 1, 5},
		{"beta", "2 3", true, &moduleB, 2, 3},    // numbers play the module playing
		{nullptr, "3 4", true, &moduleA, 3, 4},   // nothing playing: the first module
		{"alpha", "4 5 1", true, &moduleA, 4, 5},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(row.name);
		player->Stop();
		if (row.before != nullptr) {
			ASSERT_TRUE(player->PlayCueByName(row.before));
		}
		EXPECT_EQ(row.played, player->PlayCueByName(row.name));
		const MusicDeck deck = player->GetDeck(0);
		ASSERT_NE(nullptr, deck.module);
		EXPECT_EQ(HashName(row.module->c_str()), deck.module->key);
		EXPECT_EQ(row.start, deck.cue.startOrder);
		EXPECT_EQ(row.end, deck.cue.endOrder);
	}

	// A missing name asks twice before giving up.
	const std::string log = Captured([&] { EXPECT_FALSE(player->PlayCueByName("gamma")); });
	const std::string id = std::to_string(HashName("gamma"));
	EXPECT_EQ("Can't find cue " + id + "\nCan't find cue gamma\nCan't find cue " + id +
		"\nCan't find cue gamma\nCan't play null cue\n", log);

	// The pause menu steps through the list by index.
	ASSERT_TRUE(player->PlayCueByName("beta"));
	EXPECT_EQ(1, player->CurrentCueIndex());
	EXPECT_EQ(HashName("alpha"), player->CueAt(0));
	EXPECT_EQ(0, player->CueAt(2)) << "past the end";
	player->Stop();
	EXPECT_EQ(0, player->CurrentCueIndex()) << "nothing plays";

	EXPECT_TRUE(player->HasCue("ALPHA")) << "names compare by hash";
	EXPECT_FALSE(player->HasCue("gamma"));
	EXPECT_FALSE(player->HasCueId(0)) << "id 0 is never found by the quiet test";

	// With no modules at all, bare numbers have nothing to play.

	const std::string empty = WriteList("empty.xml", "<music/>");
	player->LoadCues(empty.c_str());
	EXPECT_EQ("Can't play music cue - missing mod.\n", Captured([&] { EXPECT_FALSE(player->PlayCueByName("1 2")); }));
}

TEST_F(MusicPlayerTest, ShippedCueListsLoadTheGamesCuesAndTheirModule)
{
	const char *lists[] = {"data/music.xml", "data/music8.xml"};
	const char *named[] = {"theme", "start", "fight1", "fight2", "meats"};
	for (const char *list : lists) {
		SCOPED_TRACE(list);
		player->LoadCues(list);
		ASSERT_GT(player->CueCount(), std::size(named)) << "area cues besides the named ones";
		for (const char *name : named)
			EXPECT_TRUE(player->HasCue(name)) << name;
		ASSERT_EQ(1u, player->GetModuleCount());
		ASSERT_NE(nullptr, player->GetModule(0)->file) << "the module loads in libmodplug";
		for (size_t i = 0; i < player->CueCount(); i++) {
			SCOPED_TRACE(i);
			const MusicCue *cue = player->GetCue(i);
			EXPECT_NE(0, cue->id) << "every cue can be found by name";
			EXPECT_EQ(player->GetModule(0)->key, cue->module);
			EXPECT_LT(cue->startOrder, cue->endOrder);
		}
		EXPECT_TRUE(player->PlayCueByName("theme"));
		EXPECT_TRUE(player->IsMainCueExclusive()) << "no fight music over the title theme";
		EXPECT_FALSE(player->PlayOverlayCue(player->FindCue("fight1")));
		EXPECT_TRUE(player->PlayCueByName("town")) << "the town map names this cue";
		EXPECT_TRUE(player->PlayOverlayCue(player->FindCue("fight1")));
	}
}
