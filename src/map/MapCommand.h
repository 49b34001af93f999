#pragma once

#include <cstdint>

// Keyword codes of compiled script lines. The numbers are stored in the map's
// command table and switched on by the sequence machine and world objects.
enum MapCommandCode : uint32_t {
	kCmdNone = 0,
	kCmdIf = 1,
	kCmdIfWeight = 2,   // "if$"
	kCmdIfNot = 3,
	kCmdMap = 4,
	kCmdActor = 5,
	kCmdUnlock = 6,
	kCmdGive = 7,
	kCmdFlag = 8,       // taken into the object at load, never stored
	kCmdSave = 9,
	kCmdUnsave = 10,
	kCmdParty = 11,
	kCmdUnparty = 12,
	kCmdTake = 13,
	kCmdTakeWeight = 14, // "take$"
	kCmdKill = 15,
	kCmdWalk = 16,
	kCmdSay = 17,       // "say" and "message"
	kCmdPrompt = 18,
	kCmdDead = 19,
	kCmdBlock = 20,
	kCmdFaction = 21,
	kCmdHold = 22,
	kCmdMusic = 23,
	kCmdDir = 24,
	kCmdModel = 25,
	kCmdTexture = 26,
	kCmdEnter = 27,
	kCmdHide = 28,
	kCmdRender = 29,
	kCmdRankMeat = 30,
	kCmdFacing = 31,    // taken into the object at load, never stored
	kCmdFlee = 32,
	kCmdWay = 33,
	kCmdThen = 34,
};

// How a line's operand is read from the property's value.
enum MapCommandValueKind : uint8_t {
	kValueNone = 0,      // nothing is read
	kValueNumber = 1,    // the value as a number, kept to 16 bits
	kValueString = 2,    // index into the map's string table
	kValueMessage = 3,   // index into the map's message table
	kValueDirection = 4, // first letter: N 1, E 2, S 3, W 4
};

// One compiled script line: the keyword, the number written after it in the
// property name, and the operand from the property's value. The record is
// zero-filled before a line is compiled, so whatever a keyword does not set
// stays 0.
struct MapCommand {
	uint32_t code = kCmdNone;
	uint8_t argument = 0;
	uint16_t value = 0;

	// The value kind of a code; codes outside the table read nothing.
	static MapCommandValueKind ValueKindOf(uint32_t code);
	// The keyword a code is written as ("say" for kCmdSay); "" for code 0 or
	// a code outside the table.
	static const char *KeywordOf(uint32_t code);
};

// One keyword of the script language: how it is written, its code, and
// whether the number after it in the property name is kept.
struct MapKeyword {
	const char *name;
	MapCommandCode code;
	bool takesArgument;
};

// Every keyword of the script language; "message" is a second name of "say".
// The script compiler tests them in this order. The number after a branch
// names the group it tests; after "say" or "prompt", the group the line
// enables once its text is shown (a prompt also goes on to that object when
// answered yes).
inline constexpr MapKeyword kMapKeywords[] = {
	{"say", kCmdSay, true},
	{"message", kCmdSay, true},
	{"then", kCmdThen, false},
	{"if", kCmdIf, true},
	{"if$", kCmdIfWeight, true},
	{"ifnot", kCmdIfNot, true},
	{"prompt", kCmdPrompt, true},
	{"unlock", kCmdUnlock, false},
	{"map", kCmdMap, false},
	{"actor", kCmdActor, false},
	{"kill", kCmdKill, false},
	{"take", kCmdTake, false},
	{"take$", kCmdTakeWeight, false},
	{"give", kCmdGive, false},
	{"walk", kCmdWalk, false},
	{"flag", kCmdFlag, false},
	{"save", kCmdSave, false},
	{"unsave", kCmdUnsave, false},
	{"party", kCmdParty, false},
	{"unparty", kCmdUnparty, false},
	{"dead", kCmdDead, false},
	{"block", kCmdBlock, false},
	{"faction", kCmdFaction, false},
	{"hold", kCmdHold, false},
	{"music", kCmdMusic, false},
	{"model", kCmdModel, false},
	{"texture", kCmdTexture, false},
	{"dir", kCmdDir, false},
	{"enter", kCmdEnter, false},
	{"hide", kCmdHide, false},
	{"rankmeat", kCmdRankMeat, false},
	{"render", kCmdRender, false},
	{"facing", kCmdFacing, false},
	{"flee", kCmdFlee, false},
	{"way", kCmdWay, false},
};
