#include "CorpusCase.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QString stripComment(const QString& line)
{
    bool inString = false;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('"') && (i == 0 || line[i - 1] != QLatin1Char('\\')))
            inString = !inString;
        else if (line[i] == QLatin1Char('#') && !inString)
            return line.left(i);
    }
    return line;
}

// TOML basic strings as they appear in test.toml files (only \\ and \" escapes matter).
QStringList stringsOf(const QString& value)
{
    QStringList out;
    static const QRegularExpression re(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    auto it = re.globalMatch(value);
    while (it.hasNext()) {
        QString s = it.next().captured(1);
        s.replace(QLatin1String("\\\\"), QLatin1String("\\"));
        s.replace(QLatin1String("\\\""), QLatin1String("\""));
        out.append(s);
    }
    return out;
}

} // namespace

std::optional<CorpusCase> CorpusCase::load(const QString& corpusRoot, const QString& name)
{
    CorpusCase c;
    c.name = name;
    c.folder = QDir(corpusRoot).filePath(name);
    QFile f(QDir(c.folder).filePath(QStringLiteral("test.toml")));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString section;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = stripComment(line).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            if (section.startsWith(QLatin1String("image_comparisons")))
                c.hasImages = true;
            if (section == QLatin1String("approximations"))
                c.hasApproximations = true;
            continue;
        }
        int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (section.isEmpty()) {
            if (key == QLatin1String("num_frames") || key == QLatin1String("num_ticks"))
                c.frames = value.toInt();
            else if (key == QLatin1String("known_failure"))
                c.knownFailure = value != QLatin1String("false");
            else if (key == QLatin1String("ignore"))
                c.ignore = value == QLatin1String("true");
        } else if (section == QLatin1String("player_options") && key == QLatin1String("viewport_dimensions")) {
            static const QRegularExpression width(QStringLiteral("width\\s*=\\s*(\\d+)"));
            static const QRegularExpression height(QStringLiteral("height\\s*=\\s*(\\d+)"));
            const auto w = width.match(value), h = height.match(value);
            if (w.hasMatch() && h.hasMatch())
                c.viewport = QSize(w.captured(1).toInt(), h.captured(1).toInt());
        } else if (section == QLatin1String("known_failure")) {
            c.knownFailure = true;
        } else if (section == QLatin1String("approximations")) {
            if (key == QLatin1String("number_patterns"))
                c.numberPatterns = stringsOf(value);
            else if (key == QLatin1String("epsilon"))
                c.epsilon = value.toDouble();
            else if (key == QLatin1String("max_relative"))
                c.maxRelative = value.toDouble();
        }
    }
    c.fonts = CaseFonts::load(c.folder);
    c.hasOutput = QFile::exists(QDir(c.folder).filePath(QStringLiteral("output.txt")));
    return c;
}
