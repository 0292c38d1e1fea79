// Test helper: writes rounds of values into the settings store until it has done
// the rounds asked for (0: until killed). Used by the process tests to kill a
// writer mid-write and to run writers side by side.
//
// SettingsStressWriter FOLDER KEY_PREFIX KEYS ROUNDS FILLER_LENGTH [--wait]
//   keys are KEY_PREFIX0..KEY_PREFIX<KEYS-1> in section "stress" of "Nimbrel";
//   rounds continue from the highest round already stored, so every key's round
//   only grows; prints "writing" once the first value is stored; with --wait it
//   first prints "ready" and waits for a line on stdin.
#include "platform/SettingsStore.h"
#include "platform/SettingsStressValue.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

using nimbrel::platform::SettingsStore;
using nimbrel::settingstest::stressRound;
using nimbrel::settingstest::stressValue;

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: SettingsStressWriter FOLDER KEY_PREFIX KEYS ROUNDS FILLER_LENGTH [--wait]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const int keys = std::atoi(argv[3]);
    const qint64 rounds = std::atoll(argv[4]);
    const int filler = std::atoi(argv[5]);
    const QString app = QStringLiteral("Nimbrel");
    const QString section = QStringLiteral("stress");

    if (argc == 7) {
        std::cout << "ready" << std::endl;
        std::string line;
        std::getline(std::cin, line);
    }

    SettingsStore store(folder);
    qint64 round = 0;
    for (int k = 0; k < keys; ++k) {
        const QString key = prefix + QString::number(k);
        round = std::max(round, stressRound(key, store.value(app, section, key), filler).value_or(0));
    }
    bool announced = false;
    for (qint64 done = 0; rounds == 0 || done < rounds; ++done) {
        ++round;
        for (int k = 0; k < keys; ++k) {
            const QString key = prefix + QString::number(k);
            if (!store.setValue(app, section, key, stressValue(key, round, filler))) {
                std::fprintf(stderr, "write failed: %s\n", qPrintable(store.errorString()));
                return 1;
            }
            if (!announced) {
                std::cout << "writing" << std::endl;
                announced = true;
            }
        }
    }
    return 0;
}
