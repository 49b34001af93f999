#include "engine/core/StringUtil.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr int kParseDigitsLimit = 64;       // characters ParseDigits looks at
constexpr uint8_t kMaxTwoDigits = 99;
constexpr uint32_t kMillisecondsPerSecond = 1000;
constexpr uint32_t kSecondsPerMinute = 60;
constexpr uint32_t kSecondsPerHour = 3600;
constexpr uint32_t kMaxShownSeconds = 99 * kSecondsPerHour + 59 * kSecondsPerMinute + 59; // 99:59:59

bool IsDigit(char c)
{
	return c >= '0' && c <= '9';
}

}

int32_t ParseDigits(const char *text)
{
	if (text == nullptr || text[0] == '\n')
		return 0;
	constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
	int32_t n = 0;
	for (int i = 0; i < kParseDigitsLimit && text[i] != '\0'; ++i) {
		if (!IsDigit(text[i]))
			continue;
		const int32_t digit = text[i] - '0';
		// A run of digits too long for 32 bits stays at the largest value
		// instead of wrapping into a negative or unrelated number.
		if (n > (kMax - digit) / 10)
			n = kMax;
		else
			n = n * 10 + digit;
	}
	return n;
}

void FormatTwoDigits(char *buffer, uint8_t value)
{
	if (value > kMaxTwoDigits)
		value = kMaxTwoDigits;
	buffer[0] = static_cast<char>('0' + value / 10);
	buffer[1] = static_cast<char>('0' + value % 10);
	buffer[2] = '\0';
}

void FormatDuration(char *buffer, uint32_t milliseconds)
{
	uint32_t seconds = milliseconds / kMillisecondsPerSecond;
	if (seconds > kMaxShownSeconds)
		seconds = kMaxShownSeconds;
	char hours[3];
	char minutes[3];
	char secs[3];
	FormatTwoDigits(hours, static_cast<uint8_t>(seconds / kSecondsPerHour));
	FormatTwoDigits(minutes, static_cast<uint8_t>(seconds % kSecondsPerHour / kSecondsPerMinute));
	FormatTwoDigits(secs, static_cast<uint8_t>(seconds % kSecondsPerMinute));
	snprintf(buffer, kDurationTextSize, "%s:%s:%s", hours, minutes, secs);
}

void SplitNameAndNumber(const char *text, uint8_t maximum, char *letters, uint8_t *number)
{
	if (text == nullptr || letters == nullptr || number == nullptr || maximum == 0)
		return;
	int letterCount = 0;
	for (int i = 0; i < maximum && text[i] != '\0'; ++i) {
		char c = text[i];
		if (c >= 'A' && c <= 'Z')
			c = static_cast<char>(c - 'A' + 'a');
		if (c >= 'a' && c <= 'z') {
			if (letterCount >= maximum - 1)
				break;
			letters[letterCount++] = c;
		} else if (IsDigit(c)) {
			*number = static_cast<uint8_t>(*number * 10 + (c - '0'));
		}
	}
	letters[letterCount] = '\0';
}

void CopyText(char *field, size_t size, const char *text)
{
	if (field == nullptr || size == 0)
		return;
	if (text == nullptr)
		text = "";
	const size_t length = strnlen(text, size - 1);
	memcpy(field, text, length);
	field[length] = '\0';
}
