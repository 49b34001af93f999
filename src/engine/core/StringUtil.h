#pragma once

#include <cstddef>
#include <cstdint>

// Small text helpers shared by the script compiler, the collectables and the
// play-time clock.

// Copies text into a field of size bytes: at most size - 1 characters, always
// terminated; a null text copies as empty. A field of no bytes is left alone.
void CopyText(char *field, size_t size, const char *text);

// Collects the decimal digits among the first 64 characters into one number,
// skipping everything else ("a1b2" gives 12). 0 for a null text or one that
// starts with a line feed. Saturates at INT32_MAX instead of overflowing.
int32_t ParseDigits(const char *text);

// Writes two digits and a terminator (3 bytes). Values above 99 show as 99.
void FormatTwoDigits(char *buffer, uint8_t value);

constexpr int kDurationTextSize = 10; // bytes FormatDuration may write, terminator included

// Writes "hh:mm:ss" of a play time. The clock stops at 99:59:59, the most two
// hour digits can show.
void FormatDuration(char *buffer, uint32_t milliseconds);

// Splits a reference such as "Letter12" into lower-case letters ("letter") and
// a number (12). At most maximum characters are walked and at most maximum - 1
// letters kept, so letters needs maximum bytes. Digits add to *number, which
// the caller sets first (normally 0), wrapping in 8 bits. Anything else is
// skipped. Null arguments do nothing.
void SplitNameAndNumber(const char *text, uint8_t maximum, char *letters, uint8_t *number);
