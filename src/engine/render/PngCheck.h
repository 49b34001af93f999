#pragma once
#include <cstddef>
#include <cstdint>

// Whether the bytes of a PNG file are whole enough to hand to the image
// library, which can spin for ever on a file that stops between chunks: the
// signature, an IHDR chunk first, every chunk's length within the file, image
// data, and an end chunk. On failure reason says what is wrong.
bool IsPngSignature(const uint8_t *data, size_t size);
bool IsWholePng(const uint8_t *data, size_t size, const char **reason);
