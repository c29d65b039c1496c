#pragma once

// Colour text ("0 128 128": red, green and blue, 0..255, one space between)
// turned into numbers for the colour picker, and back. Qt Core only.

#include <QString>

namespace p95 {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

// The three parts of a colour text as the picker splits it: the first three
// blank-separated fields, "" where a field is missing. For well-formed text
// these are exactly the three numbers.
struct ColourTextParts {
    QString red;
    QString green;
    QString blue;
};
ColourTextParts splitColourText(const QString& text);

// The value of one part: a leading whole number (blanks before it, a sign,
// then digits; whatever follows is ignored), clamped to 0..255. A part with no
// leading number is 0.
int colourComponent(const QString& part);

// The colour a text stands for. Never fails: text from a theme or scheme file
// is stored unchecked, so the picker must open on anything ("12 abc 300"
// gives 12 0 255; a missing part is 0).
Rgb parseColourText(const QString& text);

// "r g b" without leading zeros, the only form the program writes. Components
// are clamped to 0..255.
QString colourText(Rgb colour);

} // namespace p95
