// The control channel: a Unix stream socket that takes one command a line
// and answers each with one line. Any number of clients may connect; each is
// served in turn by the event loop.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct pollfd;

namespace device {

class ControlServer {
public:
    ControlServer() = default;
    ~ControlServer();
    ControlServer(const ControlServer &) = delete;
    ControlServer &operator=(const ControlServer &) = delete;

    bool Listen(const std::string &path, std::string *error);
    bool Listening() const { return listen_ >= 0; }

    // Appends the descriptors to poll; Service takes the same entries back.
    void AddPollFds(std::vector<pollfd> *fds) const;
    // Accepts clients and runs `handle` on every complete line; its result
    // is sent back with a newline.
    void Service(const pollfd *fds, size_t count, const std::function<std::string(const std::string &)> &handle);

private:
    struct Client {
        int fd;
        std::string input;
    };

    void Accept();
    bool ReadClient(Client *client, const std::function<std::string(const std::string &)> &handle);

    int listen_ = -1;
    std::string path_;
    std::vector<Client> clients_;
};

} // namespace device
