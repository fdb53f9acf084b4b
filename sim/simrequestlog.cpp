#include "simrequestlog.h"

SimRequestLog::~SimRequestLog()
{
    if (m_file)
        std::fclose(m_file);
}

bool SimRequestLog::open(const std::string &path)
{
    m_path = path;
    m_file = std::fopen(path.c_str(), "w");
    return m_file != nullptr;
}

void SimRequestLog::clear()
{
    if (!m_file)
        return;
    // Reopen truncated so a reader never sees half of the old content.
    std::FILE *file = std::freopen(m_path.c_str(), "w", m_file);
    m_file = file;
}

void SimRequestLog::write(const std::string &line)
{
    if (!m_file)
        return;
    std::fputs(line.c_str(), m_file);
    std::fputc('\n', m_file);
    std::fflush(m_file);
}
