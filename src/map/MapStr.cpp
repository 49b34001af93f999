#include "map/MapStr.h"

#include <cstring>
#include <utility>

MapStr::MapStr(const char *source, uint16_t capacity)
{
	if (source == nullptr || source[0] == '\0' || capacity == 0)
		return;
	length = capacity;
	text = std::make_unique<char[]>(capacity); // zero-filled
	memcpy(text.get(), source, strnlen(source, capacity));
	text[capacity - 1] = '\0';
}

MapStr::MapStr(const MapStr &other)
{
	CopyFrom(other);
}

MapStr::MapStr(MapStr &&other) noexcept : length(other.length), text(std::move(other.text))
{
	other.length = 0;
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
	length = other.length;
	text = std::move(other.text);
	other.length = 0;
	return *this;
}

MapStr::~MapStr() = default;

void MapStr::CopyFrom(const MapStr &other)
{
	if (other.length == 0 || other.text == nullptr)
		return;
	length = other.length;
	text = std::make_unique<char[]>(length);
	memcpy(text.get(), other.text.get(), length);
}

void MapStr::Release()
{
	text.reset();
	length = 0;
}

const char *MapStr::GetOr(const char *fallback) const
{
	return IsSet() ? text.get() : fallback;
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
