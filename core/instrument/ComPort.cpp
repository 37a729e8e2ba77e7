#include "core/instrument/ComPort.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "core/instrument/SerialTransport.h"

namespace {

struct BaudEntry {
    uint32_t rate;
    speed_t code;
};
constexpr BaudEntry kBauds[] = {{110, B110},     {300, B300},     {600, B600},       {1200, B1200},
                                {2400, B2400},   {4800, B4800},   {9600, B9600},     {19200, B19200},
                                {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}};

uint32_t RateOf(speed_t code) {
    for (const BaudEntry& b : kBauds) {
        if (b.code == code) return b.rate;
    }
    return 0;
}

bool CodeOf(uint32_t rate, speed_t& code) {
    for (const BaudEntry& b : kBauds) {
        if (b.rate == rate) {
            code = b.code;
            return true;
        }
    }
    return false;
}

void ReadLine(int fd, const termios& t, ComSettings& s) {
    s.length = 28;
    s.baudRate = RateOf(cfgetospeed(&t));
    s.parityCheck = (t.c_iflag & INPCK) ? 1 : 0;
    s.ctsOutFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
    s.outX = (t.c_iflag & IXON) ? 1 : 0;
    s.inX = (t.c_iflag & IXOFF) ? 1 : 0;
    switch (t.c_cflag & CSIZE) {
    case CS5: s.byteSize = 5; break;
    case CS6: s.byteSize = 6; break;
    case CS7: s.byteSize = 7; break;
    default: s.byteSize = 8; break;
    }
    if (!(t.c_cflag & PARENB)) s.parity = ComSettings::kNoParity;
    else if (t.c_cflag & CMSPAR) s.parity = (t.c_cflag & PARODD) ? ComSettings::kMark : ComSettings::kSpace;
    else s.parity = (t.c_cflag & PARODD) ? ComSettings::kOdd : ComSettings::kEven;
    s.stopBits = (t.c_cflag & CSTOPB) ? ComSettings::kTwoStop : ComSettings::kOneStop;
    s.xonChar = static_cast<char>(t.c_cc[VSTART]);
    s.xoffChar = static_cast<char>(t.c_cc[VSTOP]);
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) == 0) {
        s.dtrControl = (lines & TIOCM_DTR) ? ComSettings::kEnable : ComSettings::kDisable;
        s.rtsControl = s.ctsOutFlow ? ComSettings::kHandshake
                                    : ((lines & TIOCM_RTS) ? ComSettings::kEnable : ComSettings::kDisable);
    }
}

void WriteLine(int fd, termios t, const ComSettings& s) {
    speed_t code;
    if (CodeOf(s.baudRate, code)) {
        cfsetispeed(&t, code);
        cfsetospeed(&t, code);
    }
    auto setFlag = [](tcflag_t& word, tcflag_t bit, bool on) { word = on ? (word | bit) : (word & ~bit); };
    setFlag(t.c_iflag, INPCK, s.parityCheck != 0);
    setFlag(t.c_cflag, CRTSCTS, s.ctsOutFlow != 0 || s.rtsControl == ComSettings::kHandshake);
    setFlag(t.c_iflag, IXON, s.outX != 0);
    setFlag(t.c_iflag, IXOFF, s.inX != 0);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
    switch (s.byteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    default: t.c_cflag |= CS8; break;
    }
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    switch (s.parity) {
    case ComSettings::kOdd: t.c_cflag |= PARENB | PARODD; break;
    case ComSettings::kEven: t.c_cflag |= PARENB; break;
    case ComSettings::kMark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case ComSettings::kSpace: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    setFlag(t.c_cflag, CSTOPB, s.stopBits != ComSettings::kOneStop);
    t.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
    ::tcsetattr(fd, TCSANOW, &t);

    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    ::ioctl(fd, s.dtrControl == ComSettings::kDisable ? TIOCMBIC : TIOCMBIS, &dtr);
    if (s.rtsControl != ComSettings::kHandshake) {
        ::ioctl(fd, s.rtsControl == ComSettings::kDisable ? TIOCMBIC : TIOCMBIS, &rts);
    }
}

void ApplyMask(ComSettings& to, const ComSettings& from, const ComOverrideMask& mask) {
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != 1) continue;
        switch (i) {
        case 0: to.length = from.length; break;
        case 1: to.baudRate = from.baudRate; break;
        case 2: to.binary = from.binary & 1; break;
        case 3: to.parityCheck = from.parityCheck & 1; break;
        case 4: to.ctsOutFlow = from.ctsOutFlow & 1; break;
        case 5: to.dsrOutFlow = from.dsrOutFlow & 1; break;
        case 6: to.dtrControl = from.dtrControl & 3; break;
        case 7: to.dsrSensitivity = from.dsrSensitivity & 1; break;
        case 8: to.txContinueOnXoff = from.txContinueOnXoff & 1; break;
        case 9: to.outX = from.outX & 1; break;
        case 10: to.inX = from.inX & 1; break;
        case 11: to.errorCharReplace = from.errorCharReplace & 1; break;
        case 12: to.discardNull = from.discardNull & 1; break;
        case 13: to.rtsControl = from.rtsControl & 3; break;
        case 14: to.abortOnError = from.abortOnError & 1; break;
        case 15: to.otherFlags = from.otherFlags & 0x1FFFF; break;
        case 16: to.reserved = from.reserved; break;
        case 17: to.xonLimit = from.xonLimit; break;
        case 18: to.xoffLimit = from.xoffLimit; break;
        case 19: to.byteSize = from.byteSize; break;
        case 20: to.parity = from.parity; break;
        case 21: to.stopBits = from.stopBits; break;
        case 22: to.xonChar = from.xonChar; break;
        case 23: to.xoffChar = from.xoffChar; break;
        case 24: to.errorChar = from.errorChar; break;
        case 25: to.eofChar = from.eofChar; break;
        case 26: to.evtChar = from.evtChar; break;
        case 27: to.reserved2 = from.reserved2; break;
        default: break;
        }
    }
}

}  // namespace

CComPort::~CComPort() { Close(); }

bool CComPort::Open(const std::string& name, const ComTimeouts* timeouts, const ComSettings* overrides,
                    const ComOverrideMask* mask) {
    Close();
    int fd = CSerialTransport::OpenExclusive(CSerialTransport::ResolvePortName(name));
    if (fd < 0) return false;
    ::tcflush(fd, TCIOFLUSH);
    if (timeouts != nullptr) timeouts_ = *timeouts;

    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return false;
    }
    settings_ = ComSettings{};
    ReadLine(fd, t, settings_);
    if (overrides != nullptr && mask != nullptr) ApplyMask(settings_, *overrides, *mask);
    WriteLine(fd, t, settings_);
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    return true;
}

bool CComPort::Close() {
    if (fd_ >= 0) {
        int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd_, TIOCMBIC, &lines);
        ::tcflush(fd_, TCIOFLUSH);
        // The exclusive flag set by the open belongs to the terminal and would outlive this
        // descriptor: the next open by a user who is not root would fail.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
    return true;
}

void CComPort::Purge() {
    if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

std::vector<int> CComPort::ProbePorts() {
    std::vector<int> found;
    for (int n = 1; n <= 10; ++n) {
        CComPort port;
        if (port.Open("COM" + std::to_string(n))) {
            port.Close();
            found.push_back(n);
        }
    }
    return found;
}
