// A real HTTP server on 127.0.0.1 for one request: answers with a fixed body
// and closes, so tests see exactly the bytes a site sent.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace zr5::script::testing {

class OneShotServer final {
public:
    explicit OneShotServer(std::string body)
        : m_body(std::move(body))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 1);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serveOne(); });
    }
    ~OneShotServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    OneShotServer(const OneShotServer&) = delete;
    OneShotServer& operator=(const OneShotServer&) = delete;

    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/feed.xml"; }

private:
    void serveOne()
    {
        const int connection = ::accept(m_listener, nullptr, nullptr);
        if (connection < 0) {
            return;
        }
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            request.append(buffer, static_cast<std::size_t>(got));
        }
        const std::string response = "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(m_body.size())
            + "\r\nConnection: close\r\n\r\n" + m_body;
        for (std::size_t sent = 0; sent < response.size();) {
            const ssize_t done
                = ::send(connection, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
            if (done <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(done);
        }
        ::close(connection);
    }

    std::string m_body;
    int m_listener = -1;
    unsigned short m_port = 0;
    std::thread m_thread;
};

} // namespace zr5::script::testing
