#include "objects/PropBench.h"

#include "objects/PropFurniture.h"

void PropBench::Start()
{
	PropFurniture::SetUp(*this);
}
