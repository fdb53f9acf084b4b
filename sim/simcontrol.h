// The simulator's control channel: a UNIX-domain stream socket; one command line in, one reply
// line out ("ok ..." or "error ..."), then the connection closes.
#pragma once

#include <string>
#include <sys/select.h>

class SimControl
{
public:
    static SimControl &instance();

    bool open(const std::string &path, std::string *error);
    void close();
    void addFds(fd_set *fds, int *maxFdPlusOne) const;
    void process(fd_set *fds);

    // Runs one command line; the reply without its newline.
    static std::string execute(const std::string &line);
    static const char *help();

private:
    SimControl() = default;
    void serveClient(int fd);

    int m_listenFd = -1;
    std::string m_path;
};
