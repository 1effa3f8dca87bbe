#pragma once

#include <QPointer>
#include <QWidget>

namespace kelvo::gui {

// A highlight shape: an outline that sits on one control of a group and follows it when
// the layout moves it. It lets clicks through to the control underneath.
class Highlight : public QWidget {
    Q_OBJECT
public:
    explicit Highlight(QWidget* parent = nullptr);

    // Moves the shape onto `target`, a sibling in the same parent.
    void moveOnto(QWidget* target);
    QWidget* target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    QPointer<QWidget> m_target;
};

} // namespace kelvo::gui
