#include "objects/PropTable.h"

#include "objects/PropFurniture.h"

namespace {
constexpr float kTopHeight = 0.7f; // of the model's own height
} // namespace

void PropTable::Start()
{
	PropFurniture::SetUp(*this);
	transform.scale.y *= kTopHeight;
}
