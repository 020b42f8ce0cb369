// The simulator on a real pseudo-terminal: from code, and as the corvel-sim
// process that scripts start.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>

#include "bytes.h"
#include "pty_exchange.h"
#include "pty_server.h"

extern char** environ;

namespace corvel::sim::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

fs::path FreshFolder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(PtyServer, AnswersEveryExchangeWhileTheClientReopensAndRemovesItsLink) {
    const fs::path dir = FreshFolder("corvel-pty");
    LineSpec spec;
    spec.devices.push_back({*ModelConfig("4400"), {}, {}});
    spec.devices.back().config.address = 7;
    PtyServer server;
    ASSERT_FALSE(StartPtyServer(server, spec, dir, 12).has_value());
    ASSERT_TRUE(fs::is_symlink(dir / "COM12"));
    for (int round = 0; round < 3; ++round) {
        const auto reply = PtyTransact(dir / "COM12", {.command1 = 2, .route = {0x80, 0x80, 0x80, 7, 0xF0, 0x28}});
        ASSERT_EQ(reply.size(), 18u + U8At(reply, 2)) << round;
        EXPECT_EQ(FrameRoute(reply)[0], 7);
    }
    // The second transmitter on the line answers to its own address.
    const auto other = PtyTransact(dir / "COM12", {.command1 = 2, .route = {0x80, 0x80, 0x80, 40, 0xF0, 0x28}});
    EXPECT_EQ(FrameRoute(other)[0], 40);
    server.stop();
    EXPECT_FALSE(fs::exists(dir / "COM12"));
    fs::remove_all(dir);
}

TEST(CorvelSimProcess, ServesUntilSigtermAndThenRemovesItsLink) {
    const fs::path dir = FreshFolder("corvel-sim-process");
    std::vector<std::string> words{CORVEL_SIM_PATH, "--port-dir", dir.string(), "--com", "4", "--model", "4402",
                                   "--address", "9", "--wire-time"};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    const bool linked = WaitForPath(dir / "COM4", milliseconds(5000));
    std::vector<std::uint8_t> reply;
    if (linked) reply = PtyTransact(dir / "COM4", {.command1 = 4, .command2 = 0x20, .route = {0x80, 0xF0, 0x80, 9, 0xF0, 0x40}});
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);

    ASSERT_TRUE(linked);
    ASSERT_GE(reply.size(), 18u);
    EXPECT_EQ(reply[8], 0);
    EXPECT_EQ(reply[12], 0);  // P2 present on the 4402
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(fs::exists(dir / "COM4"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace corvel::sim::test
