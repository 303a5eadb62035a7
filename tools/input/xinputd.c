// xinputd: the rig's pointer, given through the X server itself (XTest).
//
//   xinputd PORT_FILE
//
// Opens the display in $DISPLAY, listens on 127.0.0.1 on a port the system picks and writes its
// number to PORT_FILE (whole, by rename). Serves lines from up to 16 clients, one line at a time:
//
//   move X Y            -> the pointer moves to root (X, Y); "ok" once the server reports it there
//   button N down|up    -> button N (1..5) is pressed or released where the pointer is; "ok"
//   key KEYSYM down|up  -> the key (an X keysym name, such as Control_L) is pressed or released
//
// and answers "err <why>" otherwise. Buttons and keys a client pressed are released when it goes,
// so a test program that dies in the middle of a drag leaves nothing held for the next one.
//
// Ends by itself on SIGTERM or SIGINT, when the display goes away, and when the process that
// started it (tools/desktop-run) is gone. Built and started by tools/desktop-run.
#define _GNU_SOURCE // accept4, MSG_NOSIGNAL

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

enum {
    kMaxClients = 16,
    kLineMax = 128,
    kMoveTimeoutMs = 2000,
    kIdlePollMs = 500, // how often the parent is looked at when nothing happens
    kButtonMax = 5,
};

struct client {
    int fd;
    size_t used;
    char line[kLineMax];
    unsigned held;          // bit b: this client pressed button b and has not released it
    unsigned char keys[32]; // bit k: this client pressed key code k and has not released it
};

static volatile sig_atomic_t g_stop;
static Display* g_dpy;
static int g_x_error; // set by the error handler: the last request failed

static void on_signal(int sig) {
    (void)sig;
    g_stop = 1;
}

static int on_x_error(Display* dpy, XErrorEvent* ev) {
    (void)dpy;
    g_x_error = ev->error_code;
    return 0;
}

// The display is gone: nothing left to serve, and Xlib must not return from here.
static int on_x_io_error(Display* dpy) {
    (void)dpy;
    fprintf(stderr, "xinputd: the display went away\n");
    _exit(0);
}

static long long now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

static void sleep_ms(long ms) {
    struct timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, NULL);
}

static int pointer_at(int x, int y) {
    Window root, child;
    int rx, ry, wx, wy;
    unsigned mask;
    return XQueryPointer(g_dpy, DefaultRootWindow(g_dpy), &root, &child, &rx, &ry, &wx, &wy,
                         &mask) &&
           rx == x && ry == y;
}

// XSync returns once the server has handled the fake event; the pointer itself moves when the
// server has processed its input queue, so the position is asked for until it is there.
static const char* move(int x, int y) {
    Screen* screen = DefaultScreenOfDisplay(g_dpy);
    if (x < 0 || y < 0 || x >= WidthOfScreen(screen) || y >= HeightOfScreen(screen)) {
        return "err outside the screen";
    }
    g_x_error = 0;
    XTestFakeMotionEvent(g_dpy, -1, x, y, CurrentTime);
    XSync(g_dpy, False);
    if (g_x_error) return "err the server refused the move";
    const long long deadline = now_ms() + kMoveTimeoutMs;
    for (;;) {
        if (pointer_at(x, y)) return "ok";
        if (now_ms() >= deadline) return "err the pointer did not arrive";
        sleep_ms(1);
    }
}

static const char* button(struct client* c, int n, int down) {
    if (n < 1 || n > kButtonMax) return "err no such button";
    g_x_error = 0;
    XTestFakeButtonEvent(g_dpy, (unsigned)n, down ? True : False, CurrentTime);
    XSync(g_dpy, False);
    if (g_x_error) return "err the server refused the button";
    if (down) {
        c->held |= 1u << n;
    } else {
        c->held &= ~(1u << n);
    }
    return "ok";
}

// A modifier held in the X server itself: Wine takes the modifiers' state from the server's
// whenever the pointer enters one of its windows, so one given only through Wine is soon dropped.
static const char* key(struct client* c, const char* name, int down) {
    const KeySym sym = XStringToKeysym(name);
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(g_dpy, sym);
    if (!code) return "err no such key";
    g_x_error = 0;
    XTestFakeKeyEvent(g_dpy, code, down ? True : False, CurrentTime);
    XSync(g_dpy, False);
    if (g_x_error) return "err the server refused the key";
    if (down) {
        c->keys[code / 8] |= (unsigned char)(1u << code % 8);
    } else {
        c->keys[code / 8] &= (unsigned char)~(1u << code % 8);
    }
    return "ok";
}

static const char* run_line(struct client* c, const char* line) {
    int a, b, end = 0;
    char state[8], name[32];
    if (sscanf(line, "move %d %d%n", &a, &b, &end) == 2 && line[end] == '\0') return move(a, b);
    if (sscanf(line, "button %d %7s%n", &a, state, &end) == 2 && line[end] == '\0') {
        if (strcmp(state, "down") == 0) return button(c, a, 1);
        if (strcmp(state, "up") == 0) return button(c, a, 0);
    }
    if (sscanf(line, "key %31s %7s%n", name, state, &end) == 2 && line[end] == '\0') {
        if (strcmp(state, "down") == 0) return key(c, name, 1);
        if (strcmp(state, "up") == 0) return key(c, name, 0);
    }
    return "err unknown command";
}

static void drop_client(struct client* c) {
    for (int n = 1; n <= kButtonMax; ++n) {
        if (c->held & (1u << n)) XTestFakeButtonEvent(g_dpy, (unsigned)n, False, CurrentTime);
    }
    for (int k = 0; k < 256; ++k) {
        if (c->keys[k / 8] & (1u << k % 8))
            XTestFakeKeyEvent(g_dpy, (unsigned)k, False, CurrentTime);
    }
    XSync(g_dpy, False);
    close(c->fd);
    c->fd = -1;
}

// The reply fits the socket's buffer unless the client stopped reading; such a client is dropped
// rather than waited for.
static int reply(struct client* c, const char* text) {
    char out[kLineMax];
    int len = snprintf(out, sizeof out, "%s\n", text);
    return send(c->fd, out, (size_t)len, MSG_NOSIGNAL | MSG_DONTWAIT) == len;
}

// Reads what arrived and answers every whole line. False when the client is to be dropped.
static int serve(struct client* c) {
    ssize_t got = recv(c->fd, c->line + c->used, sizeof c->line - 1 - c->used, MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return 1;
    if (got <= 0) return 0;
    c->used += (size_t)got;
    c->line[c->used] = '\0';
    char* start = c->line;
    char* nl;
    while ((nl = strchr(start, '\n')) != NULL) {
        *nl = '\0';
        if (nl > start && nl[-1] == '\r') nl[-1] = '\0';
        if (!reply(c, run_line(c, start))) return 0;
        start = nl + 1;
    }
    c->used = strlen(start);
    memmove(c->line, start, c->used);
    if (c->used == sizeof c->line - 1) {
        reply(c, "err line too long");
        return 0;
    }
    return 1;
}

static int write_port_file(const char* path, int port) {
    char tmp[4096];
    if (snprintf(tmp, sizeof tmp, "%s.%ld.tmp", path, (long)getpid()) >= (int)sizeof tmp) return 0;
    FILE* f = fopen(tmp, "w");
    if (!f) return 0;
    int ok = fprintf(f, "%d\n", port) > 0;
    ok = (fclose(f) == 0) && ok;
    if (ok) ok = rename(tmp, path) == 0;
    if (!ok) unlink(tmp);
    return ok;
}

static int listen_loopback(int* port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(fd, (struct sockaddr*)&addr, sizeof addr) != 0 || listen(fd, kMaxClients) != 0 ||
        getsockname(fd, (struct sockaddr*)&addr, &len) != 0) {
        close(fd);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return fd;
}

static void accept_client(int listener, struct client* clients) {
    int fd = accept4(listener, NULL, NULL, SOCK_CLOEXEC);
    if (fd < 0) return;
    for (int i = 0; i < kMaxClients; ++i) {
        if (clients[i].fd < 0) {
            int one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            clients[i] = (struct client){.fd = fd};
            return;
        }
    }
    close(fd);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: xinputd PORT_FILE\n");
        return 2;
    }
    const pid_t parent = getppid();
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal; // no SA_RESTART: poll returns at once
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGINT, &sa, NULL);
    signal(SIGPIPE, SIG_IGN);

    g_dpy = XOpenDisplay(NULL);
    if (!g_dpy) {
        fprintf(stderr, "xinputd: cannot open display %s\n",
                getenv("DISPLAY") ? getenv("DISPLAY") : "(unset)");
        return 1;
    }
    XSetErrorHandler(on_x_error);
    XSetIOErrorHandler(on_x_io_error);
    int event, error, major, minor;
    if (!XTestQueryExtension(g_dpy, &event, &error, &major, &minor)) {
        fprintf(stderr, "xinputd: the display has no XTest extension\n");
        return 1;
    }
    int port = 0;
    int listener = listen_loopback(&port);
    if (listener < 0 || !write_port_file(argv[1], port)) {
        fprintf(stderr, "xinputd: cannot listen or write %s: %s\n", argv[1], strerror(errno));
        return 1;
    }

    struct client clients[kMaxClients];
    for (int i = 0; i < kMaxClients; ++i)
        clients[i].fd = -1;
    struct pollfd fds[2 + kMaxClients];
    while (!g_stop && getppid() == parent) {
        fds[0] = (struct pollfd){.fd = listener, .events = POLLIN};
        fds[1] = (struct pollfd){.fd = ConnectionNumber(g_dpy), .events = POLLIN};
        for (int i = 0; i < kMaxClients; ++i) {
            fds[2 + i] = (struct pollfd){.fd = clients[i].fd, .events = POLLIN};
        }
        if (poll(fds, 2 + kMaxClients, kIdlePollMs) <= 0) continue;
        // Nothing is asked of the server but replies; what arrives unasked is read and dropped,
        // and a closed connection ends the program through the I/O error handler.
        if (fds[1].revents) {
            while (XPending(g_dpy) > 0) {
                XEvent ev;
                XNextEvent(g_dpy, &ev);
            }
        }
        for (int i = 0; i < kMaxClients; ++i) {
            if (clients[i].fd >= 0 && fds[2 + i].revents && !serve(&clients[i])) {
                drop_client(&clients[i]);
            }
        }
        if (fds[0].revents & POLLIN) accept_client(listener, clients);
    }
    for (int i = 0; i < kMaxClients; ++i) {
        if (clients[i].fd >= 0) drop_client(&clients[i]);
    }
    unlink(argv[1]);
    XCloseDisplay(g_dpy);
    return 0;
}
