#include "app/launcher.h"

#include "platform/logging.h"

#include <QPointer>

Launcher::Launcher(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds,
                   std::optional<HostSettings> hostSettings)
    : m_options(std::move(options)), m_errors(errors), m_sounds(sounds),
      m_hostSettings(std::move(hostSettings))
{
    makeProgram();
}

Launcher::~Launcher() = default;

void Launcher::makeProgram()
{
    m_program = std::make_unique<Program>(m_options, m_errors, m_sounds, m_hostSettings);
    m_program->setPlayWithOthers([this](const QStringList& arguments) { startWith(arguments); });
    // Queued: the old copy is destroyed only once its window's close has run its course.
    const QPointer<Tchat> chat(&m_program->chat());
    connect(
        chat, &Tchat::closed, this,
        [this, chat] {
            if (chat && chat == &m_program->chat())
                windowClosed();
        },
        Qt::QueuedConnection);
}

void Launcher::show()
{
    m_program->chat().show();
}

void Launcher::startWith(const QStringList& arguments)
{
    m_next = arguments;
    // The hosting player may keep the table after all.
    if (!m_program->chat().close())
        m_next.reset();
}

void Launcher::closeWithoutAsking()
{
    m_next.reset();
    m_program->chat().closeWithoutAsking();
}

void Launcher::windowClosed()
{
    if (!m_next) {
        emit finished();
        return;
    }
    m_options.arguments = *m_next;
    m_next.reset();
    qCInfo(lcClient) << "starting again to play with others";
    m_program.reset();
    makeProgram();
    show();
    emit restarted();
}
