#include "ControlServer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace device {
namespace {

constexpr size_t kMaxLine = 64 * 1024;
constexpr size_t kMaxClients = 32;

} // namespace

ControlServer::~ControlServer()
{
    for (Client &client : clients_)
        close(client.fd);
    if (listen_ >= 0) {
        close(listen_);
        unlink(path_.c_str());
    }
}

bool ControlServer::Listen(const std::string &path, std::string *error)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        *error = "control path too long: " + path;
        return false;
    }
    memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listen_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listen_ < 0) {
        *error = std::string("socket: ") + strerror(errno);
        return false;
    }
    unlink(path.c_str());
    if (bind(listen_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(listen_, 8) != 0) {
        *error = "bind " + path + ": " + strerror(errno);
        close(listen_);
        listen_ = -1;
        return false;
    }
    path_ = path;
    return true;
}

void ControlServer::AddPollFds(std::vector<pollfd> *fds) const
{
    if (listen_ < 0)
        return;
    fds->push_back({listen_, POLLIN, 0});
    for (const Client &client : clients_)
        fds->push_back({client.fd, POLLIN, 0});
}

void ControlServer::Accept()
{
    for (;;) {
        int fd = accept4(listen_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (clients_.size() >= kMaxClients) {
            close(fd);
            continue;
        }
        clients_.push_back({fd, std::string()});
    }
}

bool ControlServer::ReadClient(Client *client, const std::function<std::string(const std::string &)> &handle)
{
    char buffer[4096];
    for (;;) {
        ssize_t got = read(client->fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (got <= 0)
            return false;
        client->input.append(buffer, static_cast<size_t>(got));
        size_t newline;
        while ((newline = client->input.find('\n')) != std::string::npos) {
            std::string line = client->input.substr(0, newline);
            client->input.erase(0, newline + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::string answer = handle(line) + "\n";
            // Answers are short; a client that does not read them is dropped.
            if (send(client->fd, answer.data(), answer.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(answer.size()))
                return false;
        }
        if (client->input.size() > kMaxLine)
            return false;
    }
}

void ControlServer::Service(const pollfd *fds, size_t count,
                            const std::function<std::string(const std::string &)> &handle)
{
    if (listen_ < 0 || count == 0)
        return;
    // Clients first (the entries after the listener, in order), then new ones.
    std::vector<Client> kept;
    kept.reserve(clients_.size());
    for (size_t i = 0; i < clients_.size(); ++i) {
        bool alive = true;
        if (i + 1 < count && (fds[i + 1].revents & (POLLIN | POLLHUP | POLLERR)))
            alive = ReadClient(&clients_[i], handle);
        if (alive)
            kept.push_back(std::move(clients_[i]));
        else
            close(clients_[i].fd);
    }
    clients_ = std::move(kept);
    if (fds[0].revents & POLLIN)
        Accept();
}

} // namespace device
