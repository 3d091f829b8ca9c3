// Real X windows for tests: an X server of the session's own (Xvfb on a
// display it picks itself, so sessions in parallel never collide),
// optionally a window manager (openbox with a configuration of ours, no
// user configuration read), programs started on it as child processes
// (Qt's xcb platform), their windows found by pid and title, real input
// through the XTEST extension (xdotool), window properties (xprop) and
// screenshots saved as PNG beside the offscreen pictures:
// <build>/pictures/<test program>/<Suite.Test>/<name>.png.
//
// Waits block on a descriptor (the server's display pipe, a process
// descriptor) or sleep with back-off while they look at X state. The
// session ends only the processes it started, by their pids: programs
// first, then the window manager, then the server. Each of them also gets
// SIGTERM when the test program ends without ending it (a crash).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <QImage>
#include <QRect>

#include "TempMachineRoot.h"

struct xcb_connection_t;

namespace testsupport {

using XWindow = uint32_t;

// Generous bounds: the programs under test start slowly under the
// sanitizers.
constexpr int kXStartMs = 60000;
constexpr int kXWaitMs = 60000;

enum class WindowManager { None, Openbox };

class XSession {
public:
    explicit XSession(WindowManager manager = WindowManager::None, int width = 1024, int height = 768);
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // The server is up (and the window manager manages the screen, when
    // one was asked for); otherwise Problem() says what failed.
    bool Ready() const { return ready_; }
    const std::string &Problem() const { return problem_; }
    const std::string &Display() const { return display_; } // ":N"
    bool Managed() const { return manager_ != WindowManager::None; }

    // Programs. Start runs args[0] (a path, or a name looked up in PATH)
    // with DISPLAY set to the session's, QT_QPA_PLATFORM=xcb, a runtime
    // folder of the session's own, the test's other variables (the machine
    // root among them) and `environment` ("NAME=value") on top. Its output
    // and errors go to a log of its own. Returns its pid, or -1.
    pid_t Start(const std::vector<std::string> &args, const std::vector<std::string> &environment = {});
    // What the program wrote so far.
    std::string Log(pid_t pid) const;
    // Waits until the program's output holds `text`; false when it did not
    // within `timeoutMs` or the program ended without.
    bool WaitForOutput(pid_t pid, const std::string &text, int timeoutMs = kXWaitMs);
    // Whether it still runs (an ended program is reaped here).
    bool Running(pid_t pid);
    // Waits for it to end, at most `timeoutMs`; `timedOut` tells whether it
    // had to be killed. Its exit code, or -1 (signal, killed, unknown pid).
    int WaitForExit(pid_t pid, int timeoutMs, bool *timedOut = nullptr);
    // Ends it: SIGTERM, and SIGKILL when it has not ended within a while.
    void End(pid_t pid);

    // Windows. FindWindow waits until a viewable window of the process
    // (_NET_WM_PID) whose title is `title` (any title when empty) exists;
    // 0 when none came within `timeoutMs`. pid 0: any process.
    XWindow FindWindow(pid_t pid, const std::string &title = std::string(), int timeoutMs = kXWaitMs);
    // The viewable windows of the process (pid 0: of every process).
    std::vector<XWindow> Windows(pid_t pid);
    // Waits until the window is no longer viewable (or gone).
    bool WaitUnmapped(XWindow window, int timeoutMs = kXWaitMs);
    std::string Title(XWindow window);
    // The window's area on the screen (root coordinates); empty when the
    // window is gone.
    QRect Geometry(XWindow window);
    // What xprop prints for the window's property, e.g.
    // "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_UTILITY"; "" when
    // xprop fails.
    std::string Property(XWindow window, const std::string &name);
    // The same for a property of the root window ("_NET_ACTIVE_WINDOW").
    std::string RootProperty(const std::string &name) { return Property(root_, name); }
    // The window manager's frame around a client window (the client itself
    // without a window manager).
    XWindow Frame(XWindow window);
    // Asks the window to close, as a window manager's close button does
    // (WM_DELETE_WINDOW).
    bool RequestClose(XWindow window);
    // Gives the window the input focus (through the window manager when
    // there is one).
    bool Activate(XWindow window);

    // Input, through xdotool's XTEST events, as a user's devices give them.
    // Moves are in the window's coordinates (or the screen's).
    bool MoveTo(XWindow window, int x, int y);
    bool MoveToScreen(int x, int y);
    bool Click(int button = 1);
    bool Press(int button = 1);
    bool Release(int button = 1);
    bool ClickAt(XWindow window, int x, int y, int button = 1);
    // Keys by their X names ("Return", "Escape", "alt+F4", "Tab").
    bool Key(const std::string &keys);
    // Types the text (UTF-8) into the focused window.
    bool Type(const std::string &text);

    // Pictures: what the screen shows in the window's area (the whole
    // screen for GrabScreen); a null image when it cannot be read.
    QImage Grab(XWindow window);
    QImage GrabScreen();
    // Saves the window's picture (0: the screen's) as
    // PicturePath(<test program>/<Suite.Test>, name); the path, or "".
    std::string Screenshot(XWindow window, const std::string &name);
    // Waits until the window's area (or `region` of it) is painted: its
    // pixels are not all one colour.
    bool WaitPainted(XWindow window, const QRect &region = QRect(), int timeoutMs = kXWaitMs);
    // Waits until `region` of the window's picture is `expected` (a picture
    // taken of it before).
    bool WaitShows(XWindow window, const QRect &region, const QImage &expected, int timeoutMs = kXWaitMs);

private:
    bool StartServer(int width, int height);
    bool StartWindowManager();
    bool RunTool(const std::vector<std::string> &args, std::string *out = nullptr);
    uint32_t Atom(const char *name);
    uint32_t CardinalOf(XWindow window, uint32_t property);
    void Collect(XWindow window, pid_t pid, std::vector<XWindow> *found);
    void EndProcess(pid_t pid);

    TempFolder folder_;
    WindowManager manager_;
    bool ready_ = false;
    std::string problem_;
    std::string display_;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    xcb_connection_t *connection_ = nullptr;
    XWindow root_ = 0;
    std::map<pid_t, std::string> programs_; // running programs and their logs
    std::map<pid_t, std::string> ended_;    // reaped programs and their logs
    std::map<pid_t, int> exits_;            // reaped programs' exit codes
    std::map<std::string, uint32_t> atoms_;
    int started_ = 0;
};

// "Pixels are not all one colour" for the region of the image (the whole
// image when the region is empty).
bool AllOneColour(const QImage &image, const QRect &region = QRect());

// The folder of the running test's pictures: "<test program>/<Suite.Test>".
std::string TestPictureFolder();
// <build>/pictures/<folder>/<name>.png, as the offscreen pictures are named.
std::string RealPicturePath(const std::string &folder, const std::string &name);

} // namespace testsupport
