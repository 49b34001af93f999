#include "objects/PropHut.h"

#include "engine/core/NameHash.h"
#include "objects/PropFurniture.h"

namespace {
constexpr const char *kStoreName = "hutstore";
constexpr const char *kStoreModel = "models/hutstore.iqm";
} // namespace

bool PropHut::IsStore() const
{
	return NameHashEquals(HashName(mapObject->name.GetOr("")), kStoreName);
}

void PropHut::Start()
{
	PropFurniture::SetUp(*this, IsStore() ? kStoreModel : nullptr);
}

void PropHut::AddLooks(std::vector<EntityLook> &looks) const
{
	PropFurniture::AddLook(looks, GetKind(), IsStore() ? kStoreModel : nullptr);
}
