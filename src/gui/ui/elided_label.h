#pragma once

#include <QLabel>

namespace kelvo::gui {

// A one-line label for a path that may be longer than the room it has: it shows the text
// elided in the middle to fit its width, so a long path never widens its window, and keeps
// the whole text in its tooltip and its accessible description.
class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    QString fullText() const { return m_full; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_full;
};

} // namespace kelvo::gui
