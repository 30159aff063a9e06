#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the main thread, so that the end
// of a desktop session closes the window the normal way and its files are saved.
class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject* parent = nullptr);
    ~UnixSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
