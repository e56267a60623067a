// The real program on a real desktop (Xvfb with openbox, see
// scripts/with-desktop), seen from outside as the window manager and a user
// see it.

#include "support/test_profile.h"
#include "support/test_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <httplib.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using namespace vellumo;

namespace {

// A client of the X server that pings, covers, types and clicks, as the
// window manager and a user do.
class Desktop {
public:
    bool open() const { return display_; }

    // The window of that title, once the window manager has made it the active one.
    Window activeWindow(const char *title)
    {
        XSelectInput(display_, root(), StructureNotifyMask | SubstructureNotifyMask);
        Window found = 0;
        return test::waitUntil([&] {
            Atom type;
            int format;
            unsigned long count, after;
            unsigned char *data = nullptr;
            XGetWindowProperty(display_, root(), atom("_NET_ACTIVE_WINDOW"), 0, 1, False, XA_WINDOW, &type, &format,
                               &count, &after, &data);
            found = data && count ? *reinterpret_cast<Window *>(data) : 0;
            XFree(data);
            char *name = nullptr;
            const bool named = found && XFetchName(display_, found, &name) && std::string_view(name) == title;
            XFree(name);
            return named;
        }, 10000) ? found : 0;
    }

    // The window manager's ping, and whether the window returned it in time.
    bool answersPing(Window window, int timeoutMs)
    {
        const long ping = atom("_NET_WM_PING"), serial = ++pings_;
        send(window, NoEventMask, window, "WM_PROTOCOLS", {ping, serial, long(window)});
        return awaitEvent(timeoutMs, [&](const XEvent &event) {
            return event.type == ClientMessage && event.xclient.data.l[0] == ping && event.xclient.data.l[1] == serial;
        });
    }
    // As the close button of the frame does: through the window manager, as
    // a pager asks, so with no time stamp of an input.
    void askToClose(Window window)
    {
        send(root(), SubstructureRedirectMask | SubstructureNotifyMask, window, "_NET_CLOSE_WINDOW", {CurrentTime, 2});
    }

    // What the window shows, pixel by pixel.
    std::string image(Window window)
    {
        XWindowAttributes size;
        XGetWindowAttributes(display_, window, &size);
        XImage *image = XGetImage(display_, window, 0, 0, size.width, size.height, AllPlanes, ZPixmap);
        std::string pixels(image->data, size_t(image->bytes_per_line) * image->height);
        XDestroyImage(image);
        return pixels;
    }

    // Puts a magenta window over the whole screen and takes it away again; a
    // window shows its own pixels again only once it has repainted them.
    void coverAndUncover()
    {
        XSetWindowAttributes attributes{};
        attributes.background_pixel = 0xff00ff;
        attributes.override_redirect = True;
        const Screen *screen = DefaultScreenOfDisplay(display_);
        const Window cover = XCreateWindow(display_, root(), 0, 0, screen->width, screen->height, 0, CopyFromParent,
                                           InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect, &attributes);
        XMapRaised(display_, cover);
        awaitEvent(5000, [&](const XEvent &event) { return event.type == MapNotify && event.xmap.window == cover; });
        XDestroyWindow(display_, cover);
        XSync(display_, False);
    }

    void press(KeySym key)
    {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), True, CurrentTime);
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, key), False, CurrentTime);
        XFlush(display_);
    }
    void click(Window window, int x, int y)
    {
        Window child;
        XTranslateCoordinates(display_, window, root(), x, y, &x, &y, &child);
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XFlush(display_);
    }

    // Whether an event that is wanted comes within the time (XPending sends what is queued first).
    bool awaitEvent(int timeoutMs, const std::function<bool(const XEvent &)> &wanted)
    {
        return test::waitUntil([&] {
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                if (wanted(event))
                    return true;
            }
            return false;
        }, timeoutMs);
    }

private:
    Window root() const { return DefaultRootWindow(display_); }
    Atom atom(const char *name) { return XInternAtom(display_, name, False); }
    // A client message about the window, sent to a window for the clients that select the mask.
    void send(Window to, long mask, Window window, const char *type, std::initializer_list<long> data)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom(type);
        event.xclient.format = 32;
        std::copy(data.begin(), data.end(), event.xclient.data.l);
        XSendEvent(display_, to, False, mask, &event);
        XFlush(display_);
    }

    const std::unique_ptr<Display, int (*)(Display *)> connection_{XOpenDisplay(nullptr), XCloseDisplay};
    Display *const display_ = connection_.get();
    long pings_ = 0;
};

// While a preview's transfer stalls, the window answers pings and is
// repainted when uncovered, but takes no key or click. A close from the
// window manager during a transfer stops it and ends the program, the
// earlier preview intact and nothing half-written.
TEST(Desktop, DuringAStalledTransferTheWindowRepaintsAndAnswersPingsButTakesNoInputAndACloseEndsItCleanly)
{
    Desktop desktop;
    ASSERT_TRUE(desktop.open()) << "no X server; run it with scripts/with-desktop";
    test::TestProfile profile;
    test::TestServer server;
    server.setFile("/msnskins.txt", "Cartoons");
    server.setFile("/Cartoons.txt", "Blue Moon*Red Sun");
    server.setFile("/Cartoons/Blue%20Moon.gif", test::gifPicture(4, 6));
    std::atomic<int> stalls = 0;
    std::atomic<bool> release = false, clientLeft = false;
    server.setHandler("/Cartoons/Red%20Sun.gif", [&](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider("image/gif", [&](size_t, httplib::DataSink &sink) {
            ++stalls;
            for (int i = 0; i < 600 && sink.is_writable() && !release && !server.stopping(); ++i) // at most 30 s
                std::this_thread::sleep_for(50ms);
            clientLeft = !sink.is_writable();
            const std::string picture = test::gifPicture(1, 2).toStdString();
            return release && sink.write(picture.data(), picture.size()) && (sink.done(), true);
        });
    });
    profile.store(u"base"_s, server.baseUrl());
    profile.settings().setLanguageChosen();
    const QString program = profile.programFolder() + u"/vellumo"_s, log = profile.programFolder() + u"/timing.log"_s;
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELLUMO_PROGRAM), program));
    qputenv("QT_QPA_PLATFORM", "xcb"); // for the program; this test's own platform is chosen already
    qputenv("VELLUMO_TIMING_LOG", log.toLocal8Bit());
    QProcess vellumo;
    vellumo.setProcessChannelMode(QProcess::ForwardedChannels);
    vellumo.start(program);
    const Window window = desktop.activeWindow("Vellumo v1.0 - Corvath Software");
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(test::waitUntil([&] { return test::contents(log).contains(" load-ended "); }));

    const QString preview = profile.programFolder() + u"/Cache/temp.dat"_s;
    for (const KeySym key : {XK_Home, XK_Down, XK_Right, XK_Down}) // to Blue Moon
        desktop.press(key);
    ASSERT_TRUE(test::waitUntil([&] { return test::contents(preview) == test::gifPicture(4, 6); }));
    desktop.press(XK_Down); // to Red Sun, whose transfer stalls
    ASSERT_TRUE(test::waitUntil([&] { return stalls > 0; }));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(desktop.answersPing(window, 3000)) << "ping " << i;
    std::string shown = desktop.image(window);
    ASSERT_TRUE(test::waitUntil([&] { return std::exchange(shown, desktop.image(window)) == shown; })) << "the window settles";
    desktop.coverAndUncover();
    EXPECT_TRUE(test::waitUntil([&] { return desktop.image(window) == shown; }, 3000)) << "the uncovered window is repainted";
    const auto asked = server.requests().size();
    desktop.press(XK_Up);
    desktop.click(window, 12, 10); // the first menu
    EXPECT_TRUE(desktop.answersPing(window, 3000)) << "so the program has had the key and the click";
    release = true;
    ASSERT_TRUE(test::waitUntil([&] { return test::contents(preview) == test::gifPicture(1, 2); }));
    const auto popUp = [](const XEvent &event) { return event.type == MapNotify && event.xmap.override_redirect; };
    EXPECT_FALSE(desktop.awaitEvent(1000, popUp)) << "the click was not taken: no menu popped up";
    EXPECT_EQ(server.requests().size(), asked) << "nor the key";

    release = false;
    desktop.press(XK_Up);
    ASSERT_TRUE(test::waitUntil([&] { return test::contents(preview) == test::gifPicture(4, 6); }));
    desktop.press(XK_Down);
    ASSERT_TRUE(test::waitUntil([&] { return stalls > 1; }));
    desktop.askToClose(window);
    EXPECT_TRUE(test::waitUntil([&] { return clientLeft.load(); }, 5000)) << "the close stopped the transfer";
    // Its end may have been seen by the wait above already.
    ASSERT_TRUE(vellumo.state() == QProcess::NotRunning || vellumo.waitForFinished(10000));
    EXPECT_EQ(vellumo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vellumo.exitCode(), 0);
    EXPECT_EQ(test::contents(preview), test::gifPicture(4, 6));
    EXPECT_EQ(QDir(profile.programFolder() + u"/Cache"_s).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"Cartoons.tmp"_s, u"msnskins.tmp"_s, u"temp.dat"_s}));
}

} // namespace
