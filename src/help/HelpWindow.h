#pragma once
// The help window "帮助中心": one topic at a time as plain text in a box that fills
// the window, chosen from its menu "模块". Opens on the tips topic.
#include <QWidget>
#include <array>

class QAction;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

namespace nimbrel::help {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Design client area, twips.
    static constexpr int DesignWidth = 7995;
    static constexpr int DesignHeight = 6045;

    explicit HelpWindow(QWidget* parent = nullptr);

    static QString caption(); // "帮助中心"

    // Shows topic `index` (1..7); any other number empties the box.
    void frmhelp(int index);
    // The box's text as built: each line preceded by CR LF.
    QString text() const { return text_; }
    int topic() const { return topic_; }

    QMenuBar* menuBar;
    QMenu* MNUMK;                        // "模块"
    std::array<QAction*, 7> topicItems{}; // MNUBF .. MNUQT, topics 1..7
    QPlainTextEdit* Text1;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();

    QString text_;
    int topic_ = 0;
};

} // namespace nimbrel::help
