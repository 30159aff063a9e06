// libFuzzer target: bytes from a host into the main window. They are framed as the
// window's connection frames them and handed to its message handlers in order; then
// the whole window is painted in whatever state they left.
#include "client/chatform.h"
#include "net/errorreporter.h"
#include "net/framereader.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdint>

namespace {
class Quiet : public ErrorReporter {
public:
    void report(const QString&) override {}
};

QTemporaryDir* settingsFolder = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Warnings about odd input are expected by the thousand.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    new QApplication(*argc, *argv);
    // The window reads and writes its settings file on login; never beside the program.
    settingsFolder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Making the window costs far more than any input; a window serves a run of inputs,
    // so an input meets the state earlier ones left, as a long session would.
    static Quiet errors;
    // Never destroyed at exit, after the application is gone.
    static Tchat* window = nullptr;
    static int served = 0;
    if (!window || ++served % 64 == 0) {
        delete window;
        LaunchOptions options;
        options.settingsFolder = settingsFolder->path();
        window = new Tchat(options, &errors);
    }
    // The window's own queue is fed by its socket; this one takes the same messages.
    DispatchPump queue(
        1, [](const QueuedMessage& message) { window->dispatcher().dispatch(message.text); });
    // "Game is full" waits for its OK, as a person would give it.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    answer.start(0);
    FrameReader reader;
    for (QByteArray& text :
         reader.feed(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        queue.push({std::move(text), 0});
    while (queue.size() > 0)
        queue.tick();
    QCoreApplication::processEvents();
    window->grab();
    QFile::remove(window->iniPath());
    return 0;
}
