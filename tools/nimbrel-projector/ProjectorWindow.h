#pragma once
// The projector's one window: plays a movie at its own size, scaled with the
// window. Esc leaves full screen; closing the window ends the program.
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace nimbrel::movie { class MoviePlayer; }

class ProjectorWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProjectorWindow(QWidget* parent = nullptr);
    ~ProjectorWindow() override;

    // False (and the reason in errorString) when the bytes are not a usable movie.
    bool load(const QByteArray& movie, const QString& baseFolder);
    QString errorString() const;
    nimbrel::movie::MoviePlayer& player() { return *player_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void tick();
    void onFsCommand(const QString& command, const QString& args);

    nimbrel::movie::MoviePlayer* player_;
    QTimer clock_;
    QElapsedTimer sinceLastTick_;
};
