#include "client/tablesettings.h"

#include "client/chatpanel.h"
#include "client/chatview.h"
#include "client/gamestartform.h"
#include "client/playingsurface.h"
#include "client/settings.h"
#include "client/tablelayout.h"
#include "client/tablemenus.h"
#include "platform/logging.h"
#include "platform/settingslocation.h"
#include "platform/windowbounds.h"

TableSettings::TableSettings(const QString& folder, QWidget& window, ChatPanel& chat,
                             TableMenus& menus, PlayingSurface& surface)
    : QObject(&window), m_window(window), m_chat(chat), m_menus(menus), m_surface(surface)
{
    const SettingsLocation location =
        folder.isEmpty() ? SettingsLocation::forThisProgram() : SettingsLocation(folder, folder);
    m_path = location.iniPath();
    m_tallyPath = location.tallyPath();
    connect(&chat, &ChatPanel::colourChosen, this, &TableSettings::save);
    connect(&menus, &TableMenus::optionsChanged, this, &TableSettings::save);
    connect(&menus, &TableMenus::textSizeChosen, this, [this](int size) {
        m_chat.view()->setTextSize(size);
        save();
    });
}

Tgamestart* TableSettings::gameStart()
{
    Tgamestart* dialog = m_gamestart ? m_gamestart() : nullptr;
    if (dialog && dialog != m_heard) {
        m_heard = dialog;
        connect(dialog, &Tgamestart::saveRequested, this, &TableSettings::save);
    }
    return dialog;
}

Settings TableSettings::current()
{
    Settings s;
    s.bounds = windowBounds(m_window);
    m_chat.storeIn(s);
    if (Tgamestart* dialog = gameStart())
        dialog->storeIn(s);
    m_menus.storeIn(s);
    return s;
}

void TableSettings::load()
{
    // Starts from the current state: values the file lacks or cannot give stay as they are.
    Settings s = current();
    QString error;
    if (!loadSettingsFile(m_path, s, &error))
        qCWarning(lcClient) << "settings file" << m_path << ":" << error;
    // Where the file says, unless that is off every screen or not a sensible size.
    const QRect place = placeableBounds(s.bounds, screenAreas(), layout::window);
    placeWindow(m_window, place);
    // The window takes its place in time, and never less room than the table needs.
    m_savedBounds = QRect(place.topLeft(), place.size().expandedTo(m_window.minimumSizeHint()));
    m_chat.loadFrom(s);
    if (Tgamestart* dialog = gameStart())
        dialog->loadFrom(s);
    m_menus.loadFrom(s);
    if (s.showHelp)
        m_surface.showHelpPanel();
}

void TableSettings::saveWith(const QRect& bounds)
{
    Settings s = current();
    if (!bounds.isNull())
        s.bounds = bounds;
    QString error;
    if (!saveSettingsFile(m_path, s, &error))
        qCWarning(lcClient) << "settings file" << m_path << "not written:" << error;
}

void TableSettings::saveAtClose()
{
    if (const auto bounds =
            boundsToSaveAtClose(windowBounds(m_window), m_savedBounds, desktopWorkArea(m_window))) {
        m_savedBounds = *bounds;
        saveWith(*bounds);
    }
}
