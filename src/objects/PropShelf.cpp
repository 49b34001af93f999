#include "objects/PropShelf.h"

#include "objects/PropFurniture.h"

void PropShelf::Start()
{
	PropFurniture::SetUp(*this);
}
