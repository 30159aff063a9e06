#include "client/program.h"

Program::Program(LaunchOptions options, ErrorReporter* errors, SoundPlayer* sounds)
    : m_errors(errors ? errors : &m_errorBox)
{
    m_chat = std::make_unique<Tchat>(std::move(options), m_errors, sounds ? sounds : &m_wavePlayer);
    m_errorBox.setParentWindow(m_chat.get());
    HostSettings settings;
    m_server = std::make_unique<TServer>(settings, m_errors);
    m_chat->setServer(m_server.get());
}

Program::~Program()
{
    // The window goes first so that its connection closes before the host does.
    m_chat.reset();
    m_server.reset();
}
