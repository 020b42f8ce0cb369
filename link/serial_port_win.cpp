#include "link/serial_port_win.h"

#include <windows.h>

#include <algorithm>
#include <thread>

#include "link/read_deadline.h"
#include "link/system_serial_port.h"

namespace corvel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

HANDLE Handle(void* handle) { return static_cast<HANDLE>(handle); }

// Data bits 5..8, parity 0 none .. 4 space and stop-bit codes 0 one, 1 one and
// a half, 2 two are the DCB's own codes.
bool SetCharacterFormat(DCB& dcb, const LineSettings& line) {
    if (line.dataBits < 5 || line.dataBits > 8 || line.parity > 4 || line.stopBits > 2) return false;
    dcb.ByteSize = line.dataBits;
    dcb.Parity = line.parity;
    dcb.fParity = line.parity != 0;
    dcb.StopBits = line.stopBits;
    return true;
}

// COMMTIMEOUTS under which a read returns as soon as the bytes it asks for
// have arrived, or after `waitMs` with what there is.
COMMTIMEOUTS ReadWithin(DWORD waitMs, const PortTimeouts& timeouts) {
    COMMTIMEOUTS settings{};
    settings.ReadIntervalTimeout = 0;
    settings.ReadTotalTimeoutMultiplier = 0;
    settings.ReadTotalTimeoutConstant = waitMs;
    settings.WriteTotalTimeoutMultiplier = timeouts.writeTotalPerByteMs;
    settings.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
    return settings;
}

}  // namespace

std::string SystemErrorText(int code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0,
        nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : "Unknown error " + std::to_string(code);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

WinSerialPort::~WinSerialPort() { close(); }

bool WinSerialPort::fail(unsigned long code) {
    lastErrorCode_ = code;
    return false;
}

bool WinSerialPort::failWithLastError() { return fail(GetLastError()); }

bool WinSerialPort::open(const std::string& name) {
    close();
    const HANDLE handle =
        CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return failWithLastError();
    PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    handle_ = handle;
    return true;
}

bool WinSerialPort::configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) {
    if (!handle_) return fail(ERROR_INVALID_HANDLE);
    if (!SetupComm(Handle(handle_), queueSize, queueSize)) return failWithLastError();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(Handle(handle_), &dcb)) return failWithLastError();
    dcb.BaudRate = line.baudRate;
    dcb.fBinary = TRUE;
    dcb.fAbortOnError = line.abortOnError;
    if (!SetCharacterFormat(dcb, line)) return fail(ERROR_INVALID_PARAMETER);
    if (!SetCommState(Handle(handle_), &dcb)) return failWithLastError();
    timeouts_ = timeouts;
    return setReadWait(timeouts.readTotalConstantMs);
}

bool WinSerialPort::setReadWait(unsigned long waitMs) {
    if (waitMs == readWaitMs_) return true;
    COMMTIMEOUTS settings = ReadWithin(waitMs, timeouts_);
    if (!SetCommTimeouts(Handle(handle_), &settings)) return failWithLastError();
    readWaitMs_ = waitMs;
    return true;
}

bool WinSerialPort::write(ByteSpan bytes, std::size_t& written) {
    written = 0;
    if (!handle_) return fail(ERROR_INVALID_HANDLE);
    DWORD count = 0;
    const BOOL done = WriteFile(Handle(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr);
    written = count;
    if (!done) return failWithLastError();
    if (written < bytes.size()) return fail(ERROR_TIMEOUT);
    return true;
}

bool WinSerialPort::readSome(MutableByteSpan buffer, milliseconds wait, std::size_t& count) {
    // Whatever is queued is taken at once; with nothing queued, one byte is
    // awaited, so that the caller sees each arrival as soon as it comes.
    DWORD lineErrors = 0;
    COMSTAT queue{};
    if (!ClearCommError(Handle(handle_), &lineErrors, &queue)) return failWithLastError();
    if (lineErrors != 0) return fail(ERROR_OPERATION_ABORTED);
    const DWORD wanted = queue.cbInQue > 0 ? std::min<DWORD>(queue.cbInQue, static_cast<DWORD>(buffer.size())) : 1;
    if (!setReadWait(static_cast<unsigned long>(std::clamp<std::int64_t>(wait.count(), 1, MAXDWORD - 1)))) return false;
    DWORD got = 0;
    if (!ReadFile(Handle(handle_), buffer.data(), wanted, &got, nullptr)) return failWithLastError();
    count = got;
    return true;
}

bool WinSerialPort::read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) {
    received = 0;
    if (!handle_) return fail(ERROR_INVALID_HANDLE);
    const auto started = Clock::now();
    auto lastByte = started;
    const auto isComplete = [&] { return complete && complete(ByteSpan(buffer.data(), received)); };
    while (received < buffer.size() && !isComplete()) {
        const auto deadline = ReadDeadline(timeouts_, buffer.size(), started, received, lastByte);
        const auto wait = std::chrono::ceil<milliseconds>(deadline - Clock::now());
        std::size_t count = 0;
        if (wait.count() > 0 && !readSome(buffer.subspan(received), wait, count)) return false;
        if (count == 0) {
            if (Clock::now() < deadline) continue;
            lastErrorCode_ = ERROR_TIMEOUT;
            return true;
        }
        received += count;
        lastByte = Clock::now();
    }
    return true;
}

void WinSerialPort::pause(milliseconds duration) { std::this_thread::sleep_for(duration); }

void WinSerialPort::close() {
    if (!handle_) return;
    // What the exchange left unread or unsent goes with the port.
    PurgeComm(Handle(handle_), PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    CloseHandle(Handle(handle_));
    handle_ = nullptr;
    readWaitMs_ = 0;
}

PortError WinSerialPort::lastError() const {
    return {static_cast<int>(lastErrorCode_), SystemErrorText(static_cast<int>(lastErrorCode_))};
}

SerialPortFactory& SystemSerialPortFactory() {
    static WinSerialPortFactory factory;
    return factory;
}

std::optional<std::string> SystemDeviceOf(const std::string&) { return std::nullopt; }

}  // namespace corvel
