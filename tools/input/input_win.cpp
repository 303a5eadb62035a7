// The client side of the rig's input server (tools/input/xinputd.c): one line out, one line back,
// over a loopback connection made on first use and kept for the life of the process.
#include "tools/input/input_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace rig::input {
namespace {

constexpr DWORD kReplyTimeoutMs = 5000;

SRWLOCK g_lock = SRWLOCK_INIT;
SOCKET g_socket = INVALID_SOCKET;
bool g_winsock = false;

enum class Sent { Answered, Broken, Failed };

// The port desktop-run's input server listens on; 0 when the variable is missing or malformed.
u_short ServerPort() {
    char text[16] = {};
    DWORD len =
        GetEnvironmentVariableA("LUMETTA_INPUT_PORT", text, static_cast<DWORD>(std::size(text)));
    if (len == 0 || len >= std::size(text)) return 0;
    char* end = nullptr;
    unsigned long port = std::strtoul(text, &end, 10);
    return (*end == '\0' && port > 0 && port <= 65535) ? static_cast<u_short>(port) : 0;
}

void Disconnect() {
    if (g_socket != INVALID_SOCKET) closesocket(g_socket);
    g_socket = INVALID_SOCKET;
}

bool Connect() {
    if (!g_winsock) {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
        g_winsock = true;
    }
    u_short port = ServerPort();
    if (port == 0) {
        std::fprintf(stderr,
                     "rig input: LUMETTA_INPUT_PORT holds no port (run under tools/desktop-run)\n");
        return false;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return false;
    // A time-out on both directions bounds every exchange; without Nagle each line leaves at once.
    DWORD timeout = kReplyTimeoutMs;
    BOOL one = TRUE;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        std::fprintf(stderr, "rig input: cannot connect to 127.0.0.1:%u (%d)\n", port,
                     WSAGetLastError());
        closesocket(s);
        return false;
    }
    g_socket = s;
    return true;
}

// A connection that broke is made again and the line sent again (the server released the buttons
// the old one held, so a press sent again is not held twice). A time-out or a garbled answer is not
// retried: the server may still act on the line, and its late answer would be taken for the next
// one's.
Sent Fail(const char* line, const char* why) {
    std::fprintf(stderr, "rig input: %s after %.*s\n", why, static_cast<int>(std::strlen(line)) - 1,
                 line);
    return Sent::Failed;
}

Sent SocketError(const char* line) {
    return WSAGetLastError() == WSAETIMEDOUT ? Fail(line, "no answer") : Sent::Broken;
}

Sent SendLine(const char* line, bool* ok) {
    const int len = static_cast<int>(std::strlen(line));
    for (int sent = 0; sent < len;) {
        int n = send(g_socket, line + sent, len - sent, 0);
        if (n <= 0) return SocketError(line);
        sent += n;
    }
    char answer[128];
    int used = 0;
    while (used == 0 || answer[used - 1] != '\n') {
        if (used == static_cast<int>(std::size(answer)) - 1) {
            return Fail(line, "an overlong answer");
        }
        int n = recv(g_socket, answer + used, static_cast<int>(std::size(answer)) - 1 - used, 0);
        if (n == 0) return Sent::Broken; // the server closed the connection
        if (n < 0) return SocketError(line);
        used += n;
    }
    answer[used] = '\0';
    *ok = std::strcmp(answer, "ok\n") == 0;
    if (!*ok) std::fprintf(stderr, "rig input: %.*s -> %s", len - 1, line, answer);
    return Sent::Answered;
}

bool Exchange(const char* line) {
    AcquireSRWLockExclusive(&g_lock);
    bool ok = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (g_socket == INVALID_SOCKET && !Connect()) break;
        Sent result = SendLine(line, &ok);
        if (result == Sent::Answered) break;
        Disconnect();
        if (result == Sent::Failed) break;
    }
    ReleaseSRWLockExclusive(&g_lock);
    return ok;
}

} // namespace

bool MovePointer(int x, int y) {
    char line[64];
    std::snprintf(line, std::size(line), "move %d %d\n", x, y);
    return Exchange(line);
}

bool Button(int button, bool down) {
    char line[64];
    std::snprintf(line, std::size(line), "button %d %s\n", button, down ? "down" : "up");
    return Exchange(line);
}

bool Key(const char* keysym, bool down) {
    char line[64];
    std::snprintf(line, std::size(line), "key %s %s\n", keysym, down ? "down" : "up");
    return Exchange(line);
}

} // namespace rig::input
