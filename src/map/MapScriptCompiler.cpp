#include "map/MapScriptCompiler.h"

#include "engine/core/NameHash.h"
#include "engine/core/StringUtil.h"

namespace {

bool IsLinePrefixChar(char c)
{
	return (c >= '0' && c <= '9') || c == ' ';
}

} // namespace

void CompileScriptCommand(const char *text, MapCommand *record)
{
	if (record == nullptr)
		return;
	record->code = kCmdNone;
	if (text == nullptr)
		return;

	// A line may be numbered by a short prefix ("2 say", "10say") so that the
	// editor, which sorts properties by name, keeps them in order.
	int pos = 0;
	while (pos < kScriptMaxLinePrefix && text[pos] != '\0' && IsLinePrefixChar(text[pos]))
		pos++;

	// Both words live inside the window, so neither buffer can overflow.
	char keyword[kScriptNameWindow + 1];
	char second[kScriptNameWindow + 1];
	int keywordLength = 0;
	int secondLength = 0;
	bool inSecond = false;
	for (; pos < kScriptNameWindow && text[pos] != '\0' && text[pos] != '#'; pos++) {
		char c = text[pos];
		if (inSecond)
			second[secondLength++] = c;
		else if (c == ' ')
			inSecond = true;
		else
			keyword[keywordLength++] = c;
	}
	keyword[keywordLength] = '\0';
	second[secondLength] = '\0';

	// Names compare by hash, so "SAY", "Message" and "if_" (for "if$") all
	// match; the first keyword of the table that matches wins.
	uint16_t hash = HashName(keyword);
	for (const MapKeyword &entry : kMapKeywords) {
		if (!NameHashEquals(hash, entry.name))
			continue;
		record->code = entry.code;
		if (entry.takesArgument)
			record->argument = static_cast<uint8_t>(ParseDigits(second));
		return;
	}
}

uint16_t ReadScriptDirection(const char *text)
{
	if (text == nullptr)
		return 0;
	switch (text[0]) {
	case 'N':
	case 'n':
		return 1;
	case 'E':
	case 'e':
		return 2;
	case 'S':
	case 's':
		return 3;
	case 'W':
	case 'w':
		return 4;
	default:
		return 0;
	}
}
