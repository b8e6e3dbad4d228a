// The water background drawn under every screen but the splash: rippling bands (or one static
// picture in low quality) and the rising bubbles.
#pragma once

// Drawn first: the banded rippling background, or atlas item 16 when lowQuality is on.
void DrawBackgroundLayer();
// Drawn second: the twenty bubbles (nothing in low quality).
void DrawBubbleLayer();
