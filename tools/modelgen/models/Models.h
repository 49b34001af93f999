#pragma once
// Every model modelgen writes: a path in the data tree and the function that
// describes it. A function returns false with *error when its description
// does not make a valid model.
#include "../IqmWriter.h"

#include <string>

bool BuildBlacksmith(IqmModel *out, std::string *error);
bool BuildBlacksmith2(IqmModel *out, std::string *error);
bool BuildBlacksmithDress(IqmModel *out, std::string *error);
bool BuildChook(IqmModel *out, std::string *error);
// The creatures (Chook.cpp, Creatures.cpp, Beasts.cpp).
bool BuildChook2(IqmModel *out, std::string *error);
bool BuildOgre(IqmModel *out, std::string *error);
bool BuildMinion(IqmModel *out, std::string *error);
bool BuildFireWizard(IqmModel *out, std::string *error);
bool BuildBlackLord(IqmModel *out, std::string *error);
bool BuildBird(IqmModel *out, std::string *error);
bool BuildBlob(IqmModel *out, std::string *error);
bool BuildShadow(IqmModel *out, std::string *error);
bool BuildShadowSquare(IqmModel *out, std::string *error);
// The props, pickups, doors, switches, the fire and the home scenery (Props.cpp).
bool BuildHut(IqmModel *out, std::string *error);
bool BuildHutStore(IqmModel *out, std::string *error);
bool BuildTable(IqmModel *out, std::string *error);
bool BuildShelf(IqmModel *out, std::string *error);
bool BuildCupboard(IqmModel *out, std::string *error);
bool BuildBench(IqmModel *out, std::string *error);
bool BuildBed(IqmModel *out, std::string *error);
bool BuildScroll(IqmModel *out, std::string *error);
bool BuildSign(IqmModel *out, std::string *error);
bool BuildPlank(IqmModel *out, std::string *error);
bool BuildRoof(IqmModel *out, std::string *error);
bool BuildDragonCoin(IqmModel *out, std::string *error);
bool BuildCooler(IqmModel *out, std::string *error);
bool BuildKey(IqmModel *out, std::string *error);
bool BuildSwordSword(IqmModel *out, std::string *error);
bool BuildSwordAxe(IqmModel *out, std::string *error);
bool BuildSwordFire(IqmModel *out, std::string *error);
bool BuildSwordElectric(IqmModel *out, std::string *error);
bool BuildDress(IqmModel *out, std::string *error);
bool BuildLetter(IqmModel *out, std::string *error);
bool BuildTri(IqmModel *out, std::string *error);
bool BuildPuzzle(IqmModel *out, std::string *error);
bool BuildDoor(IqmModel *out, std::string *error);
bool BuildLockDoor(IqmModel *out, std::string *error);
bool BuildGateBk(IqmModel *out, std::string *error);
bool BuildGate(IqmModel *out, std::string *error);
bool BuildFireplace(IqmModel *out, std::string *error);
bool BuildFireFlame(IqmModel *out, std::string *error);
bool BuildSwitch(IqmModel *out, std::string *error);
bool BuildObelisk(IqmModel *out, std::string *error);
bool BuildRockBlock(IqmModel *out, std::string *error);
bool BuildWell(IqmModel *out, std::string *error);
bool BuildCart(IqmModel *out, std::string *error);
bool BuildFireball(IqmModel *out, std::string *error);
bool BuildElectric(IqmModel *out, std::string *error);
bool BuildChicken(IqmModel *out, std::string *error);
bool BuildHeart(IqmModel *out, std::string *error);
bool BuildSplashWave(IqmModel *out, std::string *error);
// The crate, the boulder and the lava ball (Pushables.cpp).
bool BuildCrate(IqmModel *out, std::string *error);
bool BuildBoulder(IqmModel *out, std::string *error);
bool BuildLavaBall(IqmModel *out, std::string *error);
// The trees, the stump and the grass (Trees.cpp).
bool BuildTree4(IqmModel *out, std::string *error);
bool BuildTree2(IqmModel *out, std::string *error);
bool BuildStump(IqmModel *out, std::string *error);
bool BuildGrass(IqmModel *out, std::string *error);
// The townsfolk (Townsfolk.cpp), figures on the smith's skeleton.
bool BuildOracle(IqmModel *out, std::string *error);
bool BuildTinsmith(IqmModel *out, std::string *error);
bool BuildWoodsmith(IqmModel *out, std::string *error);
bool BuildLocksmith(IqmModel *out, std::string *error);
bool BuildTemptress(IqmModel *out, std::string *error);
bool BuildNpcFr(IqmModel *out, std::string *error);
bool BuildNpcPl(IqmModel *out, std::string *error);
bool BuildNpcQr(IqmModel *out, std::string *error);
bool BuildTownee1(IqmModel *out, std::string *error);
bool BuildTownee2(IqmModel *out, std::string *error);
bool BuildTownee3(IqmModel *out, std::string *error);

struct ModelRecipe {
	const char *path;
	bool (*build)(IqmModel *out, std::string *error);
};

constexpr ModelRecipe kModelRecipes[] = {
	{"models/blacksmith.iqm", BuildBlacksmith},
	{"models/blacksmith2.iqm", BuildBlacksmith2},
	{"models/blacksmithdress.iqm", BuildBlacksmithDress},
	{"models/chook.iqm", BuildChook},
	{"models/chook2.iqm", BuildChook2},
	{"models/ogre.iqm", BuildOgre},
	{"models/minion.iqm", BuildMinion},
	{"models/firewizard.iqm", BuildFireWizard},
	{"models/blacklord.iqm", BuildBlackLord},
	{"models/bird.iqm", BuildBird},
	{"models/blob.iqm", BuildBlob},
	{"models/shadow.iqm", BuildShadow},
	{"models/shadow-sq.iqm", BuildShadowSquare},
	{"models/hut.iqm", BuildHut},
	{"models/hutstore.iqm", BuildHutStore},
	{"models/table.iqm", BuildTable},
	{"models/shelf.iqm", BuildShelf},
	{"models/cupboard.iqm", BuildCupboard},
	{"models/bench.iqm", BuildBench},
	{"models/bed.iqm", BuildBed},
	{"models/scroll.iqm", BuildScroll},
	{"models/sign.iqm", BuildSign},
	{"models/plank.iqm", BuildPlank},
	{"models/roof.iqm", BuildRoof},
	{"models/dragoncoin.iqm", BuildDragonCoin},
	{"models/cooler.iqm", BuildCooler},
	{"models/key.iqm", BuildKey},
	{"models/swordsword.iqm", BuildSwordSword},
	{"models/swordaxe.iqm", BuildSwordAxe},
	{"models/swordfire.iqm", BuildSwordFire},
	{"models/swordelectric.iqm", BuildSwordElectric},
	{"models/dress.iqm", BuildDress},
	{"models/letter.iqm", BuildLetter},
	{"models/tri.iqm", BuildTri},
	{"models/puzzle.iqm", BuildPuzzle},
	{"models/door.iqm", BuildDoor},
	{"models/lockdoor.iqm", BuildLockDoor},
	{"models/gatebk.iqm", BuildGateBk},
	{"models/gate.iqm", BuildGate},
	{"models/fireplace.iqm", BuildFireplace},
	{"models/fireflame.iqm", BuildFireFlame},
	{"models/switch.iqm", BuildSwitch},
	{"models/obelisk.iqm", BuildObelisk},
	{"models/rockblock.iqm", BuildRockBlock},
	{"models/well.iqm", BuildWell},
	{"models/cart.iqm", BuildCart},
	{"models/fireball.iqm", BuildFireball},
	{"models/electric.iqm", BuildElectric},
	{"models/chicken.iqm", BuildChicken},
	{"models/heart.iqm", BuildHeart},
	{"models/splashwave.iqm", BuildSplashWave},
	{"models/crate.iqm", BuildCrate},
	{"models/boulder.iqm", BuildBoulder},
	{"models/lavaball.iqm", BuildLavaBall},
	{"models/tree4.iqm", BuildTree4},
	{"models/tree2.iqm", BuildTree2},
	{"models/stump.iqm", BuildStump},
	{"models/grass.iqm", BuildGrass},
	{"models/oracle.iqm", BuildOracle},
	{"models/tinsmith.iqm", BuildTinsmith},
	{"models/woodsmith.iqm", BuildWoodsmith},
	{"models/locksmith.iqm", BuildLocksmith},
	{"models/temptress.iqm", BuildTemptress},
	{"models/npc-fr.iqm", BuildNpcFr},
	{"models/npc-pl.iqm", BuildNpcPl},
	{"models/npc-qr.iqm", BuildNpcQr},
	{"models/townee1.iqm", BuildTownee1},
	{"models/townee2.iqm", BuildTownee2},
	{"models/townee3.iqm", BuildTownee3},
};
