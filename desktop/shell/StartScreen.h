#pragma once
// The start screen shown while no calculation is open: a drawn picture, the version label
// with the animated "what's new" icon beside it, the news panel and two footer lines.
#include "data/Version.h"

#include <QWidget>

class QPushButton;

namespace vorn {

class AnimatedIcon;
class NewsPanel;

class StartScreen : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kVersionText = kVersionLine;

    explicit StartScreen(QWidget* parent = nullptr);

    AnimatedIcon* icon() const { return icon_; }
    NewsPanel* news() const { return news_; }
    // "Справочники": the window of the reference tables.
    QPushButton* referencesButton() const { return references_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AnimatedIcon* icon_;
    NewsPanel* news_;
    QPushButton* references_;
};

} // namespace vorn
