#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "TestClock.h"
#include "FileContents.h"
#include "PseudoTerminal.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Testing.h"
#include "windows.h"

namespace {

using testsupport::MonotonicMs;

HANDLE OpenPort(const char *name)
{
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

class CommPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.Made());
        ASSERT_TRUE(pty_.Ok());
        port_ = OpenPort("\\\\.\\COM5");
        ASSERT_NE(port_, INVALID_HANDLE_VALUE) << GetLastError();
    }

    void TearDown() override
    {
        machine::testing::ResetCommFailures();
        if (port_ != INVALID_HANDLE_VALUE)
            CloseHandle(port_);
    }

    void SetTimeouts(DWORD interval, DWORD multiplier, DWORD constant)
    {
        COMMTIMEOUTS timeouts = {interval, multiplier, constant, 0, 0};
        ASSERT_TRUE(SetCommTimeouts(port_, &timeouts));
    }

    // One ReadFile of up to `count` bytes; its result, bytes and duration.
    struct ReadResult {
        BOOL ok;
        std::string bytes;
        int64_t ms;
        DWORD error;
    };
    ReadResult Read(DWORD count)
    {
        std::string buffer(count, '\0');
        DWORD got = 0;
        const int64_t start = MonotonicMs();
        const BOOL ok = ReadFile(port_, &buffer[0], count, &got, nullptr);
        ReadResult result{ok, buffer.substr(0, got), MonotonicMs() - start, GetLastError()};
        return result;
    }

    // A line setting of `rate` baud and 8 data bits with the given XON and
    // XOFF characters.
    static DCB Line(DWORD rate, BYTE xon, BYTE xoff)
    {
        DCB dcb = {};
        dcb.DCBlength = sizeof dcb;
        dcb.BaudRate = rate;
        dcb.ByteSize = 8;
        dcb.XonChar = xon;
        dcb.XoffChar = xoff;
        return dcb;
    }

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
    testsupport::PseudoTerminal pty_{"COM5"};
    HANDLE port_ = INVALID_HANDLE_VALUE;
};

TEST_F(CommPortTest, OpensRawWhateverTheCaseOfItsName)
{
    // Line settings through the master are the slave's: make them cooked.
    CloseHandle(port_);
    termios tio;
    ASSERT_EQ(tcgetattr(pty_.Master(), &tio), 0);
    tio.c_lflag |= ICANON | ECHO | ISIG;
    tio.c_oflag |= OPOST;
    tio.c_iflag |= ICRNL | IXON;
    ASSERT_EQ(tcsetattr(pty_.Master(), TCSANOW, &tio), 0);
    ASSERT_EQ(tcgetattr(pty_.Master(), &tio), 0);
    ASSERT_NE(tio.c_lflag & ICANON, 0u);

    port_ = OpenPort("\\\\.\\COM5");
    ASSERT_NE(port_, INVALID_HANDLE_VALUE);
    ASSERT_EQ(tcgetattr(pty_.Master(), &tio), 0);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u);
    CloseHandle(port_);
    port_ = OpenPort("\\\\.\\com5");
    EXPECT_NE(port_, INVALID_HANDLE_VALUE);
    CloseHandle(port_);
    port_ = OpenPort("COM5");
    EXPECT_NE(port_, INVALID_HANDLE_VALUE);
}

TEST_F(CommPortTest, PortsThatAreNotThereDoNotOpen)
{
    ASSERT_EQ(symlink("/dev/pts/no-such-terminal", machine::PortLink("COM7").c_str()), 0);
    const std::string file = machine::DriveFolder('c') + "/plain.txt";
    ASSERT_TRUE(testsupport::WriteText(file, "x"));
    ASSERT_EQ(symlink(file.c_str(), machine::PortLink("COM8").c_str()), 0);
    // A device name never leads out of the ports folder.
    for (const char *name : {"\\\\.\\COM6", "\\\\.\\COM7", "\\\\.\\COM8", "\\\\.\\", "COM9",
                             "\\\\.\\../ports/COM5", "\\\\.\\..\\ports\\COM5"}) {
        SetLastError(0);
        EXPECT_EQ(OpenPort(name), INVALID_HANDLE_VALUE) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << name;
    }
}

TEST_F(CommPortTest, OneHolderAtATimeAcrossProcesses)
{
    // Held here: neither this process nor another one opens it.
    EXPECT_EQ(OpenPort("\\\\.\\COM5"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(testsupport::RunInChild([] {
                  HANDLE port = OpenPort("\\\\.\\COM5");
                  return port == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError()) : 100;
              }),
              ERROR_ACCESS_DENIED);
    CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;

    // Held by another process: not here, until that process lets go.
    HANDLE held = INVALID_HANDLE_VALUE; // in the holder
    testsupport::HoldingChild holder(
        [&] {
            held = OpenPort("\\\\.\\COM5");
            return held == INVALID_HANDLE_VALUE ? 'n' : 'y';
        },
        [&] { CloseHandle(held); });
    ASSERT_TRUE(holder.Started());
    ASSERT_EQ(holder.Report(), 'y');
    EXPECT_EQ(OpenPort("\\\\.\\COM5"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(holder.Release(), 0);
    port_ = OpenPort("\\\\.\\COM5");
    EXPECT_NE(port_, INVALID_HANDLE_VALUE);
}

// A holder that ends without closing the port (killed, or crashed) leaves
// it to every later process, as the end of a process does on Windows. The
// later process is an ordinary user's, whom a lock left on the terminal
// itself would keep out.
TEST_F(CommPortTest, AHolderThatEndsWithoutClosingLeavesThePortFree)
{
    CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    EXPECT_EQ(testsupport::RunInChild([] { return OpenPort("\\\\.\\COM5") == INVALID_HANDLE_VALUE ? 1 : 0; }), 0);

    const bool root = geteuid() == 0;
    if (root) { // the ordinary user must be able to reach the port
        ASSERT_EQ(chmod(root_.Path().c_str(), 0755), 0);
        ASSERT_EQ(chmod(pty_.SlavePath().c_str(), 0666), 0);
    }
    EXPECT_EQ(testsupport::RunInChild([root] {
                  const uid_t nobody = 65534;
                  if (root && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
                      return 100;
                  HANDLE port = OpenPort("\\\\.\\COM5");
                  return port == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError()) : 0;
              }),
              0);
}

TEST_F(CommPortTest, SetCommStateSetsTheLine)
{
    DCB dcb = Line(19200, 0x13, 0x19);
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.XonLim = 2;
    dcb.XoffLim = 4;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    ASSERT_TRUE(SetCommState(port_, &dcb));
    termios tio;
    ASSERT_EQ(tcgetattr(pty_.Master(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);

    DCB back = {};
    ASSERT_TRUE(GetCommState(port_, &back));
    EXPECT_EQ(back.DCBlength, sizeof(DCB));
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, EVENPARITY);
    EXPECT_EQ(back.XonLim, 2);
    EXPECT_EQ(back.XoffChar, 0x19);

    dcb.BaudRate = CBR_115200;
    dcb.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(SetCommState(port_, &dcb));
    ASSERT_EQ(tcgetattr(pty_.Master(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B115200));
    EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
}

TEST_F(CommPortTest, SetCommStateRefusesWhatTheLineCannotDo)
{
    DCB good = Line(9600, 0x11, 0x13);
    ASSERT_TRUE(SetCommState(port_, &good));

    struct Case {
        const char *what;
        void (*spoil)(DCB &);
    };
    const Case cases[] = {
        {"rate 14400", [](DCB &d) { d.BaudRate = CBR_14400; }},
        {"rate 0", [](DCB &d) { d.BaudRate = 0; }},
        {"byte size 4", [](DCB &d) { d.ByteSize = 4; }},
        {"byte size 9", [](DCB &d) { d.ByteSize = 9; }},
        {"parity 5", [](DCB &d) { d.Parity = 5; }},
        {"1.5 stop bits with 8 data bits", [](DCB &d) { d.StopBits = ONE5STOPBITS; }},
        {"2 stop bits with 5 data bits", [](DCB &d) { d.ByteSize = 5; d.StopBits = TWOSTOPBITS; }},
        {"stop bits 3", [](DCB &d) { d.StopBits = 3; }},
        {"XON equal to XOFF", [](DCB &d) { d.XoffChar = d.XonChar; }},
    };
    for (const Case &c : cases) {
        DCB bad = good;
        c.spoil(bad);
        SetLastError(0);
        EXPECT_FALSE(SetCommState(port_, &bad)) << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.what;
    }
    DCB now = {};
    ASSERT_TRUE(GetCommState(port_, &now));
    EXPECT_EQ(now.BaudRate, 9600u) << "a refused setting changes nothing";
    EXPECT_FALSE(SetCommState(port_, nullptr));
}

TEST_F(CommPortTest, MaskAndTimeoutsAreKept)
{
    EXPECT_TRUE(SetCommMask(port_, 0));
    DWORD mask = 99;
    EXPECT_TRUE(GetCommMask(port_, &mask));
    EXPECT_EQ(mask, 0u);
    EXPECT_TRUE(SetCommMask(port_, EV_RXCHAR | EV_TXEMPTY));
    EXPECT_TRUE(GetCommMask(port_, &mask));
    EXPECT_EQ(mask, EV_RXCHAR | EV_TXEMPTY);
    EXPECT_FALSE(SetCommMask(port_, 0x80000000u));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    COMMTIMEOUTS set = {300, 300, 300, 0, 0};
    EXPECT_TRUE(SetCommTimeouts(port_, &set));
    COMMTIMEOUTS got = {};
    EXPECT_TRUE(GetCommTimeouts(port_, &got));
    EXPECT_EQ(got.ReadIntervalTimeout, 300u);
    EXPECT_EQ(got.ReadTotalTimeoutMultiplier, 300u);
    EXPECT_EQ(got.ReadTotalTimeoutConstant, 300u);
    EXPECT_EQ(got.WriteTotalTimeoutConstant, 0u);
    COMMTIMEOUTS forever = {MAXDWORD, MAXDWORD, MAXDWORD, 0, 0};
    EXPECT_FALSE(SetCommTimeouts(port_, &forever));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CommPortTest, PortCallsRefuseOtherHandles)
{
    HANDLE file = CreateFileA("C:\\not-a-port.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DCB dcb = {};
    COMMTIMEOUTS timeouts = {};
    DWORD mask;
    for (HANDLE handle : {file, INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr)}) {
        const BOOL results[] = {SetCommMask(handle, 0), GetCommMask(handle, &mask),
                                SetCommState(handle, &dcb), GetCommState(handle, &dcb),
                                SetCommTimeouts(handle, &timeouts), GetCommTimeouts(handle, &timeouts),
                                PurgeComm(handle, PURGE_RXCLEAR)};
        for (BOOL result : results)
            EXPECT_FALSE(result);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    CloseHandle(file);
}

TEST_F(CommPortTest, InjectedFailuresHitOnlyTheirCall)
{
    using machine::testing::CommCall;
    DCB dcb = {};
    ASSERT_TRUE(GetCommState(port_, &dcb));
    COMMTIMEOUTS timeouts = {300, 300, 300, 0, 0};
    auto results = [&] {
        return std::vector<bool>{SetCommMask(port_, 0) != FALSE, SetCommTimeouts(port_, &timeouts) != FALSE,
                                 SetCommState(port_, &dcb) != FALSE};
    };
    const CommCall calls[] = {CommCall::SetCommMask, CommCall::SetCommTimeouts, CommCall::SetCommState};
    for (int i = 0; i < 3; ++i) {
        std::vector<bool> expected{true, true, true};
        expected[i] = false;

        machine::testing::FailCommCall(calls[i], true);
        EXPECT_EQ(results(), expected) << "always, call " << i;
        EXPECT_EQ(results(), expected) << "still failing, call " << i;
        machine::testing::FailCommCall(calls[i], false);
        EXPECT_EQ(results(), (std::vector<bool>{true, true, true}));

        machine::testing::FailNextCommCall(calls[i]);
        EXPECT_EQ(results(), expected) << "once, call " << i;
        EXPECT_EQ(results(), (std::vector<bool>{true, true, true})) << "used up, call " << i;
    }
    machine::testing::FailCommCall(CommCall::SetCommState, true);
    SetLastError(0);
    EXPECT_FALSE(SetCommState(port_, &dcb));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
}

TEST_F(CommPortTest, WrittenBytesReachThePeer)
{
    std::string frame(221, '\0');
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<char>(0xFE - i);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(port_, frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr));
    EXPECT_EQ(written, frame.size());
    EXPECT_EQ(pty_.ReceiveText(frame.size(), 10000), frame);
}

TEST_F(CommPortTest, AWriteLargerThanTheBuffersWaitsForThePeer)
{
    std::string bulk(256 * 1024, '\0');
    for (size_t i = 0; i < bulk.size(); ++i)
        bulk[i] = static_cast<char>(i * 7);
    std::string received;
    std::thread peer([&] { received = pty_.ReceiveText(bulk.size(), 30000); });
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(port_, bulk.data(), static_cast<DWORD>(bulk.size()), &written, nullptr));
    EXPECT_EQ(written, bulk.size());
    peer.join();
    EXPECT_TRUE(received == bulk);
}

TEST_F(CommPortTest, ReadReturnsOnceTheCountCame)
{
    SetTimeouts(300, 300, 300);
    EXPECT_TRUE(pty_.SendText(std::string("\xF4\x01\x02\x03\x04\x05\x00\x07\x08", 9)));
    const ReadResult r = Read(9);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, std::string("\xF4\x01\x02\x03\x04\x05\x00\x07\x08", 9));
}

TEST_F(CommPortTest, ReadEndsAtTheTotalTimeoutWithWhatCame)
{
    SetTimeouts(0, 100, 400); // 100 x 4 + 400 = 800 ms for four bytes
    const ReadResult silent = Read(4);
    EXPECT_TRUE(silent.ok);
    EXPECT_EQ(silent.bytes, "");
    EXPECT_GE(silent.ms, 790) << "not before the total time-out";
    EXPECT_LT(silent.ms, 20000);

    EXPECT_TRUE(pty_.SendText("ab"));
    const ReadResult partial = Read(4);
    EXPECT_TRUE(partial.ok);
    EXPECT_EQ(partial.bytes, "ab");
    EXPECT_GE(partial.ms, 790);
}

TEST_F(CommPortTest, TheIntervalTimeoutEndsAReadAfterABreak)
{
    SetTimeouts(100, 0, 30000);
    EXPECT_TRUE(pty_.SendText("xyz"));
    const ReadResult r = Read(9);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, "xyz");
    EXPECT_LT(r.ms, 15000) << "the interval ends it well before the total";
}

TEST_F(CommPortTest, TheIntervalIsTimedFromTheFirstByte)
{
    // An interval alone does not end a read before anything came.
    SetTimeouts(50, 0, 0);
    std::atomic<bool> readDone{false};
    ReadResult r{};
    std::thread reader([&] {
        r = Read(4);
        readDone = true;
    });
    Sleep(400);
    EXPECT_FALSE(readDone) << "returned with nothing read";
    EXPECT_TRUE(pty_.SendText("q"));
    reader.join();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, "q");
}

TEST_F(CommPortTest, WithoutTimeoutsAReadWaitsForTheWholeCount)
{
    SetTimeouts(0, 0, 0);
    ReadResult r{};
    std::thread reader([&] { r = Read(6); });
    EXPECT_TRUE(pty_.SendText("abc"));
    Sleep(200);
    EXPECT_TRUE(pty_.SendText("def"));
    reader.join();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, "abcdef");
}

TEST_F(CommPortTest, MaxIntervalWithoutTotalsReturnsAtOnce)
{
    SetTimeouts(MAXDWORD, 0, 0);
    const ReadResult empty = Read(8);
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.bytes, "");
    EXPECT_LT(empty.ms, 5000);

    EXPECT_TRUE(pty_.SendText("1234"));
    std::string got;
    for (int i = 0; i < 500 && got.size() < 4; ++i) {
        const ReadResult r = Read(8);
        EXPECT_TRUE(r.ok);
        got += r.bytes;
        if (got.size() < 4)
            Sleep(10);
    }
    EXPECT_EQ(got, "1234");
}

TEST_F(CommPortTest, MaxIntervalAndMultiplierWaitForTheFirstByteOnly)
{
    SetTimeouts(MAXDWORD, MAXDWORD, 300);
    const ReadResult silent = Read(8);
    EXPECT_TRUE(silent.ok);
    EXPECT_EQ(silent.bytes, "");
    EXPECT_GE(silent.ms, 290);

    ReadResult r{};
    std::thread reader([&] { r = Read(8); });
    EXPECT_TRUE(pty_.SendText("z"));
    reader.join();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.bytes.substr(0, 1), "z");
}

TEST_F(CommPortTest, ADeadPortFailsAfterItsTimeoutWithoutSpinning)
{
    SetTimeouts(0, 0, 1500);
    pty_.CloseMaster();

    for (int attempt = 0; attempt < 2; ++attempt) {
        const int64_t cpuBefore = testsupport::ThreadCpuMs();
        const ReadResult r = Read(9);
        const int64_t cpu = testsupport::ThreadCpuMs() - cpuBefore;
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, static_cast<DWORD>(ERROR_BAD_COMMAND));
        EXPECT_EQ(r.bytes, "");
        EXPECT_GE(r.ms, 1490) << "the read's time-out is slept out first";
        EXPECT_LT(r.ms, 30000);
        EXPECT_LT(cpu * 10, r.ms) << "cpu " << cpu << " ms over " << r.ms << " ms";
    }
    DWORD written = 5;
    EXPECT_FALSE(WriteFile(port_, "abc", 3, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_COMMAND));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(CloseHandle(port_));
    port_ = INVALID_HANDLE_VALUE;
}

TEST_F(CommPortTest, AWriteToADeadPortFailsAtOnce)
{
    pty_.CloseMaster();
    DWORD written = 5;
    EXPECT_FALSE(WriteFile(port_, "abc", 3, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_COMMAND));
}

TEST_F(CommPortTest, BytesThatCameWhileClosedAreDropped)
{
    CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
    // Keep the slave open meanwhile so the peer's bytes have somewhere to go.
    const int keeper = open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(keeper, 0);
    termios tio;
    ASSERT_EQ(tcgetattr(keeper, &tio), 0);
    cfmakeraw(&tio);
    ASSERT_EQ(tcsetattr(keeper, TCSANOW, &tio), 0);
    EXPECT_TRUE(pty_.SendText("stale"));
    pollfd arrived{keeper, POLLIN, 0};
    ASSERT_EQ(poll(&arrived, 1, 10000), 1) << "the stale bytes reached the terminal";
    port_ = OpenPort("\\\\.\\COM5");
    ASSERT_NE(port_, INVALID_HANDLE_VALUE);
    SetTimeouts(0, 0, 200);
    EXPECT_TRUE(pty_.SendText("new"));
    EXPECT_EQ(Read(8).bytes, "new");
    close(keeper);
}

} // namespace
