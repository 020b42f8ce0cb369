// The simulator on a real pseudo-terminal: from code, and as the corvel-sim
// process that scripts start.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "common/bytes.h"
#include "tests/sim/pty_exchange.h"
#include "sim/pty_server.h"

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
    LineSpec lineSpec;
    lineSpec.devices.push_back({*ModelConfig("4400"), {}, {}});
    lineSpec.devices.back().config.address = 7;
    PtyServer server;
    ASSERT_FALSE(StartPtyServer(server, lineSpec, dir, 12).has_value());
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

// With wire time on, a reply cannot arrive before the request and the reply
// have both crossed the wire: at 1200 baud a byte takes 8.33 ms. Only a lower
// bound: the machine may always be slower.
TEST(PtyServer, WireTimePacesTheRequestAndTheReply) {
    const fs::path dir = FreshFolder("corvel-pty-paced");
    LineSpec lineSpec;
    lineSpec.devices.push_back({*ModelConfig("4400"), {}, {}});
    lineSpec.devices.back().config.address = 7;
    lineSpec.timing.wireTime = true;
    lineSpec.timing.baudRate = 1200;
    PtyServer server;
    ASSERT_FALSE(StartPtyServer(server, lineSpec, dir, 13).has_value());
    const FrameRequest request{.command1 = 2, .route = {0x80, 0x80, 0x80, 7, 0xF0, 0x28}};
    FrameBuffer frame;
    const std::size_t requestLength = BuildFrame(frame, request);
    const auto started = std::chrono::steady_clock::now();
    const auto reply = PtyTransact(dir / "COM13", request);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(reply.size(), 18u + U8At(reply, 2));
    const auto byteTime = std::chrono::microseconds(8333);
    EXPECT_GE(elapsed, byteTime * static_cast<long>(requestLength + reply.size()));
    server.stop();
    fs::remove_all(dir);
}

pid_t SpawnCorvelSim(std::vector<std::string> words) {
    words.insert(words.begin(), CORVEL_SIM_PATH);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

int StopAndWait(pid_t pid) {
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(CorvelSimProcess, ServesUntilSigtermAndThenRemovesItsLink) {
    const fs::path dir = FreshFolder("corvel-sim-process");
    const pid_t pid = SpawnCorvelSim({"--port-dir", dir.string(), "--com", "4", "--model", "4402", "--address", "9",
                                      "--wire-time"});
    ASSERT_GT(pid, 0);

    const bool linked = WaitForPath(dir / "COM4", milliseconds(5000));
    std::vector<std::uint8_t> reply;
    if (linked) reply = PtyTransact(dir / "COM4", {.command1 = 4, .command2 = 0x20, .route = {0x80, 0xF0, 0x80, 9, 0xF0, 0x40}});
    const int status = StopAndWait(pid);

    ASSERT_TRUE(linked);
    ASSERT_GE(reply.size(), 18u);
    EXPECT_EQ(reply[8], 0);
    EXPECT_EQ(reply[12], 0);  // P2 present on the 4402
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(fs::exists(dir / "COM4"));
    fs::remove_all(dir);
}

TEST(CorvelSimProcess, RefusesAPortFolderThatDoesNotExistAndKnowsModelsInAnyCase) {
    const fs::path missing = fs::temp_directory_path() / "corvel-sim-no-such-folder";
    fs::remove_all(missing);
    const pid_t pid = SpawnCorvelSim({"--port-dir", missing.string(), "--com", "4"});
    ASSERT_GT(pid, 0);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(ModelConfig("q712")->modelCode, "Q712");
    EXPECT_EQ(ModelConfig("440d")->modelCode, "440D");
    EXPECT_FALSE(ModelConfig("Q999"));
}

TEST(CorvelSimProcess, SighupRebuildsTheTransmittersFromTheScript) {
    const fs::path dir = FreshFolder("corvel-sim-reload");
    const fs::path script = dir / "line.txt";
    std::ofstream(script) << "serial FIRST\n";
    const pid_t pid = SpawnCorvelSim({"--port-dir", dir.string(), "--com", "5", "--script", script.string()});
    ASSERT_GT(pid, 0);
    const FrameRequest identity{.command1 = 2, .route = {0x80, 0xF0, 0x80, 40, 0xF0, 0x40}};
    std::string first;
    if (WaitForPath(dir / "COM5", milliseconds(5000))) first = TextAt(PtyTransact(dir / "COM5", identity), 14, 10);

    std::ofstream(script) << "serial SECOND\ndevice 4400 41\n";
    ::kill(pid, SIGHUP);
    std::string second;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (second != "SECOND" && std::chrono::steady_clock::now() < deadline)
        second = TextAt(PtyTransact(dir / "COM5", identity), 14, 10);
    const auto added = PtyTransact(dir / "COM5", {.command1 = 2, .route = {0x80, 0xF0, 0x80, 41, 0xF0, 0x40}});
    StopAndWait(pid);

    EXPECT_EQ(first, "FIRST");
    EXPECT_EQ(second, "SECOND");
    EXPECT_EQ(FrameRoute(added)[0], 41);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace corvel::sim::test
