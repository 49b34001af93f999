#include "StartupProbe.h"

#include <SDL.h>
#include <fcntl.h>
#include <glad/gl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/core/Log.h"
#include "game/Achievements.h"
#include "game/GameProgress.h"
#include "game/ScreenTitle.h"
#include "game/Settings.h"
#include "game/TalvexGame.h"

extern char **environ;

namespace {

// The steady clock's nanoseconds when the copy was started, set by the one
// that starts it; and the file the copy writes its report to.
constexpr const char *kStartedVariable = "TALVEX_STARTUP_PROBE";
constexpr const char *kReportVariable = "TALVEX_STARTUP_REPORT";
constexpr int kMostFrames = 2000; // the start-up screens last some 8 s at 60 frames a second

double NowMs()
{
	return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A player at the keyboard answers a box with Return.
int AnswerWithReturn(const SDL_MessageBoxData *data)
{
	for (int i = 0; data != nullptr && i < data->numbuttons; i++)
		if ((data->buttons[i].flags & SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT) != 0)
			return data->buttons[i].buttonid;
	return -1;
}

void WriteLoads(std::ostream &out, const char *what)
{
	out << what;
	for (int kind = 0; kind < LoadClock::kKindCount; kind++)
		out << " " << LoadClock::Milliseconds(static_cast<LoadClock::Kind>(kind));
	out << "\n";
}

void ReadLoads(std::istream &in, double (&loads)[LoadClock::kKindCount])
{
	for (double &ms : loads)
		in >> ms;
}

} // namespace

bool StartupProbe::IsProbe()
{
	return getenv(kStartedVariable) != nullptr && getenv(kReportVariable) != nullptr;
}

int StartupProbe::RunProbe()
{
	const double mainMs = NowMs();
	const double startedMs = std::strtod(getenv(kStartedVariable), nullptr);
	std::ofstream report(getenv(kReportVariable));
	const std::filesystem::path folder = std::filesystem::path(getenv(kReportVariable)).parent_path();
	setenv("SDL_VIDEODRIVER", "offscreen", 0);
	setenv("SDL_AUDIODRIVER", "dummy", 0);
	SetMessageBoxHook(&AnswerWithReturn);
	Settings::Instance().UseFile((folder / "settings.dat").string().c_str());
	GameProgress::SetSaveFolder(folder.string().c_str());
	Achievements::SetStateFolder(folder.string().c_str());

	// As main runs the game.
	TalvexGame &game = TalvexGame::Instance();
	if (game.Init() != 0)
		return 1;
	const double initMs = NowMs();
	game.ShowStartup();
	int frames = 0;
	double firstFrameMs = 0.0;
	while (game.RunFrame() && frames < kMostFrames) {
		frames++;
		if (frames == 1) {
			glFinish();
			firstFrameMs = NowMs();
			WriteLoads(report, "first_loads");
		}
		if (dynamic_cast<ScreenTitle *>(game.GetCurrentScene()) != nullptr) {
			glFinish();
			report << "process " << mainMs - startedMs << "\n";
			report << "init " << initMs - startedMs << "\n";
			report << "first_frame " << firstFrameMs - startedMs << "\n";
			report << "title " << NowMs() - startedMs << "\n";
			report << "frames " << frames << "\n";
			WriteLoads(report, "title_loads");
			report.close();
			// Nothing of the game's own exit is start-up.
			std::_Exit(0);
		}
	}
	return 1;
}

bool StartupProbe::Measure(const char *self, StartupFigures &figures, std::string &whyNot)
{
	const std::filesystem::path folder =
		std::filesystem::temp_directory_path() / ("talvex-startup-" + std::to_string(getpid()));
	std::filesystem::create_directories(folder);
	const std::string reportPath = (folder / "report.txt").string();

	std::vector<std::string> variables;
	for (char **variable = environ; *variable != nullptr; variable++)
		variables.emplace_back(*variable);
	char started[64];
	snprintf(started, sizeof(started), "%.6f", NowMs());
	variables.push_back(std::string(kStartedVariable) + "=" + started);
	variables.push_back(std::string(kReportVariable) + "=" + reportPath);
	std::vector<char *> environment;
	for (std::string &variable : variables)
		environment.push_back(variable.data());
	environment.push_back(nullptr);

	// The copy's own chatter goes nowhere; its report comes through the file.
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
	char *arguments[] = {const_cast<char *>(self), nullptr};
	pid_t child = 0;
	const int spawned = posix_spawn(&child, self, &actions, nullptr, arguments, environment.data());
	posix_spawn_file_actions_destroy(&actions);
	int status = 0;
	if (spawned == 0)
		waitpid(child, &status, 0);

	std::ifstream in(reportPath);
	std::string key;
	bool titled = false;
	while (in >> key) {
		if (key == "process")
			in >> figures.processMs;
		else if (key == "init")
			in >> figures.initMs;
		else if (key == "first_frame")
			in >> figures.firstFrameMs;
		else if (key == "title") {
			in >> figures.titleMs;
			titled = true;
		} else if (key == "frames")
			in >> figures.frames;
		else if (key == "first_loads")
			ReadLoads(in, figures.firstFrameLoads);
		else if (key == "title_loads")
			ReadLoads(in, figures.titleLoads);
	}
	std::error_code ignored;
	std::filesystem::remove_all(folder, ignored);
	if (spawned != 0)
		whyNot = "the program could not be started again";
	else if (!titled)
		whyNot = "the start-up never reached the title screen (exit status " + std::to_string(status) + ")";
	return spawned == 0 && titled;
}
