#pragma once
// The program's message and question boxes: one look and one set of buttons ("Да" / "Нет",
// "Нет" the default, so Enter never replaces or deletes by accident) for every window.
#include <QString>

class QWidget;

namespace vorn {

enum class MessageKind { Information, Warning, Error };

// A modal message with an OK button.
void showMessageBox(QWidget* parent, const QString& title, const QString& text,
                    MessageKind kind = MessageKind::Information);
// A modal yes/no question; true for "Да".
bool askYesNo(QWidget* parent, const QString& title, const QString& text);

} // namespace vorn
