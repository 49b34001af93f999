#pragma once

#include <cstdint>

class Entity;

// What the steps of a custom sequence ask of the game around them: the HUD's
// message box and letter row, the play clock, a sound, and the hero's hearts
// and chicken. The map layer cannot reach the HUD or the hero's record, so
// whoever builds a custom sequence hands it a host that can; the base here is
// quiet (no HUD, clock at 0, the hero untouched) apart from the sound, which
// goes to the sound player. A host must outlive the sequences given it; it
// owns nothing of theirs.
class CustomStepHost {
public:
	virtual ~CustomStepHost() = default;

	// The quiet host used when a sequence is given none.
	static CustomStepHost &Quiet();

	virtual void ShowMessage(const char *text, float seconds, uint8_t kind)
	{
		(void)text;
		(void)seconds;
		(void)kind;
	}
	// Typing, timers or a dialogue keep the HUD busy.
	virtual bool IsBusy() { return false; }
	virtual bool IsMessageVisible() { return false; }
	// The HUD's row of found letters.
	virtual void ShowLetters(bool on) { (void)on; }
	// Play time of the running game in milliseconds.
	virtual uint32_t PlayTimeMs() { return 0; }
	virtual void PlaySound(const char *fileName, float volume, uint16_t flags);

	// The hero the step was made for; player may be null or not the hero,
	// and then nothing changes.
	// Raises the maximum hearts by halves (half hearts).
	virtual void AddMaxHearts(Entity *player, uint8_t halves)
	{
		(void)player;
		(void)halves;
	}
	// Current hearts up to the maximum.
	virtual void RefillHearts(Entity *player) { (void)player; }
	// Adds chicken (tenths of a kilogram), never beyond what the hero can carry.
	virtual void AddChicken(Entity *player, uint8_t amount)
	{
		(void)player;
		(void)amount;
	}
	// Keeps the hero's record in the game in progress.
	virtual void StorePlayerStats(Entity *player) { (void)player; }
};
