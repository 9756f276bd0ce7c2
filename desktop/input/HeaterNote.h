#pragma once
// The remark on the page of gain 9 for a calculation of the earlier layout: its heater
// and defrost fields are disabled, and "Сохранить как" writes the layout that has them.
class QLabel;
class QWidget;

namespace vorn {

class Session;

// A label that shows itself while the open calculation lacks the heater fields, following
// every open, close and edit.
QLabel* makeHeaterNote(Session& session, QWidget* parent);

} // namespace vorn
