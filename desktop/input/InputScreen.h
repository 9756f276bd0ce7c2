#pragma once
// The input screen of Panel4: the heading, the groups " Регион ", " Параметры камеры ",
// " Режимы обработки " and the nine pages of inputs. Every control is built from the
// screen's control table (kind, range, length, items, enabled and visible conditions); it
// shows the record and the screen state and forwards each edit to the session, which
// writes the record, runs the rule and recalculates. Captions, pictures and placement are
// this class's own.
#include <QHash>
#include <QWidget>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;

namespace vorn {

struct CommitResult;
struct ControlSpec;
class NumericEdit;
class ResultsPanel;
class Session;
class TabPages;

class InputScreen : public QWidget {
    Q_OBJECT
public:
    explicit InputScreen(Session& session, QWidget* parent = nullptr);
    ~InputScreen() override;

    // Shows the record and the screen state in every control. The screen refreshes itself
    // once after every change of the open calculation (it listens to the session).
    void refresh();
    // Places the result column below the header groups, left of the pages, and its
    // totals with the buttons at the bottom; the column is refreshed after each edit. The
    // focus visits the screen's controls, the include boxes, then the buttons.
    void adopt(ResultsPanel* results, const QList<QWidget*>& buttons);

    // Writes the text being typed in the focused field, as leaving it would; false when the
    // field refused it (the focus stays there; tell: with the message). Nothing to write:
    // true.
    bool commitPending(bool tell = true);

    // A control by its name ("DBEdit40", "RadioGroup1"), and the caption shown beside it.
    QWidget* control(const QString& name) const;
    QLabel* caption(const QString& name) const;
    TabPages* pages() const { return pages_; }
    // Focusable controls of the screen in their visiting order.
    QList<QWidget*> focusOrder() const;

signals:
    // A remark for the status line ("Значение ограничено: 24").
    void noticeRequested(const QString& text);
    // A message for the user (the VO_PROC refusal, a recalculation that stopped).
    void messageRequested(const QString& text);

private:
    struct Bound {
        const ControlSpec* spec = nullptr;
        QWidget* widget = nullptr;
        QLabel* caption = nullptr;
    };

    QWidget* build(const char* name, bool withCaption = false);
    QWidget* buildWidget(const ControlSpec& spec);
    // A caption and its control in row r of g, from column col.
    QWidget* row(QGridLayout* g, int r, int col, const char* name);
    QCheckBox* checkRow(QGridLayout* g, int r, const char* name);
    QLabel* label(const QString& text, QWidget* buddy = nullptr);
    QWidget* buildHeader();
    QWidget* buildPage(int page);
    QWidget* pageFrame(int page, QLayout* content);
    QWidget* wallsPage();
    QWidget* ventilationPage();
    QWidget* infiltrationPage();
    QWidget* productPage();
    QWidget* respirationPage();
    QWidget* lightingPage();
    QWidget* singleFieldPage(int page, const char* name);
    QWidget* fansPage();

    CommitResult commitField(const ControlSpec& spec, NumericEdit* edit, const QString& text);

    void leave(const ControlSpec& spec, NumericEdit* edit, const QString& text);
    template <typename F> void forward(F&& event);
    void refreshControl(const Bound& b);
    void showPageOf(QWidget* w);
    void chainFocus(const QList<QWidget*>& order);

    Session& session_;
    ResultsPanel* results_ = nullptr;
    QGridLayout* layout_ = nullptr;
    TabPages* pages_ = nullptr;
    std::vector<Bound> bound_;
    QHash<QString, size_t> byName_;
    bool refocusing_ = false;
    bool refreshing_ = false;
    int listener_ = 0;
};

} // namespace vorn
