#pragma once

#include <QFile>
#include <QStringList>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <optional>
#include <thread>
#include <unistd.h>

namespace vantrel::test {

// What `read` answers on a thread of its own, within a bounded wait: a read that waits on one of
// the `fifos` fails the test instead of hanging it (none: it waited). A stuck reader is let go by
// writers that come and go; if it still waits, it is left.
inline std::optional<bool> promptly(std::function<bool()> read, const QStringList& fifos) {
    std::packaged_task<bool()> task(std::move(read));
    std::future<bool> answer = task.get_future();
    std::thread reader(std::move(task));
    const bool prompt = answer.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    for (int i = 0; i < 500 && answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready;
         ++i)
        for (const QString& f : fifos)
            if (const int fd = ::open(QFile::encodeName(f).constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                ::close(fd);
    if (answer.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        reader.detach();
        return std::nullopt;
    }
    reader.join();
    const bool value = answer.get();
    if (!prompt) return std::nullopt;
    return value;
}

} // namespace vantrel::test
