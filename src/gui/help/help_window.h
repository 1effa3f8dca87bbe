#pragma once

#include <QMainWindow>

#include <cstdint>
#include <filesystem>

class QListWidget;
class QMenu;
class QPrinter;
class QTextEdit;
class QTextDocument;

namespace kelvo::gui {

// The help viewer, objectName "Help": the topic list List1 beside the read-only view
// rtb1, which shows one topic read from the program folder. Created once; closing
// hides it, and the hidden or shown topic list is kept for the run.
class HelpWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(std::filesystem::path folder, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Shows the window with Welcome, or brings it forward when it is open already.
    void open();
    // The size it opens with, whatever the topic list and the view would ask for.
    QSize sizeHint() const override { return {860, 600}; }
    // Loads topic `index` of the list and puts the cursor at its start; a topic that
    // cannot be read leaves the view as it was and the status line says why.
    void showTopic(int index);
    // Prints the whole topic on `printer`; false, said on the status line, when it failed.
    bool printTopic(QPrinter& printer);
    // The view's context menu.
    QMenu* popup() const { return m_popup; }

private:
    void toggleTopics();
    void applyTopicsHidden();
    void printWithDialog();
    void copySelection();
    void showPopup(const QPoint& at);
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::filesystem::path m_folder;
    std::int16_t TopicsHidden = 0;
    int m_shownTopic = -1;
    int m_topicAtPress = -1;
    QListWidget* m_list = nullptr;
    QTextEdit* m_view = nullptr;
    QTextDocument* m_document = nullptr; // the topic on show; the view does not own it
    QAction* m_show = nullptr;
    QMenu* m_popup = nullptr;
};

} // namespace kelvo::gui
