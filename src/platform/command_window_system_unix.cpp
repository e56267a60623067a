#include "platform/command_window_system.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace vellumo::platform {

namespace {

// On X11 Qt keeps the window manager's WM_DELETE_WINDOW with the clicks and
// keys while input is held back, where nothing else can see it. So while the
// window system runs during a command, input is let out of that queue and
// caught here before Qt handles it: clicks, keys and pointer moves are
// dropped, and a close request is held until the command has ended.
class XcbInput final : public CommandWindowSystem, private QAbstractNativeEventFilter {
public:
    explicit XcbInput(xcb_connection_t *connection)
        : protocols_(atom(connection, "WM_PROTOCOLS"))
        , deleteWindow_(atom(connection, "WM_DELETE_WINDOW"))
    {
    }

    QList<QWindow *> letRun() override
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
        QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
        QCoreApplication::instance()->removeNativeEventFilter(this);
        QList<QWindow *> closing;
        for (const QPointer<QWindow> &window : std::as_const(held_))
            if (window)
                closing << window;
        return closing;
    }

    void commandEnded() override
    {
        for (const QPointer<QWindow> &window : std::exchange(held_, {}))
            if (window)
                QMetaObject::invokeMethod(window, [window = window.data()] { window->close(); }, Qt::QueuedConnection);
    }

private:
    static xcb_atom_t atom(xcb_connection_t *connection, const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, false, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        switch (event->response_type & ~0x80) {
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
        case XCB_MOTION_NOTIFY:
        case XCB_ENTER_NOTIFY:
        case XCB_LEAVE_NOTIFY:
        case XCB_GE_GENERIC: // the pointer and touch events of the input extension
            return true;
        case XCB_CLIENT_MESSAGE: {
            const auto *client = reinterpret_cast<const xcb_client_message_event_t *>(event);
            if (client->type != protocols_ || client->data.data32[0] != deleteWindow_)
                return false;
            for (QWindow *window : QGuiApplication::topLevelWindows())
                if (window->handle() && window->winId() == client->window && !held_.contains(window))
                    held_ << window;
            return true;
        }
        default:
            return false;
        }
    }

    const xcb_atom_t protocols_;
    const xcb_atom_t deleteWindow_;
    QList<QPointer<QWindow>> held_;
};

} // namespace

std::unique_ptr<CommandWindowSystem> createCommandWindowSystem()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        if (const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>(); x11 && x11->connection())
            return std::make_unique<XcbInput>(x11->connection());
    return queuedCommandWindowSystem();
}

} // namespace vellumo::platform
