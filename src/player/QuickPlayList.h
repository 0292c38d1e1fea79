#pragma once
// The quick-play list: entries 1..N of the "播放列表" menu, each captioned with a movie
// path, the current entry number (0 = before the first entry, so next plays entry 1)
// and the check marks. The menu itself is the main window's; it rebuilds from
// entriesChanged() and follows checkChanged(). Navigation returns a Step saying what
// the window must do; nothing here touches the movie surface or shows a box.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QList>
#include <functional>
#include <optional>

namespace nimbrel::player {

class QuickPlayList : public QObject {
    Q_OBJECT
public:
    using FileExists = std::function<bool(const QString&)>;

    // What a navigation command asks of the window.
    struct Step {
        enum class Kind {
            Nothing,     // at an end of the list, or no such entry: leave everything as it is
            Load,        // set `movie` as Movie of flash (and call Play when asked)
            MissingFile, // show kMissingFileText titled kMissingFileTitle, information icon
            Cleared,     // the list was loaded empty: nothing to play
        };
        Kind kind = Kind::Nothing;
        QString movie;
        bool callPlay = false;
        int uncheck = 0; // entry whose check mark goes; 0 = none
        int check = 0;   // entry that gets the check mark; 0 = none
        std::optional<bool> previousEnabled; // new Enabled of Image5(2), when it changes
        std::optional<bool> nextEnabled;     // new Enabled of Image5(5), when it changes
        bool showMovieView = false;          // return from a side panel to the movie
    };

    static const QString kMissingFileText;  // "该文件不存在"
    static const QString kMissingFileTitle; // "Quorvane Nimbrel"

    // `fileExists` decides whether a clicked entry can be played; QFileInfo by default.
    explicit QuickPlayList(FileExists fileExists = {}, QObject* parent = nullptr);

    int count() const { return int(m_entries.size()); }
    // Caption of entry 1..count(); "" outside.
    QString caption(int entry) const;
    QStringList captions() const;
    bool isChecked(int entry) const;
    qint16 current() const { return m_current; }

    // Creates empty entries up to n or removes those above n. Current number and the
    // remaining check marks stay.
    void resize(int n);
    void setCaption(int entry, const QString& caption);
    // Captions of entries 1..paths.size() (only the entries that exist).
    void setCaptions(const QStringList& paths);
    // Removes every entry and creates one per path, unchecked; the current number stays
    // ("重新读取" and start-up).
    void reload(const QStringList& paths);
    // A current number left past the end of a shortened list becomes 0, so next movie
    // starts again from entry 1 instead of doing nothing.
    void forgetCurrentPastEnd();

    // Previous movie (Image5(2), mnuup, Left): needs a current number from 2 to count().
    Step previous();
    // Next movie (Image5(5), MNUXIAYIGE, Right): needs a current number below count().
    Step next();
    // A click on entry k (mnuwenjian_Click).
    Step play(int entry);
    // "加载到快捷播放列表" (mnukj): the playlist panel's lines become the list; plays the first.
    Step loadFromPanel(const QStringList& lines);
    // Several files opened and not added to the playlist: entry 1 becomes current and the
    // only checked entry, and is played.
    Step playFirst();

signals:
    // The number of entries or their captions changed: rebuild the menu.
    void entriesChanged();
    // One entry's check mark changed.
    void checkChanged(int entry, bool checked);

private:
    struct Entry {
        QString caption;
        bool checked = false;
    };
    void setChecked(int entry, bool checked);
    void buttonsForJump(Step& s) const;
    bool exists(int entry) const { return entry >= 1 && entry <= count(); }

    QList<Entry> m_entries; // m_entries[0] is entry 1
    qint16 m_current = 0;
    FileExists m_fileExists;
};

} // namespace nimbrel::player
