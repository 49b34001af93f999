#pragma once

#include "engine/core/EntityContainer.h"

// An entity container for interface panels: it draws on the interface layer
// (Entity::kInterfaceLayer). Every member starts at its declared default;
// nothing is blanked wholesale, since the object carries a vtable and owns a
// list.
class UIContainer : public EntityContainer {
public:
	UIContainer();
	~UIContainer() override;
};
