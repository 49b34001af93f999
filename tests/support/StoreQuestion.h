#pragma once
// Answers to the start-up question the game asks when the store's client
// cannot be reached, for tests that start the game: each hook picks the
// button with its label and remembers the box it was shown.
#include <SDL.h>

#include <cstring>
#include <string>

struct StoreQuestion {
	static std::string &Title()
	{
		static std::string title;
		return title;
	}
	static std::string &Text()
	{
		static std::string text;
		return text;
	}
	static std::string &Buttons()
	{
		static std::string buttons;
		return buttons;
	}
	static int &Asked()
	{
		static int asked = 0;
		return asked;
	}
	static int Pick(const SDL_MessageBoxData *data, const char *label)
	{
		Asked()++;
		Title() = data->title != nullptr ? data->title : "";
		Text() = data->message != nullptr ? data->message : "";
		Buttons().clear();
		int chosen = -1;
		for (int i = 0; i < data->numbuttons; i++) {
			Buttons() += std::string(Buttons().empty() ? "" : "/") + data->buttons[i].text;
			if (std::strcmp(data->buttons[i].text, label) == 0)
				chosen = data->buttons[i].buttonid;
		}
		return chosen;
	}
	static int Proceed(const SDL_MessageBoxData *data) { return Pick(data, "Proceed"); }
	static int Abort(const SDL_MessageBoxData *data) { return Pick(data, "Abort"); }
};
