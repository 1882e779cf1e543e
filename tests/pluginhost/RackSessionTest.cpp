// A rack session moves out of a running plug-in and into another through the
// descriptor alone.

#include "tools/pluginhost/RackSession.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace voltara::pluginhost {
namespace {

using test::TestHost;

RackSession distinctSession()
{
    RackSession session;
    for (int32_t p = 0; p < RackSession::programCount; ++p) {
        auto& program = session.programs[std::size_t(p)];
        program.name = "Restored " + std::to_string(p);
        for (int32_t i = 0; i < RackSession::parameterCount; ++i)
            program.values[std::size_t(i)] = std::fmod(float(p * 72 + i) * 0.0137f, 1.0f);
    }
    session.current = 9;
    return session;
}

void expectSame(const RackSession& found, const RackSession& wanted)
{
    EXPECT_EQ(found.current, wanted.current);
    for (std::size_t p = 0; p < wanted.programs.size(); ++p) {
        EXPECT_EQ(found.programs[p].name, wanted.programs[p].name) << p;
        EXPECT_EQ(found.programs[p].values, wanted.programs[p].values) << p;
    }
}

struct RackSessions : ::testing::Test {
    void SetUp() override
    {
        ASSERT_NE(host.open(), nullptr);
        host.start(44100.0f, 512);
    }
    TestHost host;
};

TEST_F(RackSessions, CaptureReadsEveryProgramAndChangesNothing)
{
    host.dispatch(opSetProgram, 0, 5);
    host.setParameter(26, 0.3f);
    host.setProgramName("Edited Five");
    host.dispatch(opSetProgram, 0, 9);
    host.setParameter(59, 0.6f);
    host.recordCalls = true;
    host.calls.clear();

    const auto session = RackSession::capture(host.descriptor());
    ASSERT_TRUE(session);
    EXPECT_EQ(session->current, 9);
    EXPECT_EQ(session->programs[5].name, "Edited Five");
    EXPECT_EQ(session->programs[5].values[26], 0.3f);
    EXPECT_EQ(session->programs[9].values[59], 0.6f);
    EXPECT_EQ(host.dispatch(opGetProgram), 9);
    for (int32_t p = 0; p < RackSession::programCount; ++p) {
        EXPECT_EQ(session->programs[std::size_t(p)].name, host.programName(p));
        host.dispatch(opSetProgram, 0, p);
        for (int32_t i = 0; i < RackSession::parameterCount; ++i)
            EXPECT_EQ(session->programs[std::size_t(p)].values[std::size_t(i)], host.getParameter(i)) << p << " " << i;
    }
}

TEST_F(RackSessions, ApplyPutsEveryProgramIntoTheRackAndEndsOnTheCurrentOne)
{
    RackSession session = distinctSession();
    session.applyTo(host.descriptor());

    // Bypass is one value for all programs: the current program's.
    RackSession wanted = session;
    for (auto& program : wanted.programs)
        program.values[0] = session.programs[9].values[0];
    const auto found = RackSession::capture(host.descriptor());
    ASSERT_TRUE(found);
    expectSame(*found, wanted);
    for (int32_t i = 0; i < RackSession::parameterCount; ++i)
        EXPECT_EQ(host.getParameter(i), wanted.programs[9].values[std::size_t(i)]) << i;

    // Another instance given what this one holds holds the same.
    TestHost other;
    ASSERT_NE(other.open(), nullptr);
    found->applyTo(other.descriptor());
    const auto copied = RackSession::capture(other.descriptor());
    ASSERT_TRUE(copied);
    expectSame(*copied, wanted);
}

} // namespace
} // namespace voltara::pluginhost
