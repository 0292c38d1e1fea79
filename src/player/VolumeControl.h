#pragma once
// The volume commands: a level of 0..65535 that starts at 30000. A press first
// writes the level to the speaker, then steps it by 5000 for the next press, so
// the first press writes 30000 whichever way it goes. Without a mixer the
// commands do nothing.
#include <QObject>

namespace nimbrel::platform { class clsVolume; }

namespace nimbrel::player {

class VolumeControl : public QObject {
    Q_OBJECT
public:
    static constexpr int kStartLevel = 30000;
    static constexpr int kStep = 5000;
    static constexpr int kMaxLevel = 65535;

    VolumeControl(platform::clsVolume& volume, QObject* parent = nullptr);

    void MNUPAGEU_Click(); // volume up
    void MNUPAGED_Click(); // volume down
    int level() const { return level_; }

signals:
    // A level was written to the speaker (0..65535): whatever else plays
    // sound for the player follows it.
    void levelWritten(int level);

private:
    void writeThenStep(int step);

    platform::clsVolume& volume_;
    int level_ = kStartLevel;
};

} // namespace nimbrel::player
