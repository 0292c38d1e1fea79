#include "player/AppSettings.h"
#include "platform/SettingsStore.h"
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace nimbrel::player {

namespace {
// Far beyond any screen, small enough for every integer conversion on the way to pixels.
constexpr double TwipsLimit = 100'000'000.0;

bool anyPosition(const QString& t) { return AppSettings::twips(t).has_value(); }
bool positiveSize(const QString& t) {
    const auto v = AppSettings::twips(t);
    return v && std::nearbyint(*v) >= 1.0;
}
bool fitMode(const QString& t) { return t == "0" || t == "1" || t == "2"; }
bool trueFalse(const QString& t) { return t == "true" || t == "false"; }
bool opacity(const QString& t) { return t == "false" || AppSettings::alpha(t).has_value(); }
bool folder(const QString& t) { return !t.isEmpty() && !t.contains(QChar(0)) && QDir::isAbsolutePath(t); }

const std::array<AppSettings::Entry, AppSettings::KeyCount> Table{{
    {AppSettings::Key::mleft, "mleft", nullptr, anyPosition},
    {AppSettings::Key::mtop, "mtop", nullptr, anyPosition},
    {AppSettings::Key::mwidth, "mwidth", nullptr, positiveSize},
    {AppSettings::Key::mheight, "mheight", nullptr, positiveSize},
    {AppSettings::Key::bfms, "bfms", "0", fitMode},
    {AppSettings::Key::ncjc, "ncjc", "false", trueFalse},
    {AppSettings::Key::tmd, "tmd", "false", opacity},
    {AppSettings::Key::zdbf, "zdbf", "false", trueFalse},
    {AppSettings::Key::filepath, "filepath", nullptr, folder},
    {AppSettings::Key::filepath2, "filepath2", nullptr, folder},
    {AppSettings::Key::openpath, "openpath", nullptr, folder},
}};
} // namespace

QString AppSettings::appName() { return QStringLiteral("Nimbrel"); }
QString AppSettings::section() { return QStringLiteral("bfsz"); }
const std::array<AppSettings::Entry, AppSettings::KeyCount>& AppSettings::table() { return Table; }
const AppSettings::Entry& AppSettings::entry(Key key) { return Table[static_cast<size_t>(key)]; }

AppSettings::AppSettings(platform::SettingsStore& store) : store_(store) {}

QString AppSettings::read(Key key) const {
    return store_.value(appName(), section(), QString::fromLatin1(entry(key).name));
}

bool AppSettings::write(Key key, const QString& text) {
    if (!isValid(key, text))
        return false;
    return store_.setValue(appName(), section(), QString::fromLatin1(entry(key).name), text);
}

bool AppSettings::writeFirstRun(Key key) {
    const Entry& e = entry(key);
    return e.firstRun && write(key, QString::fromLatin1(e.firstRun));
}

bool AppSettings::isValid(Key key, const QString& text) { return entry(key).valid(text); }

std::optional<double> AppSettings::twips(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > TwipsLimit)
        return std::nullopt;
    return v;
}

std::optional<int> AppSettings::alpha(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^\\s*\\+?\\d{1,3}\\s*$"));
    if (!whole.match(text).hasMatch())
        return std::nullopt;
    const int v = text.trimmed().toInt();
    if (v < 0 || v > 255)
        return std::nullopt;
    return v;
}

QString AppSettings::twipsText(double value) {
    QString s = QString::number(value, 'f', 2);
    while (s.contains('.') && (s.endsWith('0') || s.endsWith('.')))
        s.chop(1);
    return s == "-0" ? QStringLiteral("0") : s;
}

} // namespace nimbrel::player
