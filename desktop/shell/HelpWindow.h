#pragma once
// "Справка": the user guide shipped inside the program, shown in a window of its own
// beside the main window, and the text of "О программе".
#include <QDialog>

class QTextBrowser;

namespace vorn {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // The guide as the program carries it (Markdown).
    static constexpr const char* kGuideUrl = "qrc:/help/guide.md";

    explicit HelpWindow(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }

    // Scrolls to the heading a contents link names ("#где-лежат-данные": the heading's
    // text in lower case, spaces as hyphens); false when there is none.
    bool showSection(const QString& fragment);

    // "О программе": the version, where the data come from and live, the licence.
    static QString aboutText(const QString& dataDir);

private:
    QTextBrowser* browser_;
};

} // namespace vorn
