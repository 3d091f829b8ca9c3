// The serial port against a real pseudo-terminal linked as a COM port in a
// temporary machine root; the test plays the device's end by hand.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <functional>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ChildProcess.h"
#include "LinkTestSupport.h"
#include "Stopwatch.h"
#include "TestClock.h"
#include "Tserial.h"
#include "machine/Testing.h"

namespace {

using Bytes = std::vector<unsigned char>;
using machine::testing::CommCall;

// Runs `work` on its own thread and tells whether it finished within the
// bound. A generous bound: it only tells "returned" from "hangs".
bool FinishesWithin(std::function<void()> work, int seconds) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  std::thread([work, done] {
    work();
    done->set_value();
  }).detach();
  return finished.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
}

std::atomic<int> gTickCalls{0};
std::vector<ULONGLONG> gTicks; // value of call n; the last repeats
int gActionCall = -1;          // call at which gAction runs
std::function<void()> gAction;

ULONGLONG ScriptedTicks() {
  const int call = gTickCalls.fetch_add(1);
  if (call == gActionCall && gAction)
    gAction();
  return gTicks[static_cast<size_t>(call) < gTicks.size() ? static_cast<size_t>(call)
                                                          : gTicks.size() - 1];
}

void ScriptClock(std::vector<ULONGLONG> ticks, int actionCall = -1,
                 std::function<void()> action = nullptr) {
  gTicks = std::move(ticks);
  gTickCalls = 0;
  gActionCall = actionCall;
  gAction = std::move(action);
  machine::testing::SetTickSource(ScriptedTicks);
}

class SerialTest : public testing::Test {
protected:
  void TearDown() override {
    machine::testing::ResetCommFailures();
    machine::testing::SetTickSource(nullptr);
    gAction = nullptr;
  }

  linktest::TempMachineRoot root_;
  linktest::FakePort port_{"COM5"};
};

struct OpenCase {
  const char *name;
  const char *portName; // given to Open; may be null
  const char *linked;   // port linked in the machine root, or null
  int expected;
};

void PrintTo(const OpenCase &c, std::ostream *out) { *out << c.name; }

class SerialOpen : public testing::TestWithParam<OpenCase> {
protected:
  linktest::TempMachineRoot root_;
};

TEST_P(SerialOpen, GivesItsCode) {
  const OpenCase &c = GetParam();
  std::unique_ptr<linktest::FakePort> port;
  if (c.linked != nullptr) {
    port.reset(new linktest::FakePort(c.linked));
    ASSERT_TRUE(port->Ok());
  }
  TSerial serial;
  EXPECT_EQ(serial.Open(c.portName, 19200, 0, 0), c.expected);
  EXPECT_EQ(serial.IsOpen(), c.expected == 0);
  if (c.expected != 0) {
    // A port that did not open takes nothing and gives nothing.
    const unsigned char byte = 0x55;
    serial.Write(&byte, 1);
    unsigned char buffer[4];
    EXPECT_EQ(serial.Read(buffer, 4), 0);
    if (port) {
      EXPECT_TRUE(port->Drain().empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SerialOpen,
    testing::Values(OpenCase{"NullName", nullptr, "COM5", 16},
                    OpenCase{"Present", "COM5", "COM5", 0},
                    OpenCase{"NameCaseIgnored", "com5", "COM5", 0},
                    OpenCase{"Missing", "COM9", "COM5", 8},
                    OpenCase{"Empty", "", "COM5", 8},
                    OpenCase{"LongestName", "COM123456789012", "COM123456789012", 0},
                    // One more than the path holds: refused, although it exists.
                    OpenCase{"NameTooLong", "COM1234567890123", "COM1234567890123", 8},
                    OpenCase{"FarTooLong", "COM12345678901234567890123456789", nullptr, 8}),
    [](const testing::TestParamInfo<OpenCase> &info) { return info.param.name; });

TEST_F(SerialTest, PortHeldByAnotherProcessGivesEight) {
  ASSERT_TRUE(port_.Ok());
  TSerial holder; // opened in the child only
  testsupport::HoldingChild child([&] { return static_cast<char>(holder.Open("COM5", 19200, 0, 0)); });
  ASSERT_TRUE(child.Started());
  ASSERT_EQ(child.Report(), 0);

  TSerial serial;
  EXPECT_EQ(serial.Open("COM5", 19200, 0, 0), 8);
  EXPECT_FALSE(serial.IsOpen());

  ASSERT_EQ(child.Release(), 0);
  // Once the holder has gone, the same object opens the port.
  EXPECT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
}

struct FaultCase {
  const char *name;
  bool mask, timeouts, state;
  int expected;
};

void PrintTo(const FaultCase &c, std::ostream *out) { *out << c.name; }

class SerialSetupFaults : public SerialTest, public testing::WithParamInterface<FaultCase> {};

TEST_P(SerialSetupFaults, LastFailureDecidesAndThePortIsReleased) {
  const FaultCase &c = GetParam();
  ASSERT_TRUE(port_.Ok());
  machine::testing::FailCommCall(CommCall::SetCommMask, c.mask);
  machine::testing::FailCommCall(CommCall::SetCommTimeouts, c.timeouts);
  machine::testing::FailCommCall(CommCall::SetCommState, c.state);
  TSerial serial;
  EXPECT_EQ(serial.Open("COM5", 19200, 0, 0), c.expected);
  EXPECT_FALSE(serial.IsOpen());
  machine::testing::ResetCommFailures();
  // The failed open let go of the port: a second object gets it.
  TSerial other;
  EXPECT_EQ(other.Open("COM5", 19200, 0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SerialSetupFaults,
    testing::Values(FaultCase{"Mask", true, false, false, 1},
                    FaultCase{"Timeouts", false, true, false, 2},
                    FaultCase{"State", false, false, true, 4},
                    FaultCase{"MaskAndTimeouts", true, true, false, 2},
                    FaultCase{"MaskAndState", true, false, true, 4},
                    FaultCase{"TimeoutsAndState", false, true, true, 4},
                    FaultCase{"All", true, true, true, 4}),
    [](const testing::TestParamInfo<FaultCase> &info) { return info.param.name; });

TEST_F(SerialTest, ReopeningClosesTheOldHandleFirst) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  // Exclusive opening: a second open of the same port only works when the
  // first handle has been let go.
  EXPECT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  serial.Close();
  EXPECT_FALSE(serial.IsOpen());
  serial.Close(); // harmless when closed
  TSerial other;
  EXPECT_EQ(other.Open("COM5", 19200, 0, 0), 0);
}

TEST_F(SerialTest, WriteReachesThePeer) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  const Bytes frame = {0xFE, 0xF4, 0x00, 0x00, 0x00, 0xFF, 0x0A, 0x0D, 0x11, 0x13};
  serial.Write(frame.data(), static_cast<int>(frame.size()));
  EXPECT_EQ(port_.Receive(frame.size()), frame); // raw: no byte translated
}

TEST_F(SerialTest, WriteOnAClosedPortReturnsAtOnce) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  // A write delay of an hour would show as a hang if the closed port slept.
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 3600 * 1000), 0);
  serial.Close();
  const unsigned char byte = 0x42;
  EXPECT_TRUE(FinishesWithin([&serial, byte] { serial.Write(&byte, 1); }, 30));
  EXPECT_TRUE(port_.Drain().empty());
}

TEST_F(SerialTest, ReadReturnsWhatCame) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  ASSERT_TRUE(port_.Send({1, 2, 3}));
  unsigned char buffer[5] = {0};
  EXPECT_EQ(serial.Read(buffer, 5), 3); // after the gap between bytes
  EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{1, 2, 3}));
  serial.Close();
  EXPECT_EQ(serial.Read(buffer, 5), 0);
}

struct WaitCase {
  const char *name;
  Bytes input; // sent by the device before the wait starts
  long long timeout;
  int length;
  int expected;
  Bytes buffer; // expected start of the buffer
};

void PrintTo(const WaitCase &c, std::ostream *out) { *out << c.name; }

class SerialWaitFor : public SerialTest, public testing::WithParamInterface<WaitCase> {};

TEST_P(SerialWaitFor, FindsTheMarkerAndReadsTheReply) {
  const WaitCase &c = GetParam();
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  ASSERT_TRUE(port_.Send(c.input));
  Bytes buffer(16, 0xCC);
  EXPECT_EQ(serial.WaitFor(0xF4, buffer.data(), c.timeout, c.length), c.expected);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<long>(c.buffer.size())), c.buffer);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SerialWaitFor,
    testing::Values(
        WaitCase{"DropsBytesBeforeMarker",
                 {0x00, 0x12, 0xF4, 1, 2, 3, 4, 5, 6, 7, 8},
                 5000,
                 9,
                 0,
                 {0xF4, 1, 2, 3, 4, 5, 6, 7, 8}},
        WaitCase{"ShortReply", {0xF4, 1, 2, 3}, 5000, 9, 2, {0xF4, 1, 2, 3, 0xCC}},
        WaitCase{"MarkerAlone", {0xF4}, 5000, 3, 2, {0xF4, 0xCC}},
        WaitCase{"NoMarker", {0x00, 0x12, 0x13}, 1000, 9, 1, {0xCC}},
        WaitCase{"Silence", {}, 0, 9, 1, {0xCC}},
        // A time-out of 0 still reads once.
        WaitCase{"TimeoutZeroReadsOnce", {0xF4, 9, 8}, 0, 3, 0, {0xF4, 9, 8}},
        WaitCase{"LengthOne", {0xF4, 0x77}, 1000, 1, 0, {0xF4, 0xCC}}),
    [](const testing::TestParamInfo<WaitCase> &info) { return info.param.name; });

TEST_F(SerialTest, ReadByteGivesFFForAnFFAndForNothing) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  ASSERT_TRUE(port_.Send({0x41, 0xFF}));
  EXPECT_EQ(serial.ReadByte(5000), 0x41);
  EXPECT_EQ(serial.ReadByte(5000), 0xFF); // received
  EXPECT_EQ(serial.ReadByte(0), 0xFF);    // time-out

  ASSERT_TRUE(port_.Send({0x00}));
  unsigned char byte = 0x99;
  EXPECT_TRUE(serial.ReadByteTimeout(&byte, 0)); // a limit of 0 still reads once
  EXPECT_EQ(byte, 0x00);
  byte = 0x99;
  EXPECT_FALSE(serial.ReadByteTimeout(&byte, 0));
  EXPECT_EQ(byte, 0x99);
}

TEST_F(SerialTest, WaitsOnAClosedPortEndAtOnce) {
  TSerial serial;
  unsigned char buffer[9];
  EXPECT_TRUE(FinishesWithin(
      [&serial, &buffer] {
        EXPECT_EQ(serial.WaitFor(0xF4, buffer, 3600 * 1000, 9), 1);
        EXPECT_FALSE(serial.ReadByteTimeout(buffer, 3600 * 1000));
        EXPECT_EQ(serial.ReadByte(3600 * 1000), 0xFF);
      },
      30));
}

TEST_F(SerialTest, WaitsOnAVanishedDeviceTimeOutWithoutSpinning) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  port_.HangUp();
  unsigned char buffer[9];
  const int64_t wallBefore = testsupport::MonotonicMs();
  const int64_t cpuBefore = testsupport::ThreadCpuMs();
  // Every read fails, but only once its time-out has been slept out.
  EXPECT_EQ(serial.WaitFor(0xF4, buffer, 1000, 9), 1);
  EXPECT_TRUE(serial.LastReadFailed());
  EXPECT_EQ(serial.ReadByte(1000), 0xFF);
  EXPECT_FALSE(serial.ReadByteTimeout(buffer, 1000));
  EXPECT_EQ(serial.Read(buffer, 1), 0);
  EXPECT_TRUE(serial.LastReadFailed());
  const int64_t wall = testsupport::MonotonicMs() - wallBefore;
  const int64_t cpu = testsupport::ThreadCpuMs() - cpuBefore;
  EXPECT_LT(cpu * 10, wall) << "cpu " << cpu << " ms over " << wall << " ms";
}

// ---- the elapsed-time rule, through the link's clock ----------------------

struct StopwatchCase {
  ULONGLONG start, now;
  long long limit;
  bool exceeded;
};

void PrintTo(const StopwatchCase &c, std::ostream *out) { *out << "start " << c.start << " now " << c.now << " limit " << c.limit; }

class StopwatchRule : public SerialTest, public testing::WithParamInterface<StopwatchCase> {};

TEST_P(StopwatchRule, LimitRunsOutWhenElapsedIsGreater) {
  const StopwatchCase &c = GetParam();
  ScriptClock({c.start, c.now});
  TStopwatch watch;
  EXPECT_EQ(watch.Exceeded(c.limit), c.exceeded);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, StopwatchRule,
    testing::Values(StopwatchCase{1000, 1000, 0, false}, StopwatchCase{1000, 1001, 0, true},
                    StopwatchCase{1000, 6000, 5000, false}, StopwatchCase{1000, 6001, 5000, true},
                    StopwatchCase{0, 86400000ull, 4000, true}, // a day later
                    StopwatchCase{5000, 4000, 1000, false},    // a clock that went back
                    StopwatchCase{5000, 3999, 1000, true},
                    StopwatchCase{1000, 1000, -1, true},
                    StopwatchCase{0, 10320000ull, 10320000ll, false}));

TEST_F(SerialTest, EqualToTheLimitStillCountsAsInTime) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  unsigned char buffer[9];
  // Start at 0; the first check sees exactly the limit and reads again; the
  // second sees one more and gives up.
  ScriptClock({0, 5000, 5001});
  EXPECT_EQ(serial.WaitFor(0xF4, buffer, 5000, 9), 1);
  EXPECT_EQ(gTickCalls.load(), 3);

  ScriptClock({0, 5000, 5001});
  EXPECT_FALSE(serial.ReadByteTimeout(buffer, 5000));
  EXPECT_EQ(gTickCalls.load(), 3);

  // A reply that the device sends while the first check finds exactly the
  // limit is read by the second read, in time.
  ScriptClock({0, 5000, 5001}, 1, [this] { port_.Send({0xF4, 1, 2}); });
  EXPECT_EQ(serial.WaitFor(0xF4, buffer, 5000, 3), 0);
  EXPECT_EQ(gTickCalls.load(), 2);
  EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{0xF4, 1, 2}));
}

TEST_F(SerialTest, AJumpingClockEndsAWaitAtItsNextCheck) {
  ASSERT_TRUE(port_.Ok());
  TSerial serial;
  ASSERT_EQ(serial.Open("COM5", 19200, 0, 0), 0);
  unsigned char buffer[9];
  // Limits of an hour; the clock jumps a day after the start. Each wait
  // must end at its first check, after one read.
  const ULONGLONG day = 86400000ull;
  ScriptClock({1000, 1000 + day});
  EXPECT_TRUE(FinishesWithin([&] { EXPECT_EQ(serial.WaitFor(0xF4, buffer, 3600000, 9), 1); }, 60));
  EXPECT_EQ(gTickCalls.load(), 2);
  ScriptClock({1000, 1000 + day});
  EXPECT_TRUE(FinishesWithin([&] { EXPECT_EQ(serial.ReadByte(3600000), 0xFF); }, 60));
  EXPECT_EQ(gTickCalls.load(), 2);
  // Backwards as well: the difference counts, not its sign.
  ScriptClock({1000 + day, 1000});
  EXPECT_TRUE(FinishesWithin([&] { EXPECT_FALSE(serial.ReadByteTimeout(buffer, 3600000)); }, 60));
}

} // namespace
