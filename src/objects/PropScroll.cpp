#include "objects/PropScroll.h"

#include "engine/collision/Collider.h"
#include "engine/core/NameHash.h"
#include "objects/PropFurniture.h"

#include <cmath>

namespace {

constexpr const char *kOnTableName = "table";
constexpr const char *kNewsName = "ground news";
constexpr const char *kScrollTexture = "mats/scroll.png";
constexpr const char *kNewsTexture = "mats/scroll-news.png";
constexpr float kOnTableScale = 0.6f;
constexpr float kLooseScale = 0.7f;
constexpr float kOnTableBox = 2.0f;
constexpr float kLooseBox = 1.9f;
const Vec3 kOnTableShift(0.4f, 1.0f, -0.4f); // onto the table top, off its centre
constexpr float kOnTableTurn = 0.5f;         // radians
constexpr float kTurnPerId = 0.1f;           // loose scrolls lie at angles of their ids

} // namespace

bool PropScroll::IsNews() const
{
	return NameHashEquals(HashName(mapObject->name.GetOr("")), kNewsName);
}

void PropScroll::AddLooks(std::vector<EntityLook> &looks) const
{
	PropFurniture::AddLook(looks, GetKind(), nullptr, IsNews() ? kNewsTexture : kScrollTexture);
}

void PropScroll::Start()
{
	const bool onTable = NameHashEquals(HashName(mapObject->name.GetOr("")), kOnTableName);
	PropFurniture::SetUp(*this, nullptr, IsNews() ? kNewsTexture : kScrollTexture, onTable ? kOnTableScale : kLooseScale);
	const float box = onTable ? kOnTableBox : kLooseBox;
	CreateCollider(static_cast<uint32_t>(collider->mode), Vec3(box), Vec3(0.0f));

	const Vec3 up(0.0f, 1.0f, 0.0f);
	if (onTable) {
		// Only a record of the map is renamed; the shared record of entities
		// made outside a map stays as it is.
		if (mapObject != &EmptyMapObject()) {
			mapObject->name = MapName();
			mapObject->key = 0;
		}
		name = MapName();
		transform.position += kOnTableShift;
		transform.Rotate(kOnTableTurn, up);
	} else {
		transform.Rotate(std::sin(mapObject->id * kTurnPerId), up);
	}
	homePosition = transform.position;
	homeRotation = transform.rotation;
}
