#include <gtest/gtest.h>

#include <QStringList>
#include <new>
#include <stdexcept>

#include "numeric/FloatingPointEnvironment.h"
#include "runtime/ExceptionDisplay.h"
#include "runtime/internal/SilentAbort.h"

namespace kiv {
namespace {

struct RecordingDisplay final : ExceptionDisplay {
    void ShowError(const QString& text) override { shown << text; }
    QStringList shown;
};

TEST(ExceptionDisplay, AddsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(ExceptionDisplay::DisplayText("Floating point overflow"), "Floating point overflow.");
    EXPECT_EQ(ExceptionDisplay::DisplayText("Already ended."), "Already ended.");
    EXPECT_EQ(ExceptionDisplay::DisplayText("Stop!"), "Stop!");
    EXPECT_EQ(ExceptionDisplay::DisplayText("Ends in blank "), "Ends in blank ");
    EXPECT_EQ(ExceptionDisplay::DisplayText("Value 5"), "Value 5.");
    EXPECT_EQ(ExceptionDisplay::DisplayText("Ends in slash/"), "Ends in slash/.");
    EXPECT_EQ(ExceptionDisplay::DisplayText(""), "");
}

TEST(ExceptionDisplay, GuardShowsWhatAHandlerThrowsAndGoesOn) {
    RecordingDisplay display;
    display.Guard([] { throw FloatingPointError("Floating point division by zero"); });
    display.Guard([] { throw SilentAbort(); });
    display.Guard([] { throw std::bad_alloc(); });
    display.Guard([] { throw 42; });
    bool ran = false;
    display.Guard([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(display.shown, (QStringList{"Floating point division by zero.", "Out of memory.",
                                          "An unexpected error has stopped this operation."}));
}

}  // namespace
}  // namespace kiv
