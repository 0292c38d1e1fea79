#pragma once
// The about window "关于软件": picture, banner, version, maker and author lines and a
// close button. It stays above every other window while open, its owner included.
// The two contact labels turn the hover colour under the pointer and back to the
// normal colour only when the pointer crosses the window's free area; clicking
// them does nothing.
#include <QColor>
#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace nimbrel::help {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    // Created on `owner` (the main window) so that it is kept in front of it.
    explicit AboutWindow(QWidget* owner = nullptr);

    static QString caption();         // "关于软件"
    static QString versionText();     // Label1
    static QString makerText();       // Label2
    static QString authorText();      // Label3(1)
    static QString contactText();     // Label3(0)
    static QString disclaimerText();  // Label4

    QColor normalColour() const { return normalColour_; }
    QColor hoverColour() const { return hoverColour_; }

    // Entry points of the window's events.
    void Form_MouseMove();
    void Label3_MouseMove(int index);
    void Command1_Click();

    QLabel* Image2;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    std::array<QLabel*, 2> Label3{}; // 0 contact, 1 author
    QFrame* Line1;
    QLabel* Label4;
    QPushButton* Command1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Form_Load();
    void setLabelColour(QLabel* label, const QColor& colour);

    QColor normalColour_;
    QColor hoverColour_;
};

} // namespace nimbrel::help
