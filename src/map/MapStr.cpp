#include "map/MapStr.h"

#include <cstring>

MapStr::MapStr(const char *source, uint16_t capacity)
{
	if (source == nullptr || source[0] == '\0' || capacity == 0)
		return;
	length = capacity;
	text = new char[capacity];
	size_t copied = strnlen(source, capacity);
	memcpy(text, source, copied);
	memset(text + copied, 0, capacity - copied);
	text[capacity - 1] = '\0';
}

MapStr::MapStr(const MapStr &other)
{
	CopyFrom(other);
}

MapStr::MapStr(MapStr &&other) noexcept : length(other.length), text(other.text)
{
	other.length = 0;
	other.text = nullptr;
}

MapStr &MapStr::operator=(const MapStr &other)
{
	if (this == &other)
		return *this;
	Release();
	CopyFrom(other);
	return *this;
}

MapStr &MapStr::operator=(MapStr &&other) noexcept
{
	if (this == &other)
		return *this;
	Release();
	length = other.length;
	text = other.text;
	other.length = 0;
	other.text = nullptr;
	return *this;
}

MapStr::~MapStr()
{
	Release();
}

void MapStr::CopyFrom(const MapStr &other)
{
	if (other.length == 0 || other.text == nullptr)
		return;
	length = other.length;
	text = new char[length];
	memcpy(text, other.text, length);
}

void MapStr::Release()
{
	delete[] text;
	text = nullptr;
	length = 0;
}

const char *MapStr::GetOr(const char *fallback) const
{
	return IsSet() ? text : fallback;
}

const char *MapStr::GetOr(const MapStr *str, const char *fallback)
{
	return str != nullptr ? str->GetOr(fallback) : fallback;
}

bool MapStr::IsSet() const
{
	return length != 0 && text != nullptr && text[0] != '\0';
}

bool MapStr::IsSet(const MapStr *str)
{
	return str != nullptr && str->IsSet();
}
