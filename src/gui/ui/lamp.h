#pragma once

#include <QColor>
#include <QWidget>

namespace kelvo::gui {

// A round indicator lamp; its colour is the indicator's back colour.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);

    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color{64, 64, 64};
};

} // namespace kelvo::gui
