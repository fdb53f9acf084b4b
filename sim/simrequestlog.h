// One line per answered request, flushed at once, so tests can assert what the device was
// asked and in what order.
#pragma once

#include <cstdio>
#include <string>

class SimRequestLog
{
public:
    ~SimRequestLog();
    bool open(const std::string &path);
    void clear();
    void write(const std::string &line);

private:
    std::string m_path;
    std::FILE *m_file = nullptr;
};
