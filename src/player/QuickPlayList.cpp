#include "player/QuickPlayList.h"

#include <QFileInfo>
#include <limits>

namespace nimbrel::player {

const QString QuickPlayList::kMissingFileText = QStringLiteral("该文件不存在");
const QString QuickPlayList::kMissingFileTitle = QStringLiteral("Quorvane Nimbrel");

namespace {
// The current entry number is 16-bit: entries beyond this can be listed but not made current.
constexpr int kHighestCurrent = std::numeric_limits<qint16>::max();
} // namespace

QuickPlayList::QuickPlayList(FileExists fileExists, QObject* parent)
    : QObject(parent),
      m_fileExists(fileExists ? std::move(fileExists)
                              : FileExists([](const QString& path) { return QFileInfo(path).isFile(); })) {}

QString QuickPlayList::caption(int entry) const {
    return exists(entry) ? m_entries.at(entry - 1).caption : QString();
}

QStringList QuickPlayList::captions() const {
    QStringList out;
    out.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        out << e.caption;
    return out;
}

bool QuickPlayList::isChecked(int entry) const {
    return exists(entry) && m_entries.at(entry - 1).checked;
}

void QuickPlayList::setChecked(int entry, bool checked) {
    if (!exists(entry) || m_entries[entry - 1].checked == checked)
        return;
    m_entries[entry - 1].checked = checked;
    emit checkChanged(entry, checked);
}

void QuickPlayList::resize(int n) {
    n = qMax(0, n);
    if (n == count())
        return;
    m_entries.resize(n);
    emit entriesChanged();
}

void QuickPlayList::setCaption(int entry, const QString& caption) {
    if (!exists(entry) || m_entries.at(entry - 1).caption == caption)
        return;
    m_entries[entry - 1].caption = caption;
    emit entriesChanged();
}

void QuickPlayList::setCaptions(const QStringList& paths) {
    bool changed = false;
    const int n = int(qMin<qsizetype>(paths.size(), m_entries.size()));
    for (int i = 0; i < n; ++i) {
        if (m_entries.at(i).caption != paths.at(i)) {
            m_entries[i].caption = paths.at(i);
            changed = true;
        }
    }
    if (changed)
        emit entriesChanged();
}

void QuickPlayList::reload(const QStringList& paths) {
    m_entries.clear();
    m_entries.reserve(paths.size());
    for (const QString& p : paths)
        m_entries.append(Entry{p, false});
    emit entriesChanged();
}

void QuickPlayList::forgetCurrentPastEnd() {
    if (m_current > count())
        m_current = 0;
}

QuickPlayList::Step QuickPlayList::previous() {
    const int m = m_current;
    const int n = count();
    if (m < 2 || m > n)
        return {};
    Step s;
    s.kind = Step::Kind::Load;
    s.movie = caption(m - 1);
    s.callPlay = true;
    s.uncheck = m;
    setChecked(m, false);
    m_current = qint16(m - 1);
    s.check = m_current;
    setChecked(m_current, true);
    if (m_current == 1)
        s.previousEnabled = false;
    else if (m_current < n)
        s.nextEnabled = true;
    return s;
}

QuickPlayList::Step QuickPlayList::next() {
    const int m = m_current;
    const int n = count();
    if (m < 0 || m >= n || m >= kHighestCurrent)
        return {};
    Step s;
    s.kind = Step::Kind::Load;
    if (isChecked(m)) {
        s.uncheck = m;
        setChecked(m, false);
    }
    // No Play: a newly set movie starts by itself.
    s.movie = caption(m + 1);
    m_current = qint16(m + 1);
    s.check = m_current;
    setChecked(m_current, true);
    if (m_current == n)
        s.nextEnabled = false;
    else if (m_current >= 2)
        s.previousEnabled = true;
    return s;
}

QuickPlayList::Step QuickPlayList::play(int entry) {
    if (!exists(entry) || entry > kHighestCurrent)
        return {};
    Step s;
    if (!m_fileExists(caption(entry))) {
        s.kind = Step::Kind::MissingFile;
        return s;
    }
    s.kind = Step::Kind::Load;
    s.movie = caption(entry);
    s.callPlay = true;
    if (m_current != entry && isChecked(m_current)) {
        s.uncheck = m_current;
        setChecked(m_current, false);
    }
    m_current = qint16(entry);
    s.check = entry;
    setChecked(entry, true);
    s.showMovieView = true;
    buttonsForJump(s);
    return s;
}

QuickPlayList::Step QuickPlayList::loadFromPanel(const QStringList& lines) {
    reload(lines);
    Step s;
    s.showMovieView = true;
    if (lines.isEmpty()) {
        // Nothing to play; "before the first entry" keeps next and previous harmless.
        m_current = 0;
        s.kind = Step::Kind::Cleared;
        return s;
    }
    m_current = 1;
    setChecked(1, true);
    s.kind = Step::Kind::Load;
    s.check = 1;
    s.movie = caption(1);
    s.callPlay = true;
    buttonsForJump(s);
    return s;
}

QuickPlayList::Step QuickPlayList::playFirst() {
    if (count() == 0)
        return {};
    Step s;
    s.kind = Step::Kind::Load;
    for (int k = 1; k <= count(); ++k) {
        if (k != 1 && isChecked(k)) {
            s.uncheck = k;
            setChecked(k, false);
        }
    }
    m_current = 1;
    s.check = 1;
    setChecked(1, true);
    s.movie = caption(1);
    s.callPlay = true;
    buttonsForJump(s);
    return s;
}

void QuickPlayList::buttonsForJump(Step& s) const {
    // A jump can land anywhere, so both buttons are set from where it landed: a
    // button left disabled at the end of an earlier list would otherwise stay dead.
    s.previousEnabled = m_current > 1;
    s.nextEnabled = m_current < count();
}

} // namespace nimbrel::player
