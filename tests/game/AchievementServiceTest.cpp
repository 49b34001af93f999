#include <gtest/gtest.h>

#include <SDL.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/core/Log.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/GameServiceSteam.h"
#include "game/TalvexGame.h"
#include "objects/CollectableKind.h"
#include "support/MissingDevice.h"
#include "support/StoreQuestion.h"
#include "support/TempFolder.h"

namespace {

// The test client's own controls, found in it by name as the service finds
// the client's entry points.
struct FakeClient {
	void *library = SDL_LoadObject(TALVEX_FAKE_CLIENT);
	void Reset(bool starts, bool givesInterface)
	{
		reinterpret_cast<void (*)(bool, bool)>(SDL_LoadFunction(library, "FakeClient_Reset"))(starts, givesInterface);
	}
	void SetAchieved(const char *name)
	{
		reinterpret_cast<void (*)(const char *)>(SDL_LoadFunction(library, "FakeClient_SetAchieved"))(name);
	}
	int Sets() { return reinterpret_cast<int (*)()>(SDL_LoadFunction(library, "FakeClient_Sets"))(); }
	int Stores() { return reinterpret_cast<int (*)()>(SDL_LoadFunction(library, "FakeClient_Stores"))(); }
};

class AchievementServiceTest : public testing::Test {
protected:
	void SetUp() override
	{
		previousHook = GetMessageBoxHook();
		StoreQuestion::Asked() = 0;
		Achievements::SetStateFolder(folder.Folder().c_str());
		GameProgress::ResetGlobal();
		TalvexGame::Current(); // the game's link carries the record's flags down to the missions
		ASSERT_NE(nullptr, client.library) << SDL_GetError();
		client.Reset(true, true);
		service.Disconnect();
	}
	void TearDown() override
	{
		SetMessageBoxHook(previousHook);
		service.SetLibraryName(nullptr);
		service.Disconnect();
		GameProgress::ResetGlobal();
	}

	MessageBoxHook previousHook = nullptr;
	TempFolder folder;
	FakeClient client;
	GameServiceSteam &service = GameServiceSteam::Instance();
};

class StartingGame : public TalvexGame {};

}

// Whatever keeps the client out of reach asks the question through the
// message box; "Abort" stops, "Proceed" plays on without the service.
TEST_F(AchievementServiceTest, AnUnreachableClientAsksWhetherToGoOn)
{
	const struct {
		const char *name;
		std::string library;
		bool starts, givesInterface;
	} rows[] = {
		{"no library", "/nonexistent/libsteam_api.so", true, true},
		{"an entry point missing", TALVEX_FAKE_CLIENT_PARTIAL, true, true},
		{"the client does not start", TALVEX_FAKE_CLIENT, false, true},
		{"no statistics interface", TALVEX_FAKE_CLIENT, true, false},
	};
	for (const auto &row : rows) {
		for (bool proceed : {false, true}) {
			SCOPED_TRACE(std::string(row.name) + (proceed ? ", proceed" : ", abort"));
			client.Reset(row.starts, row.givesInterface);
			service.Disconnect();
			service.SetLibraryName(row.library.c_str());
			SetMessageBoxHook(proceed ? &StoreQuestion::Proceed : &StoreQuestion::Abort);
			StoreQuestion::Asked() = 0;
			testing::internal::CaptureStdout();
			const uint32_t result = service.Init();
			testing::internal::GetCapturedStdout();
			EXPECT_EQ(proceed ? 0u : 1u, result);
			EXPECT_EQ(1, StoreQuestion::Asked());
			EXPECT_EQ("Critical Warning!", StoreQuestion::Title());
			EXPECT_EQ(GameServiceSteam::kNoClientText, StoreQuestion::Text());
			EXPECT_EQ("Proceed/Abort", StoreQuestion::Buttons());
			EXPECT_TRUE(service.IsFailed());
			EXPECT_FALSE(service.UnlockAchievement("news"));
			EXPECT_EQ(0, client.Sets());
		}
	}
}

// With the test client: a new achievement is set and stored; one the client
// already has is not set again; after shutdown nothing is reported.
TEST_F(AchievementServiceTest, TheClientSetsAndStoresNewAchievements)
{
	service.SetLibraryName(TALVEX_FAKE_CLIENT);
	SetMessageBoxHook(&StoreQuestion::Abort);
	ASSERT_EQ(0u, service.Init());
	EXPECT_EQ(0, StoreQuestion::Asked());
	EXPECT_TRUE(service.IsReady());
	EXPECT_TRUE(service.UnlockAchievement("news"));
	EXPECT_EQ(1, client.Sets());
	EXPECT_EQ(1, client.Stores());
	EXPECT_FALSE(service.UnlockAchievement("news")) << "already achieved";
	client.SetAchieved("donks");
	EXPECT_FALSE(service.UnlockAchievement("donks"));
	EXPECT_EQ(1, client.Sets());
	service.Shutdown();
	EXPECT_FALSE(service.UnlockAchievement("cranky"));
	EXPECT_EQ(1, client.Sets());
}

// Through the game's own start-up: "Abort" makes Init return 1; "Proceed"
// returns 0, and an unlock then stays local (file, flag, pop-up handler)
// while the service says false.
TEST_F(AchievementServiceTest, GameStartUpAsksAndPlaysOnLocally)
{
	service.SetLibraryName("/nonexistent/libsteam_api.so");
	for (bool proceed : {false, true}) {
		SCOPED_TRACE(proceed ? "proceed" : "abort");
		service.Disconnect();
		SetMessageBoxHook(proceed ? &StoreQuestion::Proceed : &StoreQuestion::Abort);
		StartingGame game;
		testing::internal::CaptureStdout();
		const int32_t result = game.Init();
		testing::internal::GetCapturedStdout();
		if (StoreQuestion::Asked() == 0)
			SKIP_FOR_MISSING_DEVICE() << "no video: the game could not start";
		EXPECT_EQ(proceed ? 0 : 1, result);
		SetMessageBoxHook(previousHook);
	}
	Achievements::Instance().Load();
	Achievements::Instance().UnlockByName("news");
	EXPECT_TRUE(GameProgress::Flag("news"));
	EXPECT_TRUE(Achievements::Instance().IsUnlockedByName("news"));
	EXPECT_TRUE(TempFolder::Exists(folder.Path("achievements.dat")));
	EXPECT_FALSE(service.UnlockAchievement("news"));
}

// Starting, the service reports the quests whose flags are set and every
// whole set of collectables.
TEST_F(AchievementServiceTest, StartingReportsQuestsAndWholeSets)
{
	GameProgress::SetFlag("northwatch", 1);
	for (uint8_t n = 1; n <= 3; n++)
		GameProgress::SetFlagId(CollectableFlagHash("tri", n), 1);
	GameProgress::SetFlagId(CollectableFlagHash("letter", 1), 1); // one of four: not whole
	service.SetLibraryName(TALVEX_FAKE_CLIENT);
	ASSERT_EQ(0u, service.Init());
	EXPECT_EQ(2, client.Sets());
	EXPECT_FALSE(service.UnlockAchievement("northwatch")) << "reported already";
	EXPECT_FALSE(service.UnlockAchievement("tri")) << "reported already";
	EXPECT_TRUE(service.UnlockAchievement("letter"));
}

// A store install puts the client library beside the game, which has no
// search path of its own: the game, copied into a folder with the client
// beside it, reaches the client without asking; without it, it asks.
TEST(StoreClientBeside, TheGameFindsTheClientInItsOwnFolder)
{
	TempFolder folder;
	const std::string program = folder.Path("game");
	std::filesystem::copy_file(TALVEX_STORE_PROBE, program);
	auto run = [&] {
		// No leftover search path may lead the loader to the client instead;
		// under the sanitizers the probe's exit code must stay its own.
		const std::string command =
			"env -u LD_LIBRARY_PATH ASAN_OPTIONS=detect_leaks=0 '" + program + "' >/dev/null 2>&1";
		const int status = std::system(command.c_str());
		return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	};
	EXPECT_EQ(2, run()) << "no client anywhere: the start-up question";
	std::filesystem::copy_file(TALVEX_FAKE_CLIENT, folder.Path(GameServiceSteam::kLibraryName));
	EXPECT_EQ(0, run()) << "the client beside the game is reached";
}
