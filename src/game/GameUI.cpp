#include "game/GameUI.h"

namespace {

GameUI *g_currentUI = nullptr;

}

GameUI::GameUI()
{
	g_currentUI = this;
}

GameUI::~GameUI()
{
	if (g_currentUI == this)
		g_currentUI = nullptr;
}

GameUI *GameUI::Current()
{
	return g_currentUI;
}

void GameUI::ShowMessage(const char *text, float seconds, uint8_t kind)
{
	(void)text;
	(void)seconds;
	(void)kind;
	messageVisible = 1;
}

void GameUI::ShowTitledMessage(const char *title, const char *text, float seconds, uint8_t kind)
{
	(void)title;
	(void)text;
	(void)seconds;
	(void)kind;
	messageVisible = 1;
	speech = 0;
}

void GameUI::ShowSpeech(const char *speaker, const char *text, float seconds, uint8_t kind)
{
	(void)speaker;
	(void)text;
	(void)seconds;
	(void)kind;
	messageVisible = 1;
	speech = 1;
}
