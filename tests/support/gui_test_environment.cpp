// Fonts and painters need a GUI application; the offscreen platform needs no display.
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class TGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "quillpost_tests";
        static char* argv[] = {name, nullptr};
        App_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { App_.reset(); }

private:
    std::unique_ptr<QGuiApplication> App_;
};

const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new TGuiEnvironment);

} // namespace
