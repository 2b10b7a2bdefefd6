#pragma once

// Twips (1/1440 inch) and pixels, with the primary screen's logical
// resolution (96 dpi when there is no screen). Pixels are rounded to the
// nearest whole pixel, an exact half to the even one.
double TwipsPerPixelX();
double TwipsPerPixelY();

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double pixels);
double pixelsToTwipsY(double pixels);
