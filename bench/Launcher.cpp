#include "Launcher.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>

namespace {
int toHelper = -1, fromHelper = -1;

bool readAll(int fd, void* data, size_t n) {
    auto* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t r = read(fd, p, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= size_t(r);
    }
    return true;
}

bool writeAll(int fd, const void* data, size_t n) {
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t r = write(fd, p, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= size_t(r);
    }
    return true;
}

double now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// The helper: one request at a time, until the bench closes its end.
[[noreturn]] void serve(int in, int out) {
    std::vector<char> buffer;
    for (;;) {
        uint32_t size;
        if (!readAll(in, &size, sizeof size)) _exit(0);
        buffer.resize(size);
        if (!readAll(in, buffer.data(), size)) _exit(0);
        std::vector<char*> words;  // out, err, then argv
        for (size_t i = 0; i < size; i += std::char_traits<char>::length(&buffer[i]) + 1)
            words.push_back(&buffer[i]);
        words.push_back(nullptr);
        launcher::Result r;
        const double start = now();
        const pid_t pid = fork();
        if (pid == 0) {
            close(in);
            close(out);
            const int o = open(words[0], O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = open(words[1], O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (o < 0 || e < 0) _exit(126);
            dup2(o, 1);
            dup2(e, 2);
            execvp(words[2], &words[2]);
            _exit(127);
        }
        if (pid > 0) {
            int status = 0;
            rusage usage{};
            while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
            }
            r.seconds = now() - start;
            r.peakMb = usage.ru_maxrss / 1024.0;
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (!writeAll(out, &r, sizeof r)) _exit(0);
    }
}
}  // namespace

void launcher::start() {
    int down[2], up[2];
    if (pipe(down) != 0 || pipe(up) != 0) throw std::runtime_error("pipe");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        close(down[1]);
        close(up[0]);
        serve(down[0], up[1]);
    }
    close(down[0]);
    close(up[1]);
    toHelper = down[1];
    fromHelper = up[0];
    fcntl(toHelper, F_SETFD, FD_CLOEXEC);
    fcntl(fromHelper, F_SETFD, FD_CLOEXEC);
}

launcher::Result launcher::run(const std::vector<std::string>& argv, const std::string& out,
                               const std::string& err) {
    std::string request = out + '\0' + err + '\0';
    for (const std::string& a : argv) request += a + '\0';
    const uint32_t size = uint32_t(request.size());
    Result r;
    if (!writeAll(toHelper, &size, sizeof size) ||
        !writeAll(toHelper, request.data(), request.size()) ||
        !readAll(fromHelper, &r, sizeof r))
        throw std::runtime_error("the launcher is gone");
    return r;
}
