#include <gtest/gtest.h>

#include "app/core/ProgramOptions.h"

namespace kiv {
namespace {

TEST(ProgramOptions, OnlyALoneOptionIsAnsweredAndDashDashOpensAnyName) {
    using Request = ProgramOptions::Request;
    const struct {
        QStringList arguments;
        Request request;
        QStringList window;
    } cases[] = {
        {{"--version"}, Request::PrintVersion, {"--version"}},
        {{"--help"}, Request::PrintHelp, {"--help"}},
        {{}, Request::OpenWindow, {}},
        {{"--", "--version"}, Request::OpenWindow, {"--version"}},
        {{"--"}, Request::OpenWindow, {}},
        {{"notes.vrq", "--version"}, Request::OpenWindow, {"notes.vrq", "--version"}},
        {{"--version", "--help"}, Request::OpenWindow, {"--version", "--help"}},
    };
    for (const auto& c : cases) {
        const ProgramOptions options = ProgramOptions::Read(c.arguments);
        EXPECT_EQ(options.request, c.request) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(options.windowArguments, c.window) << c.arguments.join(u' ').toStdString();
    }
}

}  // namespace
}  // namespace kiv
