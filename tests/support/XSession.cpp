#include "XSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "TestClock.h"

namespace testsupport {
namespace {

// Back-off for waits on X state: short at first, at most a quarter second.
class BackOff {
public:
    void Sleep()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_));
        delayMs_ = std::min(delayMs_ * 3 / 2, 250);
    }

private:
    int delayMs_ = 20;
};

// The path of a program named without a folder, looked up in PATH.
std::string ProgramPath(const std::string &name)
{
    if (name.find('/') != std::string::npos)
        return name;
    const char *path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return name;
}

int OpenLog(const std::string &path) { return open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600); }

std::string ReadWhole(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A window manager configuration of ours: click to focus (a press on the
// client is passed on to it), new windows focused, the usual title bar
// buttons.
const char kOpenboxConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy><center>yes</center></placement>
  <theme><name>Clearlooks</name><titleLayout>NLIMC</titleLayout></theme>
  <desktops><number>1</number></desktops>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
    <context name="Close">
      <mousebind button="Left" action="Click"><action name="Close"/></mousebind>
    </context>
    <context name="Iconify">
      <mousebind button="Left" action="Click"><action name="Iconify"/></mousebind>
    </context>
    <context name="Maximize">
      <mousebind button="Left" action="Click"><action name="ToggleMaximize"/></mousebind>
    </context>
  </mouse>
</openbox_config>
)";

// Caches of the font and message-bus libraries that Qt's X platform loads,
// kept until the process ends.
const char kLeakSuppressions[] = "leak:libfontconfig.so\nleak:libdbus-1.so\n";

} // namespace

XSession::XSession(WindowManager manager, int width, int height) : folder_("arv-xsession"), manager_(manager)
{
    if (!folder_.Made()) {
        problem_ = "no session folder";
        return;
    }
    mkdir(folder_.File("logs").c_str(), 0700);
    mkdir(folder_.File("runtime").c_str(), 0700);
    mkdir(folder_.File("home").c_str(), 0700);
    std::ofstream(folder_.File("leak-suppressions")) << kLeakSuppressions;
    if (!StartServer(width, height))
        return;
    if (manager_ == WindowManager::Openbox && !StartWindowManager())
        return;
    ready_ = true;
}

XSession::~XSession()
{
    while (!programs_.empty())
        End(programs_.begin()->first);
    if (connection_)
        xcb_disconnect(connection_);
    EndProcess(windowManager_);
    EndProcess(server_);
}

bool XSession::StartServer(int width, int height)
{
    // The server picks a free display itself and writes its number to the
    // pipe once it accepts connections.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        problem_ = "no pipe for the display number";
        return false;
    }
    const int log = OpenLog(folder_.File("logs/Xvfb.log"));
    SpawnOptions options;
    options.output = log;
    options.errors = log;
    options.endWithTest = true;
    options.keep = {ready[1]};
    server_ = Spawn({ProgramPath("Xvfb"), "-displayfd", std::to_string(ready[1]), "-screen", "0",
                     std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp", "-noreset"},
                    options);
    close(ready[1]);
    if (log >= 0)
        close(log);
    std::string number;
    const int64_t deadline = MonotonicMs() + kXStartMs;
    while (server_ > 0 && number.find('\n') == std::string::npos) {
        pollfd entry{ready[0], POLLIN, 0};
        const int got = poll(&entry, 1, RemainingMs(deadline));
        if (got < 0 && errno == EINTR)
            continue;
        char piece[32];
        const ssize_t n = got > 0 ? read(ready[0], piece, sizeof piece) : 0;
        if (n <= 0)
            break; // the deadline, or the server ended
        number.append(piece, static_cast<size_t>(n));
    }
    close(ready[0]);
    if (number.find('\n') == std::string::npos) {
        problem_ = "Xvfb did not start: " + ReadWhole(folder_.File("logs/Xvfb.log"));
        return false;
    }
    display_ = ":" + number.substr(0, number.find('\n'));
    int screen = 0;
    connection_ = xcb_connect(display_.c_str(), &screen);
    if (xcb_connection_has_error(connection_)) {
        problem_ = "cannot connect to " + display_;
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen && screens.rem; ++i)
        xcb_screen_next(&screens);
    root_ = screens.data->root;
    return true;
}

bool XSession::StartWindowManager()
{
    const std::string config = folder_.File("home/openbox-rc.xml");
    std::ofstream(config) << kOpenboxConfig;
    const int log = OpenLog(folder_.File("logs/openbox.log"));
    SpawnOptions options;
    options.output = log;
    options.errors = log;
    options.endWithTest = true;
    options.environment = {"DISPLAY=" + display_, "HOME=" + folder_.File("home"),
                           "XDG_CONFIG_HOME=" + folder_.File("home/.config"),
                           "XDG_RUNTIME_DIR=" + folder_.File("runtime")};
    windowManager_ = Spawn({ProgramPath("openbox"), "--config-file", config, "--sm-disable"}, options);
    if (log >= 0)
        close(log);
    // Managing the screen, it names its check window on the root window.
    const uint32_t check = Atom("_NET_SUPPORTING_WM_CHECK");
    const int64_t deadline = MonotonicMs() + kXStartMs;
    for (BackOff backOff; windowManager_ > 0; backOff.Sleep()) {
        if (CardinalOf(root_, check) != 0)
            return true;
        int status = 0;
        if (waitpid(windowManager_, &status, WNOHANG) == windowManager_) {
            windowManager_ = -1;
            break;
        }
        if (RemainingMs(deadline) == 0)
            break;
    }
    problem_ = "openbox did not start: " + ReadWhole(folder_.File("logs/openbox.log"));
    return false;
}

void XSession::EndProcess(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    testsupport::WaitForExit(pid, 10000);
}

pid_t XSession::Start(const std::vector<std::string> &args, const std::vector<std::string> &environment)
{
    if (!ready_ || args.empty())
        return -1;
    std::string name = args[0].substr(args[0].find_last_of('/') + 1);
    const std::string log = folder_.File("logs/" + std::to_string(++started_) + "-" + name + ".log");
    const int fd = OpenLog(log);
    SpawnOptions options;
    options.output = fd;
    options.errors = fd;
    options.endWithTest = true;
    options.environment = {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + folder_.File("runtime")};
    // In sanitizer builds: what the X platform's system libraries keep for
    // the life of the process is no leak of the program's.
    const char *leakOptions = std::getenv("LSAN_OPTIONS");
    options.environment.push_back("LSAN_OPTIONS=" + std::string(leakOptions ? leakOptions : "") +
                                  (leakOptions && *leakOptions ? ":" : "") + "suppressions=" +
                                  folder_.File("leak-suppressions") + ":print_suppressions=0");
    options.environment.insert(options.environment.end(), environment.begin(), environment.end());
    std::vector<std::string> command = args;
    command[0] = ProgramPath(command[0]);
    const pid_t pid = Spawn(command, options);
    if (fd >= 0)
        close(fd);
    if (pid > 0)
        programs_[pid] = log;
    return pid;
}

std::string XSession::Log(pid_t pid) const
{
    auto running = programs_.find(pid);
    if (running != programs_.end())
        return ReadWhole(running->second);
    auto ended = ended_.find(pid);
    return ended != ended_.end() ? ReadWhole(ended->second) : std::string();
}

bool XSession::WaitForOutput(pid_t pid, const std::string &text, int timeoutMs)
{
    const int64_t deadline = MonotonicMs() + timeoutMs;
    for (BackOff backOff;; backOff.Sleep()) {
        // Looked at before and after the check for its end, so that what it
        // wrote last is seen.
        const bool running = Running(pid);
        if (Log(pid).find(text) != std::string::npos)
            return true;
        if (!running || RemainingMs(deadline) == 0)
            return false;
    }
}

bool XSession::Running(pid_t pid)
{
    if (!programs_.count(pid))
        return false;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != pid)
        return true;
    exits_[pid] = ExitCodeOf(status);
    ended_[pid] = programs_[pid];
    programs_.erase(pid);
    return false;
}

int XSession::WaitForExit(pid_t pid, int timeoutMs, bool *timedOut)
{
    if (timedOut)
        *timedOut = false;
    if (programs_.count(pid)) {
        bool killed = false;
        const int status = testsupport::WaitForExit(pid, timeoutMs, &killed);
        if (timedOut)
            *timedOut = killed;
        exits_[pid] = killed ? -1 : ExitCodeOf(status);
        ended_[pid] = programs_[pid];
        programs_.erase(pid);
    }
    auto code = exits_.find(pid);
    return code != exits_.end() ? code->second : -1;
}

void XSession::End(pid_t pid)
{
    if (!programs_.count(pid))
        return;
    kill(pid, SIGTERM);
    WaitForExit(pid, 10000);
}

uint32_t XSession::Atom(const char *name)
{
    auto known = atoms_.find(name);
    if (known != atoms_.end())
        return known->second;
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const uint32_t atom = reply ? reply->atom : 0;
    free(reply);
    if (atom)
        atoms_[name] = atom;
    return atom;
}

// The first 32-bit value of a window's property (a CARDINAL, WINDOW or
// ATOM); 0 when it has none.
uint32_t XSession::CardinalOf(XWindow window, uint32_t property)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1), nullptr);
    uint32_t value = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        std::memcpy(&value, xcb_get_property_value(reply), 4);
    free(reply);
    return value;
}

void XSession::Collect(XWindow window, pid_t pid, std::vector<XWindow> *found)
{
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr);
    if (!tree)
        return;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    const uint32_t wmPid = Atom("_NET_WM_PID");
    for (int i = 0; i < count; ++i) {
        xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, children[i]), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        if (!viewable)
            continue;
        const uint32_t owner = CardinalOf(children[i], wmPid);
        if (owner != 0 && (pid == 0 || owner == static_cast<uint32_t>(pid)))
            found->push_back(children[i]);
        Collect(children[i], pid, found);
    }
    free(tree);
}

std::vector<XWindow> XSession::Windows(pid_t pid)
{
    std::vector<XWindow> found;
    if (connection_)
        Collect(root_, pid, &found);
    return found;
}

XWindow XSession::FindWindow(pid_t pid, const std::string &title, int timeoutMs)
{
    if (!connection_)
        return 0;
    const int64_t deadline = MonotonicMs() + timeoutMs;
    for (BackOff backOff;; backOff.Sleep()) {
        for (XWindow window : Windows(pid))
            if (title.empty() || Title(window) == title)
                return window;
        if (RemainingMs(deadline) == 0 || (pid > 0 && !Running(pid)))
            return 0;
    }
}

bool XSession::WaitUnmapped(XWindow window, int timeoutMs)
{
    const int64_t deadline = MonotonicMs() + timeoutMs;
    for (BackOff backOff;; backOff.Sleep()) {
        xcb_get_window_attributes_reply_t *attributes =
            xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        if (!viewable)
            return true;
        if (RemainingMs(deadline) == 0)
            return false;
    }
}

std::string XSession::Title(XWindow window)
{
    for (uint32_t property : {Atom("_NET_WM_NAME"), static_cast<uint32_t>(XCB_ATOM_WM_NAME)}) {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
            nullptr);
        std::string title;
        if (reply && reply->format == 8)
            title.assign(static_cast<const char *>(xcb_get_property_value(reply)),
                         static_cast<size_t>(xcb_get_property_value_length(reply)));
        const bool has = reply && reply->type != XCB_NONE;
        free(reply);
        if (has)
            return title;
    }
    return std::string();
}

QRect XSession::Geometry(XWindow window)
{
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
    xcb_translate_coordinates_reply_t *place = xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr);
    QRect area;
    if (geometry && place)
        area = QRect(place->dst_x, place->dst_y, geometry->width, geometry->height);
    free(geometry);
    free(place);
    return area;
}

XWindow XSession::Frame(XWindow window)
{
    for (;;) {
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr);
        if (!tree)
            return window;
        const XWindow parent = tree->parent;
        free(tree);
        if (parent == root_ || parent == XCB_NONE)
            return window;
        window = parent;
    }
}

std::string XSession::Property(XWindow window, const std::string &name)
{
    std::string out;
    if (!RunTool({"xprop", "-id", std::to_string(window), name}, &out))
        return std::string();
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

bool XSession::RequestClose(XWindow window)
{
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom("WM_PROTOCOLS");
    message.data.data32[0] = Atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_void_cookie_t sent = xcb_send_event_checked(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                    reinterpret_cast<const char *>(&message));
    xcb_generic_error_t *error = xcb_request_check(connection_, sent);
    free(error);
    return error == nullptr;
}

bool XSession::RunTool(const std::vector<std::string> &args, std::string *out)
{
    RunOptions options;
    options.deadlineMs = kXWaitMs;
    options.endWithTest = true;
    options.environment = {"DISPLAY=" + display_};
    std::vector<std::string> command = args;
    command[0] = ProgramPath(command[0]);
    const RunResult result = RunProgram(command, options);
    if (out)
        *out = result.out;
    return result.code == 0;
}

bool XSession::Activate(XWindow window)
{
    return RunTool({"xdotool", Managed() ? "windowactivate" : "windowfocus", "--sync", std::to_string(window)});
}

bool XSession::MoveToScreen(int x, int y)
{
    return RunTool({"xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y)});
}

bool XSession::MoveTo(XWindow window, int x, int y)
{
    const QRect area = Geometry(window);
    return !area.isEmpty() && MoveToScreen(area.x() + x, area.y() + y);
}

bool XSession::Click(int button) { return RunTool({"xdotool", "click", std::to_string(button)}); }
bool XSession::Press(int button) { return RunTool({"xdotool", "mousedown", std::to_string(button)}); }
bool XSession::Release(int button) { return RunTool({"xdotool", "mouseup", std::to_string(button)}); }

bool XSession::ClickAt(XWindow window, int x, int y, int button) { return MoveTo(window, x, y) && Click(button); }

bool XSession::Key(const std::string &keys) { return RunTool({"xdotool", "key", keys}); }

bool XSession::Type(const std::string &text) { return RunTool({"xdotool", "type", "--delay", "30", "--", text}); }

QImage XSession::GrabScreen()
{
    if (!connection_)
        return QImage();
    const QRect area = Geometry(root_);
    xcb_get_image_reply_t *reply = xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, 0, 0, static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), ~0u),
        nullptr);
    QImage image;
    // The screen's 24-bit pixels come as 32-bit words, blue in the low byte:
    // what QImage calls RGB32.
    if (reply && reply->depth == 24 &&
        xcb_get_image_data_length(reply) == area.width() * area.height() * 4)
        image = QImage(xcb_get_image_data(reply), area.width(), area.height(), area.width() * 4, QImage::Format_RGB32)
                    .copy();
    free(reply);
    return image;
}

QImage XSession::Grab(XWindow window)
{
    const QImage screen = GrabScreen();
    const QRect area = Geometry(window).intersected(screen.rect());
    return screen.isNull() || area.isEmpty() ? QImage() : screen.copy(area);
}

std::string XSession::Screenshot(XWindow window, const std::string &name)
{
    const QImage image = window ? Grab(window) : GrabScreen();
    const std::string path = RealPicturePath(TestPictureFolder(), name);
    const QString file = QString::fromStdString(path);
    if (image.isNull() || !QDir().mkpath(QFileInfo(file).absolutePath()) || !image.save(file, "PNG"))
        return std::string();
    return path;
}

bool XSession::WaitPainted(XWindow window, const QRect &region, int timeoutMs)
{
    const int64_t deadline = MonotonicMs() + timeoutMs;
    for (BackOff backOff;; backOff.Sleep()) {
        const QImage image = Grab(window);
        if (!image.isNull() && !AllOneColour(image, region))
            return true;
        if (RemainingMs(deadline) == 0)
            return false;
    }
}

bool XSession::WaitShows(XWindow window, const QRect &region, const QImage &expected, int timeoutMs)
{
    const int64_t deadline = MonotonicMs() + timeoutMs;
    for (BackOff backOff;; backOff.Sleep()) {
        if (Grab(window).copy(region) == expected)
            return true;
        if (RemainingMs(deadline) == 0)
            return false;
    }
}

bool AllOneColour(const QImage &image, const QRect &region)
{
    const QRect area = region.isEmpty() ? image.rect() : region.intersected(image.rect());
    if (area.isEmpty())
        return true;
    const QRgb first = image.pixel(area.topLeft());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

std::string TestPictureFolder()
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string program = n > 0 ? std::string(exe, static_cast<size_t>(n)) : std::string("test");
    program = program.substr(program.find_last_of('/') + 1);
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : std::string("outside-tests");
    std::replace(name.begin(), name.end(), '/', '_');
    return program + "/" + name;
}

std::string RealPicturePath(const std::string &folder, const std::string &name)
{
    return std::string(ARV_PICTURES_DIR) + "/" + folder + "/" + name + ".png";
}

} // namespace testsupport
