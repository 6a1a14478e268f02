#pragma once
// The texture families of the game, each drawn from code into the data directory.
#include <vector>

#include "core/building.h"
#include "output.h"

namespace artgen {

// World textures (lit by the scene's lights).
void Terrain(Output& out);                                          // terrain_N
void Buildings(Output& out, const std::vector<core::building>& types);  // bldg_N, bldg_N_off
void Construction(Output& out);                                     // bldg_constr
void Craft(Output& out);                                            // cargoship, pirate_ship, shuttle
void Markers(Output& out);                                          // selmarker, upg_bar
void Tubes(Output& out);                                            // tube_K_R

// Screen textures (drawn at full brightness).
void Pictures(Output& out);  // pic_N.tga and pic_N.bmp
void Icons(Output& out);     // icon_N
void Hud(Output& out);       // buttons with their states, ticks, panel
void Logo(Output& out);      // launch_logo.bmp

// The program's icon for the desktop: the landing picture with rounded corners.
QImage AppIcon(int size);

}  // namespace artgen
