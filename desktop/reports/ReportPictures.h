#pragma once
// The two pictures of the reports, drawn rather than stored: the vendor logo (a
// 125 x 48 pixel design) and the plan sketch of the chamber (56 x 63), each scaled to
// the rectangle it is given.
#include "reports/ReportPage.h"

class QPainter;
class QRectF;

namespace vorn {

class ReportPictures {
public:
    static void paint(QPainter& painter, Picture picture, const QRectF& target);
};

} // namespace vorn
