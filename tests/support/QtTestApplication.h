#pragma once

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace velmora::test {

// One offscreen QApplication for a GoogleTest binary that drives widgets. It
// is made when the tests start, on the test thread, so a lab binary has
// already moved into the lab's namespace by then.
class QtTestApplication final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "velmora-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const kQtTestApplication =
    ::testing::AddGlobalTestEnvironment(new QtTestApplication);

} // namespace velmora::test
