#pragma once
// The game as tests run it, writing down each screen it is asked for (in
// order, in screens) before it builds that screen.
#include <string>
#include <vector>

#include "game/TalvexGame.h"

class ScreenNotingGame : public TalvexGame {
public:
	void ShowStartup() override { Note("startup"); TalvexGame::ShowStartup(); }
	void ShowTitle() override { Note("title"); TalvexGame::ShowTitle(); }
	void ShowPreIntro() override { Note("preintro"); TalvexGame::ShowPreIntro(); }
	void ShowIntro() override { Note("intro"); TalvexGame::ShowIntro(); }
	void ShowDied() override { Note("died"); TalvexGame::ShowDied(); }
	void ShowQuestComplete() override { Note("questcomplete"); TalvexGame::ShowQuestComplete(); }
	void ShowWinAlt(const char *text, int ending) override
	{
		Note("ending " + std::to_string(ending));
		TalvexGame::ShowWinAlt(text, ending);
	}
	void ShowWon() override { Note("won"); TalvexGame::ShowWon(); }
	void ShowEndChoice() override { Note("endchoice"); TalvexGame::ShowEndChoice(); }
	void ShowCredits(bool withTheme) override { Note(withTheme ? "credits theme" : "credits"); TalvexGame::ShowCredits(withTheme); }
	void ShowCreditsFR() override { Note("creditsfr"); TalvexGame::ShowCreditsFR(); }
	void ShowLoadScreen() override { Note("load"); TalvexGame::ShowLoadScreen(); }

	void Note(const std::string &screen) { screens.push_back(screen); }
	std::vector<std::string> screens;
};
