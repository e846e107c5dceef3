#include "support/test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace kestrova::test {

namespace {

// Generating the key takes a moment; a slow machine gets plenty.
constexpr int STARTUP_LIMIT_MS = 60000;

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

void stopProcess(int pid) {
    ::kill(pid, SIGTERM);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// The first line the server prints, "PORT <n>".
uint16_t readPort(int fd) {
    std::string line;
    while (line.find('\n') == std::string::npos) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, STARTUP_LIMIT_MS) <= 0) {
            throw std::runtime_error("test server: no port announced");
        }
        char buffer[64];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0) {
            throw std::runtime_error("test server: exited before announcing its port");
        }
        line.append(buffer, static_cast<size_t>(count));
    }
    unsigned port = 0;
    if (std::sscanf(line.c_str(), "PORT %u", &port) != 1 || port == 0 || port > 65535) {
        throw std::runtime_error("test server: unexpected announcement: " + line);
    }
    return static_cast<uint16_t>(port);
}

}  // namespace

TestServer::TestServer(Scheme scheme) : secure_(scheme == Scheme::Https) {
    int toServer[2];
    int fromServer[2];
    if (::pipe2(toServer, O_CLOEXEC) != 0) {
        throw std::runtime_error("test server: no pipe");
    }
    if (::pipe2(fromServer, O_CLOEXEC) != 0) {
        ::close(toServer[0]);
        ::close(toServer[1]);
        throw std::runtime_error("test server: no pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toServer[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromServer[1], STDOUT_FILENO);
    std::vector<std::string> words = {"python3", KESTROVA_TEST_SERVER_SCRIPT};
    if (secure_) {
        words.emplace_back("--https");
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, "python3", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toServer[0]);
    ::close(fromServer[1]);
    if (spawned != 0) {
        ::close(toServer[1]);
        ::close(fromServer[0]);
        throw std::runtime_error("test server: python3 could not be started");
    }
    pid_ = pid;
    stdinPipe_ = toServer[1];
    try {
        port_ = readPort(fromServer[0]);
    } catch (...) {
        ::close(fromServer[0]);
        stopProcess(pid_);
        closeFd(stdinPipe_);
        throw;
    }
    ::close(fromServer[0]);
}

TestServer::~TestServer() {
    stopProcess(pid_);
    closeFd(stdinPipe_);
}

std::string TestServer::url(std::string_view path) const {
    return std::string(secure_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

uint16_t closedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw std::runtime_error("closedLoopbackPort: no socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool found = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    if (!found) {
        throw std::runtime_error("closedLoopbackPort: no free port");
    }
    return ntohs(address.sin_port);
}

}  // namespace kestrova::test
