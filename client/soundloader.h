#pragma once

#include "client/soundplayer.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

// The program's sound player. The sounds themselves are played by the sound module
// (quorvel_sound.so), the one part that links Qt Multimedia and its codecs; it is loaded
// when first needed or, for the program's window, just after its first paint, so a start
// neither waits for it nor holds its memory before the table is up. Without the module
// the game is silent and the log says why, once.
class SoundLoader : public QObject, public SoundPlayer {
public:
    // modulePath empty: the module is looked for where the program keeps it.
    explicit SoundLoader(QString modulePath = {}, QObject* parent = nullptr);

    void play(const QString& name) override;
    // The module is loaded once the window has painted its first frame; a sound asked for
    // before then plays at that moment.
    void loadAfterFirstPaint(QWidget* window);

    static bool hasSound(const QString& name);
    // Beside the executable (the build tree), then where an installed copy keeps it.
    static QStringList modulePlaces();

private:
    void load();

    QString m_modulePath;
    SoundPlayer* m_player = nullptr; // a child of this object, from the module
    bool m_tried = false;
    bool m_waiting = false;
    QString m_asked;
};
