#pragma once
// The six pictures the game loads. All are square powers of two; the two
// overlays (title and toolbar) are stretched over the whole 4:3 picture, so
// their lettering is drawn narrower than tall to come out upright.

#include "image.h"

namespace media {

Image makeTitle();     // "Title.bmp": the name, the prompt and the controls, on black
Image makeToolhud();   // "toolhud2.bmp": 16 tool fields across the top strip, the rest black
Image makeParticle();  // "particle.bmp": a soft round glow on black
Image makeGradbw();    // "gradbw.bmp": the robot's skin, grey, tinted by its limbs' colours
Image makeExp20();     // "exp20.bmp": steel panels of the floor, ceiling and back wall
Image makeExp22();     // "exp22.bmp": ribbed bronze of the side walls

}  // namespace media
