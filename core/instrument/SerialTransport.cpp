#include "core/instrument/SerialTransport.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point After(int ms) { return Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0); }

// Waits for events on fd until the deadline; returns the revents, 0 on time-out, -1 on error. The
// time left is rounded up, so the wait never ends before the deadline.
int PollUntil(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0) left = 0;
        pollfd p{fd, events, 0};
        int r = ::poll(&p, 1, static_cast<int>(left));
        if (r > 0) return p.revents;
        if (r == 0) return 0;
        if (errno != EINTR) return -1;
    }
}

}  // namespace

CSerialTransport::~CSerialTransport() { Close(); }

std::string CSerialTransport::ResolvePortName(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return name;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || n > 100000) return name;
        n = n * 10 + (name[i] - '0');
    }
    if (n < 1) return name;
    std::string var = "HELIARC_COM" + std::to_string(n);
    if (const char* v = std::getenv(var.c_str()); v != nullptr && *v != '\0') return v;
    return "/dev/ttyS" + std::to_string(n - 1);
}

namespace {
thread_local std::string g_openFailure;
}

std::vector<std::string> CSerialTransport::PortHolders(const std::string& path) {
    std::vector<std::string> holders;
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0) return holders;
    DIR* proc = ::opendir("/proc");
    if (!proc) return holders;
    const pid_t self = ::getpid();
    while (dirent* p = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(p->d_name, &end, 10);
        if (pid <= 0 || !end || *end != 0 || pid == self) continue;
        const std::string fdDir = std::string("/proc/") + p->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (!fds) continue;  // another user's process
        bool holds = false;
        while (dirent* f = ::readdir(fds)) {
            struct stat st {};
            if (f->d_name[0] == '.' || ::stat((fdDir + "/" + f->d_name).c_str(), &st) != 0) continue;
            if (st.st_rdev == device.st_rdev && S_ISCHR(st.st_mode) && st.st_ino == device.st_ino) {
                holds = true;
                break;
            }
        }
        ::closedir(fds);
        if (!holds) continue;
        std::string name;
        if (FILE* comm = std::fopen((std::string("/proc/") + p->d_name + "/comm").c_str(), "r")) {
            char buf[64] = {0};
            if (std::fgets(buf, sizeof buf, comm)) name = buf;
            std::fclose(comm);
        }
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        holders.push_back((name.empty() ? std::string("a program") : name) + " (process " + std::to_string(pid) + ")");
    }
    ::closedir(proc);
    return holders;
}

std::string CSerialTransport::LastOpenFailure() { return g_openFailure; }

int CSerialTransport::OpenExclusive(const std::string& path) {
    g_openFailure.clear();
    // Only a busy port gets a reason: the others are told by the plain "cannot open" well enough.
    auto fail = [&path](int fd, int error) {
        if (fd >= 0) ::close(fd);
        if (error != EBUSY && error != EWOULDBLOCK) return -1;
        const std::vector<std::string> holders = PortHolders(path);
        if (!holders.empty()) {
            g_openFailure = path + " is in use by " + holders.front() + ".";
        } else if (error == EBUSY) {
            // The terminal's exclusive flag outlives a program killed while it had the port open
            // when the terminal itself stays (a pseudo-terminal whose other side is still open).
            g_openFailure = path + " is marked for exclusive use, but no program of this user has it open: "
                                   "another user's program holds it, or a run that was killed left the mark "
                                   "(it goes when the program serving the terminal opens it anew).";
        } else {
            g_openFailure = path + " is in use by another program.";
        }
        return -1;
    };
    // Non-blocking so that the open does not wait for carrier; reads and writes poll anyway.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(-1, errno);
    if (!::isatty(fd)) return fail(fd, ENOTTY);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(fd, errno);
    // Where the open got through a stale flag (root may), the flag is ours from now on and goes
    // with our Close.
    if (::ioctl(fd, TIOCEXCL) != 0) return fail(fd, errno);
    return fd;
}

bool CSerialTransport::Open(const std::string& nameOrPath) {
    Close();
    int fd = OpenExclusive(ResolvePortName(nameOrPath));
    if (fd < 0) return false;
    ::tcflush(fd, TCIOFLUSH);

    // Only the line settings the instrument needs change; the results are not checked, as a
    // pseudo-terminal refuses some of them.
    termios t{};
    if (::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B38400);
        ::cfsetospeed(&t, B38400);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
        t.c_cflag |= CS8 | CLOCAL | CREAD;
        t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        t.c_iflag |= INPCK;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        ::tcsetattr(fd, TCSANOW, &t);
    }
    int dtr = TIOCM_DTR;
    ::ioctl(fd, TIOCMBIS, &dtr);
    fd_ = fd;
    return true;
}

bool CSerialTransport::Write(const uint8_t* data, std::size_t length) {
    if (fd_ < 0) return false;
    const auto deadline = After(kWriteTimeoutMs);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::write(fd_, data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            int ev = PollUntil(fd_, POLLOUT, deadline);
            if (ev > 0 && (ev & POLLOUT)) continue;
        }
        return false;  // error, zero-byte write, hang-up or write time-out
    }
    return true;
}

int CSerialTransport::Read(uint8_t* buffer, int timeoutMs, bool /*binary*/) {
    if (fd_ < 0) return 0;
    const auto deadline = After(timeoutMs);
    for (;;) {
        int ev = PollUntil(fd_, POLLIN, deadline);
        if (ev <= 0) return 0;
        if (ev & POLLIN) {
            ssize_t n = ::read(fd_, buffer, 1);
            if (n > 0) return static_cast<int>(n);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            return 0;  // end of file or error: the port went away
        }
        return 0;  // POLLHUP / POLLERR without data
    }
}

void CSerialTransport::Purge() {
    if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

void CSerialTransport::DiscardInput() {
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

void CSerialTransport::Close() {
    if (fd_ >= 0) {
        // The exclusive flag belongs to the terminal, not to this descriptor: a pseudo-terminal
        // whose other side stays open (the simulator) would refuse every later open by a user
        // without CAP_SYS_ADMIN.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);  // also releases the advisory lock
        fd_ = -1;
    }
}
