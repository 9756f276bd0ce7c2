#pragma once
// The small pictures at the top left of the nine input pages, drawn in code.
#include <QPixmap>

namespace vorn {

constexpr int kPagePictureSize = 36;

// Page 1..9 (walls, ventilation, door, product, respiration, lighting, personnel,
// transport, air-cooler fans); an empty frame for any other number.
QPixmap pagePicture(int page);

} // namespace vorn
