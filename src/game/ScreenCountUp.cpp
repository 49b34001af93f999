#include "game/ScreenCountUp.h"

#include <algorithm>

#include "audio/Sound.h"
#include "engine/render/Renderer.h"
#include "map/Missions.h"
#include "game/GameProgress.h"
#include "game/TalvexGame.h"

constexpr float kRowSeconds = 1.5f;
constexpr float kLastRowSeconds = 4.0f;

ScreenCountUp::ScreenCountUp() = default;

ScreenCountUp::~ScreenCountUp() = default;

void ScreenCountUp::Start()
{
	glm::vec2 offset(0.0f, -80.0f);
	PlaceText(title, glm::vec2(0.5f, 0.5f), 32, Renderer::ScreenPoint(0.5f, 0.5f) + offset, "QUEST COMPLETE");
	AddEntity(&title);
	offset.y += 45.0f;
	for (int i = 0; i < kRows; i++) {
		PlaceText(labels[i], glm::vec2(0.0f, 0.5f), 28, Renderer::ScreenPoint(0.1f, 0.5f) + offset, "");
		AddEntity(&labels[i]);
		PlaceText(values[i], glm::vec2(1.0f, 0.5f), 32, Renderer::ScreenPoint(0.9f, 0.5f) + offset, "");
		AddEntity(&values[i]);
		offset.y += 40.0f;
	}
	TalvexGame::Current().SetTimerPaused(1);
	Missions::Summarize(summary, GameProgress::Current().Facts());
	StopMusic();
	row = -1;
	ShowRow();
	PlayThunder();
}

void ScreenCountUp::ShowRow()
{
	rowTimer = 0.0f;
	rowDuration = kRowSeconds;
	switch (row) {
	case 0:
		ShowStory();
		break;
	case 1:
		ShowDragonCoins();
		break;
	case 2:
		ShowSecrets();
		break;
	case 3:
		Finish();
		break;
	default:
		break;
	}
}

void ScreenCountUp::FillRow(int index, const char *sound, const char *label, int count, int total, float duration)
{
	Sound::Instance()->Play(sound, 1.0f, 0.0f, 0);
	labels[index].SetText(label);
	values[index].SetTextFormat("%d/%d", count, total);
	rowDuration = duration;
}

void ScreenCountUp::ShowStory()
{
	FillRow(0, "sfx/hit1.wav", "STORY", summary.missions, kStoryTotal, kRowSeconds);
}

void ScreenCountUp::ShowDragonCoins()
{
	FillRow(1, "sfx/hit2.wav", "DRAGON COINS", summary.dragons, kDragonCoinTotal, kRowSeconds);
}

void ScreenCountUp::ShowSecrets()
{
	FillRow(2, "sfx/hit1.wav", "SECRETS", summary.itemsAndCapacity, kSecretTotal, kLastRowSeconds);
}

void ScreenCountUp::Finish()
{
	PlayThunder();
	if (AskNext())
		TalvexGame::Current().ShowWon();
}

void ScreenCountUp::Update(float dt)
{
	rowTimer += dt;
	if (rowTimer >= rowDuration) {
		row++;
		ShowRow();
	}
	Screen::Update(dt);
	if (row >= 0 && row < kRows) {
		const float scale = 1.1f - std::min(3.0f * rowTimer, 0.1f);
		labels[row].transform.SetUniformScale(scale);
		values[row].transform.SetUniformScale(scale);
	}
}
