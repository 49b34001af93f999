#pragma once

#include "map/MapCommand.h"

#include <cstdint>

// Map objects carry their scripts as custom properties: the property's name
// holds a keyword and an optional number ("if 5", "2 say", "prompt 7"), the
// value holds the operand. These functions turn one name into a command
// record; the map reader reads the operand and files the record. Nothing here
// logs: an unknown keyword simply compiles to no command.

constexpr int kScriptNameWindow = 16;  // characters of a property name that are looked at
constexpr int kScriptMaxLinePrefix = 3; // leading digits or blanks skipped as a line number

// Fills the record's code and argument from a property name. The caller has
// zero-filled the record and reads the value afterwards. A null name, an
// unknown keyword or an empty one leaves code 0.
void CompileScriptCommand(const char *text, MapCommand *record);

// The direction code of an operand by its first letter, in either case:
// N 1, E 2, S 3, W 4; anything else, an empty text or none gives 0.
uint16_t ReadScriptDirection(const char *text);
