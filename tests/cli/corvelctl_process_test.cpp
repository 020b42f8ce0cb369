// End to end: corvelctl as a process against corvel-sim as a process, over a
// pseudo-terminal reached through a port-map folder.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/datalog/simulated_log.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using corvel::testing::InWholeBlocks;
using corvel::testing::SameBytes;
using corvel::testing::SimulatedPressureLog;

struct Finished {
    int exitStatus = -1;
    std::string out;
};

std::vector<char*> Argv(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

// Runs a program to its end with `extraEnvironment` added and nothing on its
// input; collects its output.
Finished RunProgram(std::vector<std::string> args, const std::string& extraEnvironment) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    // No terminal to ask on: a command that would ask needs --yes.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<std::string> environment{extraEnvironment};
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);
    std::vector<char*> argv = Argv(args);
    std::vector<char*> envp = Argv(environment);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    Finished finished;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) finished.out.append(buffer, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    if (spawned != 0) return finished;
    int status = 0;
    waitpid(pid, &status, 0);
    finished.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return finished;
}

// corvel-sim running on COM5 of a temporary port-map folder until the end of the test.
class SimulatorProcess {
public:
    explicit SimulatorProcess(std::vector<std::string> settings) {
        fs::create_directories(folder_);
        std::vector<std::string> args{CORVEL_SIM_PATH, "--port-dir", folder_.string(), "--com", "5"};
        args.insert(args.end(), settings.begin(), settings.end());
        std::vector<char*> argv = Argv(args);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~SimulatorProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        fs::remove_all(folder_);
    }
    // Polls for the link with a bound.
    bool linked() const {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (fs::exists(folder_ / "COM5")) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    const fs::path& folder() const { return folder_; }
    std::string portDirEnvironment() const { return "CORVEL_PORT_DIR=" + folder_.string(); }

private:
    fs::path folder_ = fs::temp_directory_path() / ("corvelctl-e2e-" + std::to_string(getpid()));
    pid_t pid_ = 0;
};

TEST(CorvelctlProcess, IdentifyAndDownloadALogOverAPseudoTerminal) {
    SimulatorProcess simulator({"--model", "Q712", "--serial", "E2E-0042", "--logs-clear", "--log", "E2E.BIN", "300", "100"});
    ASSERT_TRUE(simulator.linked());

    const Finished identify = RunProgram({CORVELCTL_PATH, "--port", "COM5", "--json", "identify"},
                                         simulator.portDirEnvironment());
    EXPECT_EQ(identify.exitStatus, 0);
    EXPECT_NE(identify.out.find("\"serial_number\":\"E2E-0042\""), std::string::npos) << identify.out;
    EXPECT_NE(identify.out.find("\"model_code\":\"Q712\""), std::string::npos) << identify.out;

    const fs::path file = simulator.folder() / "e2e.bin";
    const Finished download = RunProgram({CORVELCTL_PATH, "--port", "COM5", "logs", "download", "1", file.string()},
                                         simulator.portDirEnvironment());
    EXPECT_EQ(download.exitStatus, 0);
    std::ifstream copy(file, std::ios::binary);
    const std::vector<std::uint8_t> got((std::istreambuf_iterator<char>(copy)), std::istreambuf_iterator<char>());
    const std::vector<std::uint8_t> expected = InWholeBlocks(SimulatedPressureLog(300, 100).bytes());
    EXPECT_TRUE(SameBytes(got, expected));

    const Finished absent = RunProgram({CORVELCTL_PATH, "--port", "COM6", "identify"}, simulator.portDirEnvironment());
    EXPECT_EQ(absent.exitStatus, 1);
}

TEST(CorvelctlProcess, SaveDiffAndApplyAConfiguration) {
    SimulatorProcess simulator({"--model", "440D"});
    ASSERT_TRUE(simulator.linked());
    const std::string file = (simulator.folder() / "xmtr.json").string();
    const auto corvelctl = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {CORVELCTL_PATH, "--port", "COM5", "--json"});
        return RunProgram(args, simulator.portDirEnvironment());
    };
    ASSERT_EQ(corvelctl({"config", "save", file}).exitStatus, 0);
    ASSERT_EQ(corvelctl({"set", "urv", "80"}).exitStatus, 0);
    ASSERT_EQ(corvelctl({"set", "p1-unit", "2"}).exitStatus, 0);

    const Finished differing = corvelctl({"config", "diff", file});
    EXPECT_EQ(differing.exitStatus, 1);
    EXPECT_EQ(differing.out,
              "{\"setting\":\"P1 unit\",\"transmitter\":\"2 (kPa)\",\"file\":\"1 (PSI)\"}\n"
              "{\"setting\":\"URV\",\"transmitter\":\"80.000\",\"file\":\"100.000\"}\n");
    EXPECT_EQ(corvelctl({"config", "apply", file}).exitStatus, 2) << "no terminal to ask on, and no --yes";
    EXPECT_EQ(corvelctl({"config", "apply", "--yes", file}).exitStatus, 0);
    const Finished same = corvelctl({"config", "diff", file});
    EXPECT_EQ(same.exitStatus, 0);
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(corvelctl({"config", "diff", file + ".missing"}).exitStatus, 2);
}

}  // namespace
