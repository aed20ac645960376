// The built-in world: a start room, a side room, three narrow corridors and a
// hall, joined in a chain by one opening each. Every loop runs
// counter-clockwise, so each sector lies to the left of its walls.
#include "app/app.h"

namespace {

const int kVertexUnits[kDemoVertices][2] = {
    {4, 4},   {-4, 4},  {-5, 2},  {-5, -2}, {-4, -4},  {4, -4},  {-8, -10}, {-8, 10},   {-7, 10},
    {-8, 20}, {-7, 19}, {10, 23}, {9, 22},  {10, -15}, {9, -15}, {30, -50}, {-11, -50},
};

const int kSectorWalls[kDemoSectors] = {6, 5, 4, 4, 4, 4};

enum Skin { BRICK, BRICKD, WEIRDO };
constexpr int SOLID = -1;

struct WallDef {
    int from, to;
    Skin skin;
    int leadsTo;  // sector index, or SOLID
};

// Sector by sector, in storage order.
const WallDef kWallDefs[kDemoWalls] = {
    // 0: the start room
    {0, 1, BRICK, SOLID},
    {1, 2, BRICKD, SOLID},
    {2, 3, BRICK, 1},
    {3, 4, BRICKD, SOLID},
    {4, 5, BRICK, SOLID},
    {5, 0, BRICKD, SOLID},
    // 1: the side room
    {3, 2, BRICK, 0},
    {2, 8, BRICKD, SOLID},
    {8, 7, BRICKD, 2},
    {7, 6, BRICKD, SOLID},
    {6, 3, BRICKD, SOLID},
    // 2: the corridor north, its loop stored as 0, 3, 2, 1
    {9, 7, BRICK, SOLID},
    {10, 9, BRICKD, 3},
    {8, 10, BRICK, SOLID},
    {7, 8, BRICKD, 1},
    // 3: the slanted corridor east
    {9, 10, BRICKD, 2},
    {10, 12, BRICKD, SOLID},
    {12, 11, BRICKD, 4},
    {11, 9, BRICKD, SOLID},
    // 4: the long corridor south
    {11, 12, BRICK, 3},
    {12, 14, BRICK, SOLID},
    {14, 13, BRICK, 5},
    {13, 11, BRICK, SOLID},
    // 5: the hall
    {13, 14, BRICK, 4},
    {14, 16, WEIRDO, SOLID},
    {16, 15, WEIRDO, SOLID},
    {15, 13, WEIRDO, SOLID},
};

TextureSt* SkinTexture(Textures* textures, Skin skin) {
    switch (skin) {
    case BRICK:
        return &textures->brick;
    case BRICKD:
        return &textures->brickd;
    default:
        return &textures->weirdo;
    }
}

}  // namespace

void BuildDemoWorld(DemoWorld* world, Textures* textures) {
    for (int v = 0; v < kDemoVertices; v++) {
        world->vertices[v][0] = kVertexUnits[v][0] * 65536;
        world->vertices[v][1] = kVertexUnits[v][1] * 65536;
    }
    // Every sector record is complete before the first wall, since portals
    // point ahead to sectors whose walls come later.
    int first = 0;
    for (int s = 0; s < kDemoSectors; s++) {
        world->sectors[s].walls = &world->walls[first];
        world->sectors[s].numWalls = kSectorWalls[s];
        first += kSectorWalls[s];
    }
    int w = 0;
    for (int s = 0; s < kDemoSectors; s++) {
        for (int k = 0; k < kSectorWalls[s]; k++, w++) {
            const WallDef& def = kWallDefs[w];
            Sector* neighbour = def.leadsTo == SOLID ? nullptr : &world->sectors[def.leadsTo];
            SetupWall(&world->walls[w], SkinTexture(textures, def.skin), world->vertices[def.from],
                      world->vertices[def.to], neighbour);
        }
        SetupSector(&world->sectors[s]);
    }
}
