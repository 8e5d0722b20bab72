#include "wine_gtest.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace wine_gtest {
namespace {

// gtest's printer for everything but failures, which it prints itself.
class FailurePrinter : public ::testing::TestEventListener {
 public:
  explicit FailurePrinter(::testing::TestEventListener* printer) : printer_(printer) {}
  ~FailurePrinter() override { delete printer_; }
  FailurePrinter(const FailurePrinter&) = delete;
  FailurePrinter& operator=(const FailurePrinter&) = delete;

  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (result.type() == ::testing::TestPartResult::kSuccess) return;
    std::printf("%s:%d: Failure\n%s\n", result.file_name() ? result.file_name() : "?", result.line_number(),
                result.message());
  }

  void OnTestProgramStart(const ::testing::UnitTest& unit) override { printer_->OnTestProgramStart(unit); }
  void OnTestIterationStart(const ::testing::UnitTest& unit, int iteration) override {
    printer_->OnTestIterationStart(unit, iteration);
  }
  void OnEnvironmentsSetUpStart(const ::testing::UnitTest& unit) override {
    printer_->OnEnvironmentsSetUpStart(unit);
  }
  void OnEnvironmentsSetUpEnd(const ::testing::UnitTest& unit) override { printer_->OnEnvironmentsSetUpEnd(unit); }
  void OnTestSuiteStart(const ::testing::TestSuite& suite) override { printer_->OnTestSuiteStart(suite); }
  void OnTestStart(const ::testing::TestInfo& test) override { printer_->OnTestStart(test); }
  void OnTestEnd(const ::testing::TestInfo& test) override { printer_->OnTestEnd(test); }
  void OnTestSuiteEnd(const ::testing::TestSuite& suite) override { printer_->OnTestSuiteEnd(suite); }
  void OnEnvironmentsTearDownStart(const ::testing::UnitTest& unit) override {
    printer_->OnEnvironmentsTearDownStart(unit);
  }
  void OnEnvironmentsTearDownEnd(const ::testing::UnitTest& unit) override {
    printer_->OnEnvironmentsTearDownEnd(unit);
  }
  void OnTestIterationEnd(const ::testing::UnitTest& unit, int iteration) override {
    printer_->OnTestIterationEnd(unit, iteration);
  }
  void OnTestProgramEnd(const ::testing::UnitTest& unit) override { printer_->OnTestProgramEnd(unit); }

 private:
  ::testing::TestEventListener* printer_;
};

void ReplacePrinter() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
  listeners.Append(new FailurePrinter(listeners.Release(listeners.default_result_printer())));
}

}  // namespace

void Init(int* argc, char** argv) {
  ::testing::InitGoogleTest(argc, argv);
  ReplacePrinter();
}

void Init(int* argc, wchar_t** argv) {
  ::testing::InitGoogleTest(argc, argv);
  ReplacePrinter();
}

}  // namespace wine_gtest
