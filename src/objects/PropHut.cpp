#include "objects/PropHut.h"

#include "engine/core/NameHash.h"
#include "objects/PropFurniture.h"

namespace {
constexpr const char *kStoreName = "hutstore";
constexpr const char *kStoreModel = "models/hutstore.iqm";
} // namespace

void PropHut::Start()
{
	const bool store = NameHashEquals(HashName(mapObject->name.GetOr("")), kStoreName);
	PropFurniture::SetUp(*this, store ? kStoreModel : nullptr);
}
