#pragma once

// Twips (1/1440 inch) and pixels, with the primary screen's logical
// resolution.
double TwipsPerPixelX();
double TwipsPerPixelY();

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double pixels);
double pixelsToTwipsY(double pixels);
