#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/UIContainer.h"
#include "game/UIDoneHandler.h"
#include "game/UIOptions.h"
#include "game/UISelectHandler.h"

// The meat-ranking menu a map script opens: five stages of four meats, then
// the ultimate pick among the five chosen, which ends the game (chicken one
// way, any other meat another). It is an overlay panel of the in-game scene
// whose only child is its option list. Quitting or backing out takes it out
// of its container; the script that opened it owns it and frees it after,
// never while one of its own calls runs. Picks after the final one change
// nothing.
class UIMeatQuiz : public UIContainer, public UISelectHandler, public UIDoneHandler {
public:
	static constexpr uint8_t kStageCount = 5;    // stages of four meats
	static constexpr uint8_t kMeatsPerStage = 4;
	static constexpr uint8_t kPickCount = 6;     // a pick per stage and the final
	static constexpr uint8_t kMeatCount = 20;
	static constexpr uint8_t kQuitId = 255;
	static constexpr uint8_t kNoPick = 255;
	static constexpr uint8_t kChicken = 3;
	static constexpr int kEndingNumber = 4;

	UIMeatQuiz();
	~UIMeatQuiz() override;

	// The game's maker for the script command that opens the menu.
	static std::unique_ptr<Entity> Create();
	// "BEEF" .. "ELK"; "" past the last meat.
	static const char *MeatName(uint8_t meat);

	// Puts the list in and shows the first stage.
	void Start() override;
	// Clears the picks and shows the first stage.
	void Begin();

	void OnSelect(uint8_t id, uint8_t index) override;
	void OnDone() override;

	uint8_t GetStage() const { return stage; }
	uint8_t GetPick(uint8_t index) const { return index < kPickCount ? picks[index] : kNoPick; }
	UIOptions &GetOptions() { return options; }

private:
	void ShowStage(uint8_t number);
	void ShowFinal();
	void Close();

	UIOptions options;
	uint8_t stage = 0;
	uint8_t picks[kPickCount];
};
