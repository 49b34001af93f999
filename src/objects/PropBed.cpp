#include "objects/PropBed.h"

#include "objects/PropFurniture.h"

void PropBed::Start()
{
	PropFurniture::SetUp(*this);
}
