#pragma once

// The headless test platform cannot cut a window to a shape, grab the mouse for real or raise a
// window, and says so each time; Qt's own window state (mask, mouse grabber, visibility) is
// what the tests check. The mouse also leaves the window on purpose while it is dragged.

#include <QString>
#include <QtGlobal>

namespace headless {

inline QtMessageHandler &previousHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void filter(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.contains(QLatin1String("occurs outside target window")))
        return;
    previousHandler()(type, context, message);
}

// Call from initTestCase.
inline void quietPlatformLimits()
{
    previousHandler() = qInstallMessageHandler(filter);
}

} // namespace headless
