#include "simtftp.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

std::string percentEncoded(const std::string &name)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += char(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

} // namespace

bool SimTftp::get(const std::string &server, int port, const std::string &remoteName,
                  const std::string &localPath, std::string *error) const
{
    return run(false, server, port, remoteName, localPath, error);
}

bool SimTftp::put(const std::string &server, int port, const std::string &remoteName,
                  const std::string &localPath, std::string *error) const
{
    return run(true, server, port, remoteName, localPath, error);
}

bool SimTftp::run(bool upload, const std::string &server, int port,
                  const std::string &remoteName, const std::string &localPath,
                  std::string *error) const
{
    if (remoteName.empty()) {
        *error = "no file name";
        return false;
    }
    std::vector<std::string> args;
    const std::string portText = std::to_string(port);
    if (m_client == "tftp") {
        // tftp-hpa: binary mode, one command from the command line
        args = {"tftp", "-m", "binary", server, portText, "-c", upload ? "put" : "get"};
        if (upload) {
            args.push_back(localPath);
            args.push_back(remoteName);
        } else {
            args.push_back(remoteName);
            args.push_back(localPath);
        }
    } else if (m_client == "atftp") {
        args = {"atftp", upload ? "-p" : "-g", "-r", remoteName, "-l", localPath, server, portText};
    } else {
        // curl speaks plain RFC 1350 with --tftp-no-options, as a small device's client does.
        std::string url = "tftp://" + server + ":" + portText + "/" + percentEncoded(remoteName);
        args = {"curl", "--silent", "--show-error", "--tftp-no-options", "--max-time",
                std::to_string(m_timeoutSeconds)};
        if (upload)
            args.insert(args.end(), {"-T", localPath, url});
        else
            args.insert(args.end(), {"-o", localPath, url});
    }
    if (!upload)
        ::unlink(localPath.c_str());

    std::vector<char *> argv;
    for (auto &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The client's chatter goes to our stderr; it must not read our stdin.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        *error = "cannot run " + args[0] + ": " + std::strerror(rc);
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(m_timeoutSeconds + 5);
    int status = 0;
    while (true) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR) {
            *error = "lost the TFTP client";
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            *error = "TFTP transfer timed out";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = args[0] + " failed (exit " +
                 std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
        return false;
    }
    if (!upload) {
        struct stat info;
        // tftp-hpa reports some failures only by leaving no file behind.
        if (::stat(localPath.c_str(), &info) != 0) {
            *error = "the TFTP client fetched nothing";
            return false;
        }
    }
    return true;
}
