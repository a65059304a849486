// A pseudo-terminal pair for serial tests: the code under test opens the
// slave by its path, the test holds the master as the far end of the line.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

class PtyPair {
public:
    PtyPair()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        char name[128] = {};
        if (ptsname_r(m_master, name, sizeof name) == 0)
            m_slavePath = name;
        // The master side passes bytes untouched.
        termios settings{};
        if (tcgetattr(m_master, &settings) == 0) {
            cfmakeraw(&settings);
            tcsetattr(m_master, TCSANOW, &settings);
        }
        // Keeps the slave from reporting a hang-up before the port opens it.
        m_keeper = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~PtyPair()
    {
        CloseMaster();
        ReleaseSlave();
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0 && !m_slavePath.empty(); }
    int master() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }

    // Lets go of the test's own hold on the slave, so that the port is its only user.
    void ReleaseSlave()
    {
        if (m_keeper >= 0)
            close(m_keeper);
        m_keeper = -1;
    }
    void CloseMaster()
    {
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }

    void Send(const std::vector<unsigned char>& bytes) const
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(m_master, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return;
            done += static_cast<size_t>(n);
        }
    }
    // Reads what arrives within the time, stopping early once `want` bytes came.
    std::vector<unsigned char> Receive(size_t want, std::chrono::milliseconds within) const
    {
        std::vector<unsigned char> bytes;
        const auto until = std::chrono::steady_clock::now() + within;
        while (bytes.size() < want) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd fd = {m_master, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left.count())) <= 0 || !(fd.revents & POLLIN))
                break;
            unsigned char chunk[256];
            const ssize_t n = read(m_master, chunk, std::min(sizeof chunk, want - bytes.size()));
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

private:
    int m_master = -1;
    int m_keeper = -1;
    std::string m_slavePath;
};
