// Dragging the three volume sliders of the options screen and the pause menu.
#pragma once

// Each tick the screen is live: a finger down in a slider's band sets that volume from its x.
void DragVolumeSliders();
