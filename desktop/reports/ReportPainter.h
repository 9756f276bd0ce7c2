#pragma once
// Paints laid-out report pages through QPainter on any paged device: the preview, a
// printer or a PDF file. Coordinates are millimetres from the sheet's corner, so the
// device must paint the full page (no margins of its own).
#include "reports/ReportPage.h"

#include <QString>

class QFont;
class QPainter;
class QPagedPaintDevice;
class QPaintDevice;

namespace vorn {

class ReportPainter {
public:
    // Arial is printed in its metric twin Liberation Sans.
    static QFont font(const TextStyle& style, QPaintDevice* device);

    static void paintPage(QPainter& painter, const ReportPage& page);
    // Every page, a new page of the device between them. The painter is begun on device.
    static void paint(const ReportDocument& doc, QPagedPaintDevice& device, QPainter& painter);

    // Writes doc as a PDF file: into a temporary file beside path, renamed over path only
    // when complete. On failure returns false with a message for the user.
    static bool writePdf(const ReportDocument& doc, const QString& path, QString* error);
};

} // namespace vorn
