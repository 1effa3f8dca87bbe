#include "gui/ui/option_group.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QRadioButton>

namespace kelvo::gui {

QButtonGroup* MakeOptionGroup(QWidget* parent, QBoxLayout* layout, const std::vector<OptionButton>& options)
{
    auto* group = new QButtonGroup(parent);
    for (const OptionButton& option : options) {
        auto* button = new QRadioButton(option.caption, parent);
        button->setObjectName(option.objectName);
        group->addButton(button, option.id);
        layout->addWidget(button);
    }
    return group;
}

QButtonGroup* MakeOptionGroup(QWidget* parent, QBoxLayout* layout, const QString& base, const QStringList& captions)
{
    std::vector<OptionButton> options;
    for (int i = 0; i < captions.size(); ++i)
        options.push_back({QStringLiteral("%1(%2)").arg(base).arg(i), captions[i], i});
    return MakeOptionGroup(parent, layout, options);
}

void CheckOnly(QButtonGroup* group, QAbstractButton* chosen)
{
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(button == chosen);
    group->setExclusive(true);
}

} // namespace kelvo::gui
