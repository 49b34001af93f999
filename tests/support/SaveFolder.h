#pragma once
// A test's own folder for the settings file and the save slots: Use() points
// both at it, on slot 0 with a fresh game record; Release() points them back
// at the defaults. The folder goes with the test.
#include "game/GameProgress.h"
#include "game/Settings.h"
#include "support/TempFolder.h"

class SaveFolder : public TempFolder {
public:
	void Use() const
	{
		Settings::Instance().UseFile(Path("settings.dat").c_str());
		GameProgress::SetSaveFolder(Folder().c_str());
		GameProgress::SetSaveSlot(0);
		GameProgress::ResetGlobal();
	}
	static void Release()
	{
		GameProgress::SetSaveFolder("");
		GameProgress::SetSaveSlot(0);
		GameProgress::ResetGlobal();
		Settings::Instance().UseFile("settings.dat");
	}
};
