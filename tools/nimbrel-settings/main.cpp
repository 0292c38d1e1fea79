// nimbrel-settings: reads and writes the settings store from the command line.
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using nimbrel::platform::SettingsStore;

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char kHelp[] =
    "Usage: nimbrel-settings COMMAND ARGUMENT...\n"
    "Reads and writes Nimbrel's settings store in $XDG_CONFIG_HOME/Nimbrel/\n"
    "(~/.config/Nimbrel/ when XDG_CONFIG_HOME is not set).\n"
    "\n"
    "Commands:\n"
    "  get APP SECTION KEY          print the value as stored (an empty line when missing)\n"
    "  set APP SECTION KEY VALUE    write one value\n"
    "  list APP SECTION             print the section's pairs in stored order, one key=value a line\n"
    "  delete-section APP SECTION   delete the section with all its pairs\n"
    "\n"
    "Application, section and key names are matched without regard to letter case.\n"
    "So that every pair of 'list' stays on one line, 'list' writes a backslash in a key\n"
    "or value as \\\\, a newline as \\n and a carriage return as \\r.\n"
    "\n"
    "Damaged lines of the settings file are skipped and listed on stderr; the damaged\n"
    "file is kept beside it as settings.log.corrupt-DATE-TIME and the file rewritten.\n"
    "\n"
    "Exit status: 0 done, 1 the store could not be written, 2 wrong command or arguments.\n";

void print(FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

int usageError(const QString& message) {
    print(stderr, QStringLiteral("nimbrel-settings: %1\nTry 'nimbrel-settings --help' for the commands.\n").arg(message));
    return kUsage;
}

QString escapedForList(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

// What damage the store found when it was opened, on stderr; nothing when there was none.
void reportDamage(const SettingsStore& store) {
    const nimbrel::platform::SettingsDamage damage = store.damage();
    const QString tag = QStringLiteral("nimbrel-settings: ");
    if (damage.wholeFileLost()) {
        print(stderr, tag + QStringLiteral("nothing in the settings file could be read; it was set aside as %1 "
                                           "and the store starts empty\n").arg(damage.copyPath()));
        return;
    }
    if (damage.damagedLines() == 0)
        return;
    QString out = tag + QStringLiteral("%1 damaged line(s) of the settings file were skipped; every other setting was kept\n")
                            .arg(damage.damagedLines());
    for (const auto& section : damage.sections()) {
        QStringList lost;
        for (const QString& key : section.keys)
            lost << escapedForList(key);
        if (section.unnamed > 0)
            lost << QStringLiteral("%1 more whose key cannot be read").arg(section.unnamed);
        out += tag + QStringLiteral("  lost in %1 %2: %3\n")
                         .arg(escapedForList(section.app), escapedForList(section.name), lost.join(QStringLiteral(", ")));
    }
    if (damage.unplaced() > 0)
        out += tag + QStringLiteral("  %1 damaged stretch(es) whose section cannot be read\n").arg(damage.unplaced());
    if (damage.copyPath().isEmpty())
        out += tag + QStringLiteral("the damaged file could not be copied, so it was left as it is\n");
    else
        out += tag + QStringLiteral("the damaged file was kept as %1 and the settings file rewritten\n").arg(damage.copyPath());
    print(stderr, out);
}

int writeFailed(const SettingsStore& store) {
    print(stderr, QStringLiteral("nimbrel-settings: the settings store could not be written: %1\n").arg(store.errorString()));
    return kFailed;
}

struct Command {
    const char* name;
    int argumentCount;
    const char* arguments;
};

constexpr Command kCommands[] = {
    {"get", 3, "APP SECTION KEY"},
    {"set", 4, "APP SECTION KEY VALUE"},
    {"list", 2, "APP SECTION"},
    {"delete-section", 2, "APP SECTION"},
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);

    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    if (args.size() == 1 && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        print(stdout, QString::fromUtf8(kHelp));
        return kOk;
    }

    const QString name = args.takeFirst();
    const Command* command = nullptr;
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name))
            command = &c;
    }
    if (!command)
        return usageError(QStringLiteral("unknown command '%1'").arg(name));
    if (args.size() != command->argumentCount) {
        return usageError(QStringLiteral("'%1' needs %2 (got %3 arguments)")
                              .arg(name, QLatin1String(command->arguments))
                              .arg(args.size()));
    }

    SettingsStore store;
    reportDamage(store);

    if (name == QLatin1String("get")) {
        print(stdout, store.value(args[0], args[1], args[2]) + QLatin1Char('\n'));
    } else if (name == QLatin1String("set")) {
        if (!store.setValue(args[0], args[1], args[2], args[3]))
            return writeFailed(store);
    } else if (name == QLatin1String("list")) {
        QString out;
        for (const SettingsStore::Pair& pair : store.section(args[0], args[1]))
            out += escapedForList(pair.first) + QLatin1Char('=') + escapedForList(pair.second) + QLatin1Char('\n');
        print(stdout, out);
    } else {
        if (!store.deleteSection(args[0], args[1]))
            return writeFailed(store);
    }
    return std::fflush(stdout) == 0 ? kOk : kFailed;
}
