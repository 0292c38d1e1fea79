#include "TraceComparison.h"
#include <QRegularExpression>
#include <cmath>

QString normaliseTrace(const QByteArray& raw)
{
    QByteArray b = raw;
    b.replace("\r\n", "\n");
    b.replace('\0', QByteArray());
    return QString::fromUtf8(b);
}

namespace {

bool close(const CorpusCase& c, double a, double b)
{
    if (a == b || (std::isnan(a) && std::isnan(b)))
        return true;
    double diff = std::fabs(a - b);
    if (c.epsilon > 0 && diff <= c.epsilon)
        return true;
    if (c.maxRelative > 0 && diff <= c.maxRelative * std::max(std::fabs(a), std::fabs(b)))
        return true;
    return false;
}

// Lines differing only in numbers the case's patterns capture, within tolerance.
bool lineClose(const CorpusCase& c, const QString& a, const QString& e)
{
    if (a == e)
        return true;
    static const QRegularExpression number(QStringLiteral("-?\\d+(?:\\.\\d+)?(?:e[-+]?\\d+)?"));
    QStringList patterns = c.numberPatterns;
    if (patterns.isEmpty())
        patterns.append(number.pattern());
    for (const QString& p : patterns) {
        // The corpus writes patterns in a dialect where \d and friends match as in Qt's.
        QRegularExpression re(p);
        if (!re.isValid())
            continue;
        auto ma = re.globalMatch(a), me = re.globalMatch(e);
        QString restA = a, restE = e;
        QList<double> na, ne;
        int shiftA = 0, shiftE = 0;
        while (ma.hasNext()) {
            auto m = ma.next();
            int group = m.lastCapturedIndex() >= 1 ? 1 : 0;
            na.append(m.captured(group).toDouble());
            restA.replace(m.capturedStart(group) - shiftA, m.capturedLength(group), QStringLiteral("#"));
            shiftA += m.capturedLength(group) - 1;
        }
        while (me.hasNext()) {
            auto m = me.next();
            int group = m.lastCapturedIndex() >= 1 ? 1 : 0;
            ne.append(m.captured(group).toDouble());
            restE.replace(m.capturedStart(group) - shiftE, m.capturedLength(group), QStringLiteral("#"));
            shiftE += m.capturedLength(group) - 1;
        }
        if (na.isEmpty() || na.size() != ne.size() || restA != restE)
            continue;
        bool ok = true;
        for (int i = 0; i < na.size() && ok; ++i)
            ok = close(c, na[i], ne[i]);
        if (ok)
            return true;
    }
    return false;
}

} // namespace

bool traceMatches(const CorpusCase& c, const QString& actual, const QString& expected)
{
    if (actual == expected)
        return true;
    if (!c.hasApproximations)
        return false;
    const QStringList a = actual.split(QLatin1Char('\n')), e = expected.split(QLatin1Char('\n'));
    if (a.size() != e.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (!lineClose(c, a[i], e[i]))
            return false;
    return true;
}
