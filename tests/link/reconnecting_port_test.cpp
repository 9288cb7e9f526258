// A device that goes away and comes back, on the simulated meter's port in
// virtual time: the loss is told once, the same device is tried again at most
// once a second, and exchanges go on by themselves once it is back.
#include "link/reconnecting_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/modbus_rtu.h"
#include "link/transaction.h"
#include "sim/meter_model.h"
#include "sim/simulated_port.h"

namespace zt {
namespace {

using Change = ReconnectingPort::Change;

class ReconnectingPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port_.SelectPort(1);
    ASSERT_TRUE(port_.SetLineFormat("9600,N,8,2"));
    ASSERT_TRUE(port_.Open());
  }

  // One read of the decimal point with the console's 600 ms wait.
  bool Read() {
    const TxFrame request = BuildReadRequest(1, 0x0006, 1);
    return transaction_.RequestReply(request, std::chrono::milliseconds(600),
                              ExpectedReply::ReadOf(request)) >= 0;
  }

  int OpenAttempts() const {
    return static_cast<int>(std::count_if(
        device_.Events().begin(), device_.Events().end(),
        [](const sim::PortEvent& event) { return event.operation == sim::PortOperation::Open; }));
  }

  VirtualClock clock_;
  sim::MeterModel meter_;
  sim::SimulatedPort device_{clock_, meter_};
  std::vector<Change> changes_;
  ReconnectingPort port_{device_, clock_, [this](Change change) { changes_.push_back(change); }};
  Transaction transaction_{port_, clock_};
};

TEST_F(ReconnectingPortTest, ALostDeviceIsToldOnceRetriedEachSecondAndExchangesResume) {
  ASSERT_TRUE(Read());
  device_.Vanish();

  // Each read while the device is gone fails; the loss is told once and the
  // device tried at once, then again only when a second has passed.
  const int opensBefore = OpenAttempts();
  EXPECT_FALSE(Read());
  EXPECT_TRUE(port_.Lost());
  EXPECT_EQ(OpenAttempts(), opensBefore + 1);
  EXPECT_EQ(port_.Revive(), Change::kNone);
  EXPECT_EQ(OpenAttempts(), opensBefore + 1);
  clock_.Advance(std::chrono::milliseconds(400));
  EXPECT_EQ(port_.Revive(), Change::kNone);
  EXPECT_EQ(OpenAttempts(), opensBefore + 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(Read());
  }
  EXPECT_EQ(changes_, std::vector<Change>{Change::kLost});

  device_.Reappear();
  clock_.Advance(std::chrono::milliseconds(1000));
  EXPECT_TRUE(Read());
  EXPECT_FALSE(port_.Lost());
  EXPECT_EQ(changes_, (std::vector<Change>{Change::kLost, Change::kBack}));
}

TEST_F(ReconnectingPortTest, APortClosedByItsOwnerIsNeverReopened) {
  port_.Close();
  clock_.Advance(std::chrono::milliseconds(5000));
  EXPECT_EQ(port_.Revive(), Change::kNone);
  EXPECT_FALSE(Read());
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_TRUE(changes_.empty());
}

}  // namespace
}  // namespace zt
