#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QWidget;

namespace kelvo::gui {

struct OptionButton {
    QString objectName;
    QString caption;
    int id; // what the group's idClicked reports for this button
};

// Radio buttons in one exclusive group, in the order given: each a child of `parent` and
// added to `layout`. The group belongs to `parent` as well.
QButtonGroup* MakeOptionGroup(QWidget* parent, QBoxLayout* layout, const std::vector<OptionButton>& options);
// The same for buttons named base(0), base(1), ... with the ids 0, 1, ...
QButtonGroup* MakeOptionGroup(QWidget* parent, QBoxLayout* layout, const QString& base, const QStringList& captions);

// Checks `chosen` alone, or no button when it is null, which an exclusive group refuses
// to do by itself.
void CheckOnly(QButtonGroup* group, QAbstractButton* chosen);

} // namespace kelvo::gui
