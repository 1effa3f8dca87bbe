#include "gui/ui/value_name.h"

#include "gui/ui/elided_label.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace kelvo::gui {
namespace {

const char* const kCaption = "valueCaption";

// A label read by its caption and its value, as a read-only text.
class ValueAccessible final : public QAccessibleWidget {
public:
    explicit ValueAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name: return ValueName(widget()->property(kCaption).toString(), value());
        case QAccessible::Value: return value();
        default: return QAccessibleWidget::text(kind);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

private:
    QString value() const
    {
        if (const auto* elided = qobject_cast<const ElidedLabel*>(widget()))
            return elided->fullText();
        return static_cast<const QLabel*>(widget())->text();
    }
};

QAccessibleInterface* ValueFactory(const QString&, QObject* object)
{
    auto* label = qobject_cast<QLabel*>(object);
    if (label != nullptr && label->property(kCaption).isValid())
        return new ValueAccessible(label);
    return nullptr;
}

} // namespace

QString ValueName(const QString& caption, const QString& value)
{
    return value.isEmpty() ? caption : caption + QStringLiteral(": ") + value;
}

void NameByCaption(QLabel& display, const QString& caption)
{
    static const bool installed = (QAccessible::installFactory(&ValueFactory), true);
    Q_UNUSED(installed);
    display.setProperty(kCaption, caption);
    // QLabel announces a new text as a new name only while it has no name of its own.
    display.setAccessibleName(QString());
    // An interface Qt built and kept before now is the plain label's: the next one is ours.
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(&display)));
}

} // namespace kelvo::gui
