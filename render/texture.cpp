// Textures keep private copies of the images they were made from.
#include "render/render.h"

void SetupTexture(TextureSt* texture, BITMAP* image) {
    texture->bitmap = create_bitmap(image->w, image->h);
    blit(image, texture->bitmap, 0, 0, 0, 0, image->w, image->h);
}

void FreeTexture(TextureSt* texture) { destroy_bitmap(texture->bitmap); }
