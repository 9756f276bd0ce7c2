#pragma once
// The small plan of the chamber seen from above: walls А (with the door) and В along the
// width, Б and Г along the length, with "Ширина" along А/В and "Длина" along Г.
#include <QWidget>

namespace vorn {

class ChamberPlan : public QWidget {
    Q_OBJECT
public:
    explicit ChamberPlan(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {96, 92}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vorn
