#include "game/TalvexGameScene.h"

#include "engine/core/Entity.h"

void TalvexGameScene::SetOverlayUI(Entity *ui)
{
	if (ui == overlayUI)
		return;
	Entity *previous = overlayUI;
	overlayUI = ui;
	// Compared, never read: an overlay deleted meanwhile has left the list.
	if (previous != nullptr && HasEntity(previous))
		RemoveEntity(previous);
	if (ui != nullptr)
		AddEntity(ui);
}
