#include "engine/core/UIContainer.h"

UIContainer::UIContainer()
{
	drawLayer = kInterfaceLayer;
}

UIContainer::~UIContainer() = default;
