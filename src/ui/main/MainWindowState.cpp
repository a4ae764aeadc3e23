#include "ui/main/MainWindowState.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

MainWindowState::MainWindowState(QWidget *window, const Controls &controls)
    : m_window(window), m_controls(controls)
{}

ScreenInfo MainWindowState::screenInfo()
{
    ScreenInfo info;
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        info.size = primary->geometry().size();
        info.pixelsPerInch = qRound(primary->logicalDotsPerInch());
    }
    for (const QScreen *screen : QGuiApplication::screens())
        info.available.append(screen->availableGeometry());
    return info;
}

WindowPlacement MainWindowState::placement() const
{
    WindowPlacement p = m_kept;
    p.showCmd = m_window->isMaximized()   ? ShowMaximized
                : m_window->isMinimized() ? ShowMinimized
                                          : ShowNormal;
    p.normalRect = WindowRect::fromQRect(
        m_window->normalGeometry().isValid() ? m_window->normalGeometry() : m_window->geometry());
    return p;
}

ControlProperties MainWindowState::properties() const
{
    ControlProperties p;
    p.aStatusBarChecked = m_controls.aStatusBar->isChecked();
    p.aToolBarChecked = m_controls.aToolBar->isChecked();
    p.statusBarVisible = !m_controls.statusBar->isHidden();
    p.toolBar1Visible = !m_controls.toolBar->isHidden();
    p.lcbFTYPEWidth = m_controls.lcbFTYPE->width();
    p.lcbPODKOMWidth = m_controls.lcbPODKOM->width();
    return p;
}

void MainWindowState::applyProperties(const ControlProperties &p)
{
    m_controls.aStatusBar->setChecked(p.aStatusBarChecked);
    m_controls.aToolBar->setChecked(p.aToolBarChecked);
    m_controls.statusBar->setVisible(p.statusBarVisible);
    m_controls.toolBar->setVisible(p.toolBar1Visible);
    m_controls.lcbFTYPE->setFixedWidth(qMax(p.lcbFTYPEWidth, kMinimumBoxWidth));
    m_controls.lcbPODKOM->setFixedWidth(qMax(p.lcbPODKOMWidth, kMinimumBoxWidth));
}

void MainWindowState::restore(SettingsStore &store)
{
    const WindowStateRestore r = restoreWindowState(store, placement(), properties(), screenInfo());
    if (!r.stopped) {
        m_kept = r.placement;
        if (r.applyPlacement)
            m_window->setGeometry(r.placement.normalRect.toQRect());
        switch (r.showState) {
        case WindowShowState::Maximized:
            m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
            break;
        case WindowShowState::MinimizeApplication:
            m_window->setWindowState(m_window->windowState() | Qt::WindowMinimized);
            break;
        case WindowShowState::Normal:
            break;
        }
        applyProperties(r.properties);
    }
    m_restored = true;
}

void MainWindowState::save(SettingsStore &store, WindowStateSaveMoment moment)
{
    if (!m_restored)
        return;
    // Tried once: a save that failed at the close request is not repeated at destruction, which
    // would report the same failure again and store the closed window as shown.
    m_saved = true;
    saveWindowState(store, placement(), m_window->isMinimized(), properties(), screenInfo(),
                    moment);
}
