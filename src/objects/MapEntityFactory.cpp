#include "objects/MapEntityFactory.h"

#include "objects/ActorBird.h"
#include "objects/ActorBlob.h"
#include "objects/ActorChook.h"
#include "objects/ActorChook2.h"
#include "objects/ActorChookBomb.h"
#include "objects/ActorChookBoss.h"
#include "objects/ActorFireWizard.h"
#include "objects/ActorMinion.h"
#include "objects/ActorOgre.h"
#include "objects/ActorVozaduzurizaz.h"
#include "objects/MapEntity.h"
#include "objects/ModelProp.h"
#include "objects/NPCLocksmith.h"
#include "objects/NPCOracle.h"
#include "objects/NPCTemptress.h"
#include "objects/NPCTinsmith.h"
#include "objects/NPCTownee.h"
#include "objects/NPCWoodsmith.h"
#include "objects/PickupAxe.h"
#include "objects/PickupCollectable.h"
#include "objects/PickupCooler.h"
#include "objects/PickupDragonCoin.h"
#include "objects/PickupDress.h"
#include "objects/PickupKey.h"
#include "objects/PickupSword.h"
#include "objects/PickupSwordElectric.h"
#include "objects/PickupSwordFire.h"
#include "objects/PickupSwordIce.h"
#include "objects/PickupSwordQuillowen.h"
#include "objects/PropBed.h"
#include "objects/PropBench.h"
#include "objects/PropBlackGate.h"
#include "objects/PropBlockLower.h"
#include "objects/PropBlockRaise.h"
#include "objects/PropBoulder.h"
#include "objects/PropBridge.h"
#include "objects/PropCrate.h"
#include "objects/PropCupboard.h"
#include "objects/PropDoor.h"
#include "objects/PropEnemyTree.h"
#include "objects/PropGate.h"
#include "objects/PropGrass.h"
#include "objects/PropHut.h"
#include "objects/PropLavaBall.h"
#include "objects/PropLockDoor.h"
#include "objects/PropObelisk.h"
#include "objects/PropRoof.h"
#include "objects/PropSaveSwitch.h"
#include "objects/PropScroll.h"
#include "objects/PropShelf.h"
#include "objects/PropSign.h"
#include "objects/PropSwitch.h"
#include "objects/PropTable.h"
#include "objects/PropTree.h"

namespace {

constexpr uint32_t kFirstBuiltKind = 2;

} // namespace

bool MapEntityFactory::CanCreate(uint16_t type)
{
	return MapEntityKindFromType(type) < kEntityKindCount;
}

Entity *MapEntityFactory::Create(uint16_t type)
{
	return CreateByKind(MapEntityKindFromType(type));
}

// By the real class, not the class id: an entity may answer the map-entity
// test without being one, and must then be left alone.

void MapEntityFactory::LinkToMap(Entity *entity, TileMap *map, MapObjectDef *object)
{
	MapEntity *mapEntity = dynamic_cast<MapEntity *>(entity);
	if (mapEntity != nullptr)
		mapEntity->LinkToMap(map, object);
}

bool MapEntityFactory::IsStillFighting(Entity *entity)
{
	if (entity == nullptr)
		return false;
	// Something that only looks like an actor has no defeat of its own to
	// ask about: standing is all there is to it.
	const MapEntity *mapEntity = dynamic_cast<const MapEntity *>(entity);
	return mapEntity == nullptr || mapEntity->IsStillFighting();
}

MapEntity *MapEntityFactory::CreateByKind(uint32_t kind)
{
	if (kind < kFirstBuiltKind || kind >= kEntityKindCount)
		return nullptr;
	// Kinds without a class of their own build nothing: their map objects
	// stay records without an entity.
	switch (kind) {
	case 2:
		return new PropCrate();
	case 3:
		return new PropTree();
	case 4:
		return new PropSwitch();
	case 5:
		return new PropBlockLower();
	case 6:
		return new PropBlockRaise();
	case 7:
		return new PropLockDoor();
	case 8:
		return new PropBoulder();
	case 9:
		return new PropHut();
	case 10:
		return new PropTable();
	case 11:
		return new PropShelf();
	case 12:
		return new PropCupboard();
	case 13:
		return new PropBench();
	case 14:
		return new PropBed();
	case 15:
		return new PropScroll();
	case 16:
		return new PropDoor();
	case 17:
		return new PropGate();
	case 18:
		return new PropSign();
	case 19:
		return new PropBridge();
	case 20:
		return new PropObelisk();
	case 21:
		return new PropGrass();
	case 22:
		return new PropSaveSwitch();
	case 25:
		return new PropBlackGate();
	case 26:
		return new NPCTownee();
	case 27:
		return new NPCOracle();
	case 28:
		return new NPCTinsmith();
	case 29:
		return new NPCWoodsmith();
	case 30:
		return new NPCLocksmith();
	case 31:
		return new NPCTemptress();
	case 37:
		return new PickupDragonCoin();
	case 39:
		return new PickupCooler();
	case 40:
		return new PickupCollectable();
	case 42:
		return new PickupKey();
	case 43:
		return new PickupSword();
	case 44:
		return new PickupAxe();
	case 45:
		return new PickupSwordFire();
	case 46:
		return new PickupSwordElectric();
	case 47:
		return new PickupSwordIce();
	case 48:
		return new PickupDress();
	case 49:
		return new PickupSwordQuillowen();
	case 50:
		return new ActorChook();
	case 51:
		return new ActorChook2();
	case 52:
		return new ActorChookBoss();
	case 53:
		return new ActorOgre();
	case 54:
		return new ActorMinion();
	case 55:
		return new ActorFireWizard();
	case 56:
		return new ActorVozaduzurizaz();
	case 57:
		return new ActorChookBomb();
	case 58:
		return new PropLavaBall();
	case 59:
		return new PropRoof();
	case 60:
		return new PropEnemyTree();
	case 61:
		return new ActorBird(kind);
	case 62:
		return new ActorBlob(kind);
	case 63:
		return new ModelProp();
	default:
		return nullptr;
	}
}
