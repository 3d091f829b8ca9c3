// The main job's road run as a process: it shows its own lines only; what
// the outside programs and the toolkit print goes into the machine root's
// logs/outside.log.
#include <gtest/gtest.h>

#include <string>

#include "ChildProcess.h"
#include "FileContents.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"

namespace {

TEST(RoadOutput, ShowsTheRoadsLinesAndLogsWhatOutsideProgramsPrint)
{
    testsupport::TempFolder root("arv-road");
    ASSERT_TRUE(root.Made());
    testsupport::ScopedEnvironment environment;
    // As from a shell without a session: the road makes its own runtime folder.
    environment.Clear("XDG_RUNTIME_DIR");
    environment.Clear("DISPLAY");
    environment.Clear("WAYLAND_DISPLAY");
    testsupport::RunOptions options;
    options.deadlineMs = 500000;
    const testsupport::RunResult run = testsupport::RunProgram({ARV_ROAD_PROGRAM, root.Path()}, options);
    // The road's own errors (a sanitizer's report among them) go to the log
    // as well, so a failure shows it.
    ASSERT_EQ(run.code, 0) << run.out << run.err << testsupport::ReadText(root.Path() + "/logs/outside.log");
    EXPECT_NE(run.out.find("The whole road succeeded."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("4. Scan the sample document"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("the scan matches the document"), std::string::npos) << run.out;
    for (const char *noise : {"NET HELPMSG", "The service name is invalid.", "propagateSizeHints", "XDG_RUNTIME_DIR"}) {
        EXPECT_EQ(run.out.find(noise), std::string::npos) << noise << "\n" << run.out;
        EXPECT_EQ(run.err.find(noise), std::string::npos) << noise << "\n" << run.err;
    }
    const std::string logged = testsupport::ReadText(root.Path() + "/logs/outside.log");
    EXPECT_NE(logged.find("The service name is invalid."), std::string::npos) << logged;
}

} // namespace
