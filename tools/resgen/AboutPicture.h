// The about box's picture: the globe, the name, what the program does, its
// magnetic model and where its map comes from, on white.
#pragma once

#include <QString>

#include "tools/resgen/Globe.h"
#include "tools/resgen/IndexedPicture.h"

namespace resgen {

struct AboutFonts {
    QString sans;   // family with regular and bold faces
    QString serif;  // family with a bold face
};

class AboutPicture {
public:
    static constexpr int kWidth = 656;
    static constexpr int kHeight = 415;

    AboutPicture(const Globe& globe, AboutFonts fonts) : globe_(globe), fonts_(std::move(fonts)) {}

    // False when a line of text does not fit inside the margins.
    bool Draw(IndexedPicture& picture) const;

private:
    const Globe& globe_;
    AboutFonts fonts_;
};

}  // namespace resgen
